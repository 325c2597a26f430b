#include "MeasurementText.h"

#include <QCoreApplication>
#include <QStringList>

#include <array>
#include <cmath>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TReadoutText {
    Q_DECLARE_TR_FUNCTIONS(TReadoutText)
};

constexpr std::array<const char*, 12> NoteNames = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
const QString Missing = QStringLiteral("–");

QString Number(const std::optional<double>& value, int decimals, const char* unit) {
    if (!value) return Missing;
    return ReadoutNumbers().toString(*value, 'f', decimals) + QChar(0x202F) + QString::fromUtf8(unit);
}

QString FigureText(const char* name, const TFigure& figure, TBoundSide side) {
    return QString("   %1 %2%3").arg(QString::fromLatin1(name), BoundMark(figure, side), Number(figure.Db, 1, "dB"));
}

QString DistortionText(const std::optional<TDistortion>& distortion) {
    if (!distortion) return {};
    const QString thd = distortion->Thd ? FigureText("THD", *distortion->Thd, TBoundSide::AtMost) : QString();
    return thd + FigureText("THD+N", distortion->ThdPlusNoise, TBoundSide::AtMost) +
           FigureText("SNR", distortion->Snr, TBoundSide::AtLeast);
}

}  // namespace

QString BoundMark(const TFigure& figure, TBoundSide side) {
    if (!figure.OnlyBound) return {};
    return side == TBoundSide::AtMost ? QStringLiteral("<") : QStringLiteral(">");
}

QLocale ReadoutNumbers() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString NoteText(double hz) {
    const TNote note = NoteOf(hz);
    // MIDI note 12 is C0; floor division keeps notes below C0 consistent.
    const int octave = static_cast<int>(std::floor(note.Midi / 12.0)) - 1;
    const int name = ((note.Midi % 12) + 12) % 12;
    const long cents = std::lround(note.Cents);
    return QString("%1%2 %3%4 ct")
        .arg(QString::fromLatin1(NoteNames[static_cast<std::size_t>(name)]))
        .arg(octave)
        .arg(cents < 0 ? "-" : "+")
        .arg(std::labs(cents));
}

QString HarmonicsText(const std::optional<TDistortion>& distortion) {
    if (!distortion || distortion->HarmonicCount == 0) return Missing;
    QStringList levels;
    for (int i = 0; i < distortion->HarmonicCount; ++i) {
        const THarmonic& harmonic = distortion->Harmonics[static_cast<std::size_t>(i)];
        levels << QString("H%1 %2%3")
                      .arg(harmonic.Order)
                      .arg(BoundMark(harmonic.LevelDbc, TBoundSide::AtMost), Number(harmonic.LevelDbc.Db, 1, "dBc"));
    }
    return levels.join("   ");
}

QString LevelText(double dbFullScale, const TCalibration& calibration) {
    if (!std::isfinite(dbFullScale)) return Missing;
    const double value = calibration.Value(dbFullScale);
    const bool volts = calibration.Unit == TLevelUnit::Volts;
    return ReadoutNumbers().toString(value, volts ? 'g' : 'f', volts ? 4 : 1) + QChar(0x202F) +
           QString::fromUtf8(UnitName(calibration.Unit));
}

QString FastLevelSymbol(TWeighting weighting) {
    switch (weighting) {
        case TWeighting::A: return QStringLiteral("LAF");
        case TWeighting::C: return QStringLiteral("LCF");
        case TWeighting::Z: break;
    }
    return QStringLiteral("LZF");
}

QString ReadoutText(const TMeasurements& m, const std::optional<TDistortion>& distortion, int skippedBuffers,
                    const TReadoutLevels& levels) {
    const QString note = m.DominantHz ? "  " + NoteText(*m.DominantHz) : QString();
    const QString skipped =
        skippedBuffers > 0 ? TReadoutText::tr("   Übersprungen: %1 Puffer").arg(skippedBuffers) : QString();
    const auto level = [&](const std::optional<double>& db) {
        return db ? LevelText(*db, levels.Calibration) : Missing;
    };
    const std::optional<TSoundLevelReading>& sound = levels.SoundLevel;
    const QString soundLevel = sound ? QString("   %1 %2").arg(FastLevelSymbol(sound->Weighting),
                                                             LevelText(sound->DbFullScale, levels.Calibration))
                                     : QString();
    return TReadoutText::tr("Frequenz %1%2   Ton %3   RMS %4   Spitze %5%6%7%8")
        .arg(Number(m.DominantHz, 2, "Hz"), note, level(m.DominantDbfs), level(m.RmsDbfs),
             Number(m.PeakPercent, 1, "%"), soundLevel, DistortionText(distortion), skipped);
}

QString ChannelBReadoutText(const TChannelBFigures& figures, const TCalibration& calibration) {
    return TReadoutText::tr("Kanal B: %1   Phase B−A %2")
        .arg(ReadoutText(figures.Measurements, figures.Distortion, 0, {calibration, std::nullopt}),
             Number(figures.PhaseDegrees, 1, "°"));
}

}  // namespace wellenschau
