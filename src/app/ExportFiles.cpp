#include "ExportFiles.h"

#include "Instrument.h"
#include "MeasurementText.h"
#include "PathBytes.h"
#include "audio/SystemReason.h"
#include "core/Errors.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TExportFilesText {
    Q_DECLARE_TR_FUNCTIONS(TExportFilesText)
};

[[noreturn]] void CannotWrite(const QFileDevice& file, const QString& reason) {
    throw EWellenschauError(TExportFilesText::tr("Die Datei '%1' lässt sich nicht schreiben: %2")
                                .arg(file.fileName(), reason)
                                .toStdString());
}

[[noreturn]] void CannotWrite(const QFileDevice& file, int error) {
    CannotWrite(file, QString::fromStdString(SystemReason(error)));
}

// Straight to the temporary file, so that a full disk shows at the write
// that meets it, with the system's reason.
void Put(QSaveFile& file, QByteArrayView bytes) {
    const char* next = bytes.data();
    for (qsizetype left = bytes.size(); left > 0;) {
        const ssize_t written = ::write(file.handle(), next, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) CannotWrite(file, written < 0 ? errno : ENOSPC);
        next += written;
        left -= written;
    }
}

// Everything written is on the disk: a failure the system reports late
// (a full network share, a failing stick) shows here, before any file of
// the set is put in place.
void Check(QSaveFile& file) {
    if (::fdatasync(file.handle()) != 0) CannotWrite(file, errno);
}

[[noreturn]] void CannotMakeFolder(const QString& folder, const QString& reason) {
    throw EWellenschauError(
        TExportFilesText::tr("Der Ordner '%1' lässt sich nicht anlegen: %2.").arg(folder, reason).toStdString());
}

// Makes one folder of a path whose parent is there; empty, or why it
// cannot.
QString MakeOneFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0777) == 0) return {};
    const int error = errno;
    const QString name = QFile::decodeName(path);
    struct stat status {};
    if (::stat(path.constData(), &status) == 0)
        return S_ISDIR(status.st_mode) ? QString() : TExportFilesText::tr("'%1' ist eine Datei, kein Ordner").arg(name);
    // There, but not to be followed.
    if (error == EEXIST) return TExportFilesText::tr("'%1' ist ein Verweis auf ein fehlendes Ziel").arg(name);
    return QString::fromStdString(SystemReason(error));
}

// h2_dbc .. h10_dbc, each after a comma.
QByteArray HarmonicColumns() {
    QByteArray columns;
    for (int order = 2; order <= HighestHarmonic; ++order) columns += ",h" + QByteArray::number(order) + "_dbc";
    return columns;
}

constexpr char DistortionColumns[] = ",thd_db,thdn_db,snr_db,sinad_db";
constexpr char SoundLevelColumns[] = ",rms_a_db,rms_c_db";

// Each third octave's nominal midband, with `prefix`, each after a comma.
QByteArray BandColumns(const char* prefix) {
    QByteArray columns;
    for (int band = 0; band < BandCount(TBandSet::ThirdOctave); ++band)
        columns += ',' + QByteArray(prefix) + BandName(TBandSet::ThirdOctave, band);
    return columns;
}

// The export writes dB only: volts as dBV.
TCalibration InDecibels(TCalibration calibration) {
    if (calibration.Unit == TLevelUnit::Volts) calibration.Unit = TLevelUnit::DbV;
    return calibration;
}

}  // namespace

TExportFiles::TExportFiles(const QDir& dir, int rowCount, bool distortion,
                           const std::optional<TCalibration>& soundLevel, bool channelB)
    : FDir(dir), FRowCount(rowCount), FCalibration(InDecibels(soundLevel.value_or(TCalibration{}))) {
    FLevels = Create("levels.csv");
    FLine = "buffer";
    for (int row = 1; row < FRowCount; ++row) FLine += ",row" + QByteArray::number(row);
    FLine += '\n';
    Put(*FLevels, FLine);
    const QByteArray columns = QByteArray("buffer,time_s,rms_dbfs,peak_percent,dominant_hz,dominant_dbfs,note") +
                               (distortion ? DistortionColumns : "") + (soundLevel ? SoundLevelColumns : "") + '\n';
    FMeasurements = Create("measurements.csv");
    Put(*FMeasurements, columns);
    if (channelB) {
        FMeasurementsB = Create("measurements-b.csv");
        Put(*FMeasurementsB, columns);
    }
    if (distortion) {
        FHarmonics = Create("harmonics.csv");
        Put(*FHarmonics, "buffer" + HarmonicColumns() + '\n');
    }
    if (soundLevel) {
        FBands = Create("bands.csv");
        Put(*FBands, "buffer,time_s" + BandColumns("") + '\n');
    }
}

