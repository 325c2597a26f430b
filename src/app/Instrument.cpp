#include "Instrument.h"

#include "DisplaySetup.h"
#include "analysis/Measurements.h"
#include "analysis/Spectrogram.h"
#include "analysis/Trace.h"
#include "core/Errors.h"
#include "palette/PaletteParser.h"

#include <QPainter>

#include <algorithm>

namespace wellenschau {

namespace {

// Oscilloscope colours of the white scheme and of the dark one that
// unchecking it gives.
constexpr TColor DarkTraceColor = 0x00FF00;
constexpr TColor WhiteGridColor = 0xC0C0C0;

// The oscilloscope's size in the stored window: all of it below the tool bar.
constexpr QSize OscilloscopeSize(790, 535);

// Samples at a buffer's end that, all exactly zero, mark it as cut off:
// the end of a file, completed with zeros.
constexpr int CutOffSamples = 32;

// A buffer whose sound stops dead (the last of a file, filled up with
// zeros) spreads the cut over its whole spectrum; the long-term averages
// leave it out, as they leave out silence, which adds nothing to them.
bool EndsInDigitalSilence(const char* buffer, int n) {
    const char* end = buffer + 2 * static_cast<std::ptrdiff_t>(n);
    return std::all_of(end - 2 * CutOffSamples, end, [](char byte) { return byte == 0; });
}

// Sets the analysis up for the spectrogram picture's height; gives the
// number of rows.
int SetUpAnalysis(AnalysisState& state) {
    SetupAnalysis(state, Image1Bounds.height());
    return state.RowCount;
}

}  // namespace

TInstrument::TInstrument()
    : FAnalysis(),
      // Two picture columns per buffer: the history keeps what the picture shows.
      FHistory(Image1Bounds.width() / 2, SetUpAnalysis(FAnalysis)),
      FPlaces{Image1Bounds, Image2Bounds, true} {
    ConfigureChart1(Chart1, SRight, SLeft, SxAchse);
    for (TFastLineSeries& mark : HarmonicMarks) AttachHarmonicMark(Chart1, mark);
    ConfigureChart2(Chart2, FastLineSeries2, FastLineSeries1);
    Scope.Attach();
    ConfigureChart3(Chart3, SyAchse, Series1);
    Chart1.SetSize(Chart1Bounds.width(), Chart1Bounds.height());
    Chart2.SetSize(OscilloscopeSize.width(), OscilloscopeSize.height());
    Chart3.SetSize(Chart3Bounds.width(), Chart3Bounds.height());
    Chart1.SetBackColor(clBlack);
    Chart2.SetBackColor(OscilloscopeBackColor);
    PrepareIndexedBitmap(Image1, Image1Bounds.width(), Image1Bounds.height(), FAnalysis.SpectrogramLines);
    PrepareIndexedBitmap(Image2, Image2Bounds.width(), Image2Bounds.height(), FAnalysis.LegendLines);
    FillLegend(FAnalysis.LegendLines, Image2Bounds.width(), Image2Bounds.height());
    FillLabelCarrier(SxAchse, FAnalysis, TCarrierY::Zero);
    FillLabelCarrier(SyAchse, FAnalysis, TCarrierY::Frequency);
    FLongTermDistortion.SetWhole();
    FLongTermSpectrum.SetWhole();
    FAveragedRows.resize(static_cast<std::size_t>(FAnalysis.RowCount));
}

TMeasurements TInstrument::LastMeasurements() const {
    const int last = FHistory.Count() - 1;
    return last < 0 ? TMeasurements{} : FHistory.Entry(last).Measurements;
}

std::optional<TDistortion> TInstrument::LastDistortion() const {
    const int last = FHistory.Count() - 1;
    return last < 0 ? std::nullopt : FHistory.Entry(last).Distortion;
}

std::optional<TChannelBFigures> TInstrument::LastChannelB() const {
    const int last = FHistory.Count() - 1;
    return last < 0 ? std::nullopt : FHistory.Entry(last).ChannelB;
}

void TInstrument::SetTwoChannels(bool on) {
    if (on == TwoChannels()) return;
    ++FChanges;
    if (on)
        FSecondChannel = std::make_unique<TSecondChannel>(Image1Bounds.height());
    else
        FSecondChannel.reset();
}

std::optional<TChannelBFigures> TInstrument::AnalyseChannelB(const char* channelB, const char* channelA, int n,
                                                             const TMeasurements& measurementsA) {
    if (channelB == nullptr) return std::nullopt;
    SetTwoChannels(true);
    return FSecondChannel->Analyse(channelB, channelA, n, measurementsA.DominantHz, FDistortionAnalysis);
}

std::optional<TDistortion> TInstrument::LongTermDistortion() const {
    if (FLongTermDistortion.Added() == 0) return std::nullopt;
    return FDistortion.Analyse(FLongTermDistortion.Average());
}

void TInstrument::LongTermRowLevels(std::span<double> rowLevels) const {
    PowerRowLevels(FAnalysis, FLongTermSpectrum.Average(), rowLevels);
}

void TInstrument::SetAveraging(TAveraging mode, double amount) {
    for (TPowerAverage* average : {&FShownSpectrum, &FShownDistortion}) {
        switch (mode) {
        case TAveraging::Off: average->SetOff(); break;
        case TAveraging::Exponential:
            average->SetExponential(BuffersOf(amount, FAnalysis.SampleRate, DistortionLength));
            break;
        case TAveraging::Linear: average->SetLinear(static_cast<int>(amount)); break;
        case TAveraging::Whole: average->SetWhole(); break;
        }
    }
    FAveraging = mode;
    FAveragingAmount = amount;
    ++FChanges;
}

void TInstrument::SetSoundLevel(bool on) {
    if (on && !FSoundLevelOn) FSoundLevel.Restart();
    FSoundLevelOn = on;
    ++FChanges;
}

std::optional<TBufferSoundLevel> TInstrument::MeasureSoundLevel(const char* buffer, int n) {
    if (!FSoundLevelOn) return std::nullopt;
    for (int i = 0; i < n; ++i) FSoundLevelSamples[static_cast<std::size_t>(i)] = SampleAt(buffer, i);
    FSoundLevel.Process(FSoundLevelSamples.data(), n);
    return TBufferSoundLevel::Of(FSoundLevel);
}

void TInstrument::SetHarmonicMarks(bool on) {
    FHarmonicMarks = on;
    ++FChanges;
    MarkHarmonics();
}

void TInstrument::MarkHarmonics() {
    const std::optional<TDistortion> distortion = FHarmonicMarks ? LastDistortion() : std::nullopt;
    const int marked = distortion ? distortion->HarmonicCount : 0;
    for (int i = 0; i < HighestHarmonic - 1; ++i) {
        TFastLineSeries& mark = HarmonicMarks[static_cast<std::size_t>(i)];
        if (i < marked)
            MarkHarmonic(mark, distortion->Harmonics[static_cast<std::size_t>(i)].Hz);
        else
            mark.ClearPoints();
    }
}

void TInstrument::SetFastTimeBase(bool fast) {
    FFastTimeBase = fast;
    Scope.SetFastTimeBase(fast, FAnalysis.SampleRate);
}

void TInstrument::SetScope(const TScopeSettings& settings) {
    const bool amplitudeWasFixed = Scope.Settings().PercentPerDivision > 0.0;
    Scope.SetSettings(settings, FFastTimeBase, FAnalysis.SampleRate);
    if (!amplitudeWasFixed || settings.PercentPerDivision > 0.0) return;
    TChartAxis& amplitude = Chart2.LeftAxis();
    amplitude.SetIncrement(0.0);
    const double scale = FAutoScale ? FAnalysis.AmplitudeScale : 100.0;
    amplitude.SetMinMax(-(scale * 1.02), scale * 1.01);
}

const char* TInstrument::SetBackgroundSubtraction(bool on) {
    ++FChanges;
    if (on) {
        StartBackgroundLearning(FAnalysis);
        return BackgroundLearningCaption;
    }
    StopBackgroundTreatment(FAnalysis);
    return BackgroundOffCaption;
}

void TInstrument::SetWhiteScheme(bool white) {
    FWhiteScheme = white;
    ++FChanges;
    Chart2.SetBackColor(white ? clWhite : clBlack);
    FastLineSeries1.LinePen().SetColor(white ? clBlack : DarkTraceColor);
    Chart2.LeftAxis().Grid().SetColor(white ? WhiteGridColor : clGreen);
    Chart2.BottomAxis().Grid().SetColor(white ? WhiteGridColor : clGreen);
    Scope.SetWhiteScheme(white);
}

void TInstrument::LoadPalette(const QStringList& memo, const QString& name) {
    LoadPaletteIntoImage(Image1, memo, name);
    LoadPaletteIntoImage(Image2, memo, name);
}

void TInstrument::TakeSnapshot() {
    CopyPoints(SLeft, SRight);
    CopyPoints(FastLineSeries1, FastLineSeries2);
    FAnalysis.StoredPeak = FAnalysis.LastPeak;
    ++FChanges;
}

void TInstrument::EraseSnapshot() {
    SRight.ClearPoints();
    FastLineSeries2.ClearPoints();
    FAnalysis.StoredPeak = 0;
    ++FChanges;
}

TInstrumentSettings TInstrument::Settings() const {
    return {.FastTimeBase = FFastTimeBase,
            .AutoScale = FAutoScale,
            .TwoChannels = TwoChannels(),
            .WhiteScheme = FWhiteScheme,
            .DistortionAnalysis = FDistortionAnalysis,
            .SoundLevel = FSoundLevelOn,
            .HarmonicMarks = FHarmonicMarks,
            .Calibration = FCalibration,
            .Averaging = FAveraging,
            .AveragingAmount = FAveragingAmount,
            .Scope = Scope.Settings(),
            .ScopeXY = Scope.XY(),
            .ScopeLive = Scope.Live(),
            .ChannelAVisible = Scope.ChannelVisible(TChannel::A),
            .ChannelBVisible = Scope.ChannelVisible(TChannel::B)};
}

void TInstrument::ApplySettings(const TInstrumentSettings& s) {
    SetTwoChannels(s.TwoChannels);
    SetFastTimeBase(s.FastTimeBase);
    SetAutoScale(s.AutoScale);
    if (s.WhiteScheme) SetWhiteScheme(*s.WhiteScheme);
    SetDistortionAnalysis(s.DistortionAnalysis);
    SetSoundLevel(s.SoundLevel);
    SetHarmonicMarks(s.HarmonicMarks);
    SetCalibration(s.Calibration);
    SetAveraging(s.Averaging, s.AveragingAmount);
    Scope.SetXY(false, s.FastTimeBase);
    SetScope(s.Scope);
    Scope.SetXY(s.ScopeXY, s.FastTimeBase);
    Scope.SetLive(s.ScopeLive);
    Scope.SetChannelVisible(TChannel::A, s.ChannelAVisible);
    Scope.SetChannelVisible(TChannel::B, s.ChannelBVisible);
}

template <typename TSelf, typename TVisit>
void TInstrument::EachState(TSelf& self, TVisit& visit) {
    auto& a = self.FAnalysis;
    visit(a.AmplitudeScale);
    visit(a.LastPeak);
    visit(a.StoredPeak);
    visit(a.PeakHold);
    visit(a.BackgroundCount);
    visit(a.BackgroundSubtract);
    visit(a.BackgroundLearning);
    const auto rows = static_cast<std::size_t>(a.RowCount);
    visit(std::span(a.PrevRowLevel.data(), rows));
    visit(std::span(a.BackgroundLevel.data(), rows + 1));
    visit(self.FSoundLevel);
    visit(self.Scope);
    visit(self.FDistortion);
    if (self.FSecondChannel) visit(self.FSecondChannel->Distortion());
}

std::size_t TInstrument::StateBytes() const {
    TStateCounter counter;
    EachState(*this, counter);
    counter(TAmplitudeRange{});
    return counter.Bytes();
}

void TInstrument::SaveState(TStateWriter& writer) const {
    EachState(*this, writer);
    const TChartAxis& amplitude = Chart2.LeftAxis();
    writer(TAmplitudeRange{amplitude.Minimum(), amplitude.Maximum()});
}

void TInstrument::RestoreState(TStateReader& reader, std::span<const TKeptBuffer> earlier) {
    if (earlier.size() != DistortionRecordBuffers) throw ERangeError();
    // The distortion analysers' records first: their saved counts follow.
    for (const TKeptBuffer& buffer : earlier) {
        if (buffer.Samples != DistortionLength) continue;
        FDistortion.Transform(buffer.A);
        if (FSecondChannel && buffer.B) FSecondChannel->Distortion().Transform(buffer.B);
    }
    Scope.KeepPrevious(earlier.back().A, earlier.back().B, earlier.back().Samples);
    EachState(*this, reader);
    TAmplitudeRange amplitude{};
    reader(amplitude);
    Chart2.LeftAxis().SetMinMax(amplitude.Minimum, amplitude.Maximum);
}

void TInstrument::HandleBuffer(const char* buffer, int size, const char* channelB) {
    const int n = size / 2;
    // The trace reads up to 2803 samples and the transform needs a power
    // of two up to one frame: other buffers are refused before anything
    // is touched.
    if (n < MinTraceSamples || n > FftFrameLength || (n & (n - 1)) != 0) throw ERangeError();
    if (FKeeper) FKeeper->BeforeBuffer(*this);
    SLeft.ClearPoints();
    DrawTrace(buffer, channelB, n);

    AnalyseSpectrum(FAnalysis, buffer, n, FSpectrumPoints, *FBackgroundCaption);
    if (FAveraging != TAveraging::Off && n == FftFrameLength) ShowAveragedSpectrum();
    WriteSpectrogramColumn(FAnalysis, Image1.width(), Image1.height());
    const TMeasurements measurements = Measure(FAnalysis, buffer, n);
    FHistory.Add(FAnalysis, measurements, AnalyseDistortion(buffer, n), n, MeasureSoundLevel(buffer, n),
                 AnalyseChannelB(channelB, buffer, n, measurements));
    if (FHarmonicMarks) MarkHarmonics();
    if (FKeeper) FKeeper->AfterBuffer(*this, buffer, channelB, n);
    for (TBufferObserver* observer : FObservers) observer->BufferHandled(buffer, size);
}

void TInstrument::DrawTrace(const char* buffer, const char* channelB, int n) {
    FollowAmplitude(Scope.Draw(buffer, channelB, n, FFastTimeBase, FAnalysis.SampleRate));
}

void TInstrument::DrawLiveTrace(bool channelB) {
    FollowAmplitude(Scope.DrawLive(channelB, FFastTimeBase, FAnalysis.SampleRate));
}

void TInstrument::FollowAmplitude(const std::optional<TTraceExtremes>& extremes) {
    // A sweep that keeps its last trace keeps its range too.
    if (!extremes) return;
    const std::optional<TAmplitudeRange> range = UpdateAmplitudeRange(FAnalysis, *extremes, FAutoScale);
    // An amplitude per division fixes the axis.
    if (range && Scope.Settings().PercentPerDivision == 0.0) Chart2.LeftAxis().SetMinMax(range->Minimum, range->Maximum);
}

std::optional<TDistortion> TInstrument::AnalyseDistortion(const char* buffer, int n) {
    if (!FDistortionAnalysis || n != DistortionLength) return std::nullopt;
    const std::optional<TDistortion> own = FDistortion.AnalyseBuffer(buffer);
    if (!EndsInDigitalSilence(buffer, n)) {
        FLongTermSpectrum.Add(std::span<const double>(FAnalysis.FftPower.data(), BinsUsed));
        FLongTermDistortion.Add(FDistortion.Power());
    }
    if (FAveraging == TAveraging::Off) return own;
    FShownDistortion.Add(FDistortion.Power());
    // A fundamental too low for one buffer's spectrum, and so for their
    // average, keeps the figures of its four-buffer record.
    const std::optional<TDistortion> averaged = FDistortion.Analyse(FShownDistortion.Average());
    return averaged ? averaged : own;
}

void TInstrument::ShowAveragedSpectrum() {
    FShownSpectrum.Add(std::span<const double>(FAnalysis.FftPower.data(), BinsUsed));
    PowerRowLevels(FAnalysis, FShownSpectrum.Average(), FAveragedRows);
    SLeft.ClearPoints();
    for (int row = 1; row < FAnalysis.RowCount; ++row)
        SLeft.AddPoint(FAnalysis.RowFrequency[row], FAveragedRows[static_cast<std::size_t>(row)]);
}

QImage TInstrument::ChartPicture(TChart& chart) {
    QImage picture = chart.Paint();
    QPainter painter(&picture);
    if (&chart == &Chart3) painter.drawImage(FPlaces.Spectrogram, Image1);
    if (&chart == &Chart1) painter.drawImage(FPlaces.Legend, Image2);
    if (FPlaces.Marks && &chart != &Chart1) {
        const QPoint mark = &chart == &Chart2 ? OscilloscopeMark : SpectrogramMark;
        painter.fillRect(QRect(mark, QSize(1, 1)), Qt::black);
    }
    return picture;
}

}  // namespace wellenschau