TExportFiles::~TExportFiles() = default;

std::unique_ptr<QSaveFile> TExportFiles::Create(const QString& name) {
    auto file = std::make_unique<QSaveFile>(FDir.filePath(name));
    errno = 0;
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (errno != 0) CannotWrite(*file, errno);
        CannotWrite(*file, file->errorString());
    }
    return file;
}

void TExportFiles::AppendNumber(QByteArray& line, double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    line.append(text, result.ptr - text);
}

void TExportFiles::AddLevels(int buffer, const double* rowLevels) {
    FLine.clear();
    FLine += QByteArray::number(buffer);
    for (int row = 1; row < FRowCount; ++row) {
        FLine += ',';
        AppendNumber(FLine, rowLevels[row]);
    }
    FLine += '\n';
    Put(*FLevels, FLine);
}

void TExportFiles::AppendField(QByteArray& line, const std::optional<double>& value) {
    line += ',';
    if (value) AppendNumber(line, *value);
}

void TExportFiles::AppendLevel(QByteArray& line, double dbFullScale) {
    line += ',';
    if (std::isfinite(dbFullScale)) AppendNumber(line, FCalibration.Value(dbFullScale));
}

void TExportFiles::AppendFigure(QByteArray& line, const TFigure& figure, bool atMost) {
    line += ',';
    if (figure.OnlyBound) line += atMost ? '<' : '>';
    AppendNumber(line, figure.Db);
}

void TExportFiles::AppendDistortionFigures(QByteArray& line, const std::optional<TDistortion>& distortion) {
    if (!distortion) {
        line += ",,,,";
        return;
    }
    if (distortion->Thd)
        AppendFigure(line, *distortion->Thd, true);
    else
        line += ',';
    AppendFigure(line, distortion->ThdPlusNoise, true);
    AppendFigure(line, distortion->Snr, false);
    AppendFigure(line, distortion->Sinad, false);
}

void TExportFiles::AppendHarmonics(QByteArray& line, const std::optional<TDistortion>& distortion) {
    const int count = distortion ? distortion->HarmonicCount : 0;
    for (int i = 0; i < HighestHarmonic - 1; ++i) {
        if (i < count)
            AppendFigure(line, distortion->Harmonics[static_cast<std::size_t>(i)].LevelDbc, true);
        else
            line += ',';
    }
}

void TExportFiles::AddMeasurements(int buffer, double seconds, const TMeasurements& measurements,
                                   const std::optional<TDistortion>& distortion,
                                   const std::optional<TBufferSoundLevel>& soundLevel) {
    MakeMeasurementLine(buffer, seconds, measurements, distortion, soundLevel);
    Put(*FMeasurements, FLine);
    if (FBands) AddBands(buffer, seconds, soundLevel);
    if (!FHarmonics) return;
    FLine = QByteArray::number(buffer);
    AppendHarmonics(FLine, distortion);
    FLine += '\n';
    Put(*FHarmonics, FLine);
}

void TExportFiles::MakeMeasurementLine(int buffer, double seconds, const TMeasurements& measurements,
                                       const std::optional<TDistortion>& distortion,
                                       const std::optional<TBufferSoundLevel>& soundLevel) {
    FLine.clear();
    FLine += QByteArray::number(buffer);
    AppendField(FLine, seconds);
    AppendField(FLine, measurements.RmsDbfs);
    AppendField(FLine, measurements.PeakPercent);
    AppendField(FLine, measurements.DominantHz);
    AppendField(FLine, measurements.DominantDbfs);
    FLine += ',';
    if (measurements.DominantHz) FLine += NoteText(*measurements.DominantHz).toUtf8();
    if (FHarmonics) AppendDistortionFigures(FLine, distortion);
    if (FBands) {
        const double silence = -std::numeric_limits<double>::infinity();
        AppendLevel(FLine, soundLevel ? soundLevel->ADb : silence);
        AppendLevel(FLine, soundLevel ? soundLevel->CDb : silence);
    }
    FLine += '\n';
}

// A buffer without sound levels (measured before the meter was on) has
// empty fields.
void TExportFiles::AddBands(int buffer, double seconds, const std::optional<TBufferSoundLevel>& soundLevel) {
    FLine = QByteArray::number(buffer);
    AppendField(FLine, seconds);
    for (int band = 0; band < BandCount(TBandSet::ThirdOctave); ++band)
        AppendLevel(FLine, soundLevel ? soundLevel->ThirdOctaveDb[static_cast<std::size_t>(band)]
                                      : -std::numeric_limits<double>::infinity());
    FLine += '\n';
    Put(*FBands, FLine);
}

void TExportFiles::WriteWhole(const QString& name, const QByteArray& text) {
    auto file = Create(name);
    Put(*file, text);
    FPending.push_back(std::move(file));
}

void TExportFiles::WritePicture(const QImage& picture, const QString& name) {
    auto file = Create(name);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        CannotWrite(*file, TExportFilesText::tr("Das Bild lässt sich nicht als PNG kodieren"));
    Put(*file, png);
    FPending.push_back(std::move(file));
}

void TExportFiles::Write(TInstrument& instrument) {
    // The charts as the window shows them, the pictures placed on them included.
    WritePicture(instrument.ChartPicture(instrument.Chart2), "oscilloscope.png");
    WritePicture(instrument.ChartPicture(instrument.Chart1), "spectrum.png");
    WritePicture(instrument.ChartPicture(instrument.Chart3), "spectrogram.png");
    WritePicture(instrument.Image1, "spectrogram-image.png");

    // A second series adds its Y values as a third column.
    const auto writeSeries = [this](const TFastLineSeries& series, const TFastLineSeries* second, const QString& name,
                                    const QByteArray& header) {
        QByteArray text = header + '\n';
        for (int i = 0; i < series.PointCount(); ++i) {
            AppendNumber(text, series.XValue(i));
            text += ',';
            AppendNumber(text, series.YValue(i));
            if (second) {
                text += ',';
                AppendNumber(text, second->YValue(i));
            }
            text += '\n';
        }
        WriteWhole(name, text);
    };
    // With two channels channel B's trace has the same times as A's.
    const TFastLineSeries& traceB = instrument.Scope.TraceB;
    if (traceB.PointCount() > 0)
        writeSeries(instrument.FastLineSeries1, &traceB, "trace.csv", "time_ms,amplitude_percent,amplitude_b_percent");
    else
        writeSeries(instrument.FastLineSeries1, nullptr, "trace.csv", "time_ms,amplitude_percent");
    writeSeries(instrument.SLeft, nullptr, "spectrum.csv", "frequency_hz,level_db");

    if (FHarmonics || FBands) WriteSummary(instrument);
    if (FHarmonics) {
        WriteAverageSpectrum(instrument);
        FPending.push_back(std::move(FHarmonics));
    }
    if (FBands) FPending.push_back(std::move(FBands));
    FPending.push_back(std::move(FLevels));
    FPending.push_back(std::move(FMeasurements));
    if (FMeasurementsB) FPending.push_back(std::move(FMeasurementsB));
    for (const auto& file : FPending) Check(*file);
    for (const auto& file : FPending)
        if (!file->commit()) CannotWrite(*file, file->errorString());
}

void TExportFiles::WriteSummary(const TInstrument& instrument) {
    QByteArray header, line;
    if (FHarmonics) AppendDistortionSummary(header, line, instrument);
    if (FBands) AppendSoundLevelSummary(header, line, instrument.SoundLevel());
    // Each part begins with a comma.
    WriteWhole("summary.csv", header.mid(1) + '\n' + line.mid(1) + '\n');
}

// The figures of the whole run's power-averaged spectrum.
void TExportFiles::AppendDistortionSummary(QByteArray& header, QByteArray& line, const TInstrument& instrument) {
    const std::optional<TDistortion> whole = instrument.LongTermDistortion();
    header += ",fundamental_hz,fundamental_dbfs" + QByteArray(DistortionColumns) + ",enob_bits" + HarmonicColumns();
    line += ',';
    if (whole) {
        AppendNumber(line, whole->FundamentalHz);
        line += ',';
        AppendNumber(line, whole->FundamentalDbfs);
    } else {
        line += ',';
    }
    AppendDistortionFigures(line, whole);
    if (whole)
        AppendFigure(line, whole->Enob, false);
    else
        line += ',';
    AppendHarmonics(line, whole);
}

// The equivalent levels since the meter's restart: A, C and every third
// octave unweighted.
void TExportFiles::AppendSoundLevelSummary(QByteArray& header, QByteArray& line, const TSoundLevelMeter& meter) {
    header += ",laeq_db,lceq_db" + BandColumns("leq_");
    AppendLevel(line, meter.Level(TWeighting::A, TLevelTime::Leq));
    AppendLevel(line, meter.Level(TWeighting::C, TLevelTime::Leq));
    for (int band = 0; band < BandCount(TBandSet::ThirdOctave); ++band)
        AppendLevel(line, meter.BandLevel(TBandSet::ThirdOctave, band, TWeighting::Z, TLevelTime::Leq));
}

// average-spectrum.csv: the whole run's power-averaged spectrum's level in
// every row but row 0.
void TExportFiles::WriteAverageSpectrum(const TInstrument& instrument) {
    std::vector<double> rowLevels(static_cast<std::size_t>(FRowCount));
    instrument.LongTermRowLevels(rowLevels);
    QByteArray text = "row,frequency_hz,level_db\n";
    for (int row = 1; row < FRowCount; ++row) {
        text += QByteArray::number(row) + ',';
        AppendNumber(text, instrument.Analysis().RowFrequency[row]);
        text += ',';
        AppendNumber(text, rowLevels[static_cast<std::size_t>(row)]);
        text += '\n';
    }
    WriteWhole("average-spectrum.csv", text);
}

void TExportFiles::MakeFolder(const QString& folder) {
    const QByteArray path = QByteArray::fromStdString(EncodePath(QDir::cleanPath(folder)));
    // Each folder from the top down, so that the message names the part
    // that is in the way.
    for (qsizetype end = path.indexOf('/', 1);; end = path.indexOf('/', end + 1)) {
        const QByteArray part = end < 0 ? path : path.left(end);
        if (const QString reason = MakeOneFolder(part); !reason.isEmpty()) CannotMakeFolder(folder, reason);
        if (end < 0) return;
    }
}

QStringList TExportFiles::FileNames(bool distortion, bool soundLevel, bool channelB) {
    QStringList names = {"oscilloscope.png", "spectrum.png", "spectrogram.png", "spectrogram-image.png",
                         "trace.csv", "spectrum.csv", "levels.csv", "measurements.csv"};
    if (distortion) names << "harmonics.csv" << "average-spectrum.csv";
    if (soundLevel) names << "bands.csv";
    if (distortion || soundLevel) names << "summary.csv";
    if (channelB) names << "measurements-b.csv";
    return names;
}

void TExportFiles::AddBuffer(const TLevelHistory& history, int index) {
    const TLevelHistory::TEntry& entry = history.Entry(index);
    AddLevels(entry.Buffer, history.Levels(index));
    AddMeasurements(entry.Buffer, entry.Seconds, entry.Measurements, entry.Distortion, entry.SoundLevel);
    if (!FMeasurementsB || !entry.ChannelB) return;
    MakeMeasurementLine(entry.Buffer, entry.Seconds, entry.ChannelB->Measurements, entry.ChannelB->Distortion,
                        std::nullopt);
    Put(*FMeasurementsB, FLine);
}

void TExportFiles::WriteView(TInstrument& instrument, const QDir& dir, bool distortion) {
    const std::optional<TCalibration> soundLevel =
        instrument.SoundLevelOn() ? std::optional(instrument.Calibration()) : std::nullopt;
    TExportFiles files(dir, instrument.Analysis().RowCount, distortion, soundLevel, instrument.TwoChannels());
    const TLevelHistory& history = instrument.History();
    for (int i = 0; i < history.Count(); ++i) files.AddBuffer(history, i);
    files.Write(instrument);
}

}  // namespace wellenschau
