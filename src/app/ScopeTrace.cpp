#include "ScopeTrace.h"

#include "DisplaySetup.h"
#include "core/Errors.h"

#include <QCoreApplication>

namespace wellenschau {

namespace {

// The trigger's marks: amber, seen on every scheme.
constexpr TColor MarkColor = RGBColor(255, 160, 0);
// How far up and down the trigger time's mark reaches, in percent of full
// scale: beyond every amplitude range, clipped by the plot.
constexpr double MarkReach = 1000.0;

bool Valid(const TScopeSettings& s, double sampleRate) {
    const bool timeBase = s.MsPerDivision == 0.0 || (s.MsPerDivision >= LeastMsPerDivision &&
                                                     s.MsPerDivision <= MostMsPerDivision(FftFrameLength, sampleRate));
    return timeBase && s.PositionPercent >= 0.0 && s.PositionPercent <= 100.0 && s.LevelPercent >= -100.0 &&
           s.LevelPercent <= 100.0 && s.PercentPerDivision >= 0.0 && s.HysteresisPercent >= 0.0;
}

}  // namespace

void TScopeTrace::Attach() {
    AttachOscilloscopeSeries(FChart, TraceB, ChannelBColor(false));
    for (TFastLineSeries* mark : {&LevelMark, &PositionMark}) {
        AttachOscilloscopeSeries(FChart, *mark, MarkColor);
        mark->LinePen().SetStyle(psDot);
    }
}

void TScopeTrace::SetSettings(const TScopeSettings& settings, bool fast, double sampleRate) {
    if (!Valid(settings, sampleRate)) throw ERangeError();
    const double oldMsPerDivision = Settings().MsPerDivision;
    FSweep.SetSettings(settings);
    ++FChanges;
    if (settings.MsPerDivision != oldMsPerDivision && !FXY) ApplyTimeAxis(fast);
    ApplyAmplitudeAxes();
    PlaceMarks(fast, sampleRate);
}

void TScopeTrace::ApplyTimeAxis(bool fast) {
    const double msPerDivision = Settings().MsPerDivision;
    if (msPerDivision > 0.0) {
        FChart.BottomAxis().SetMaximum(msPerDivision * TimeDivisions);
        FChart.BottomAxis().SetIncrement(msPerDivision);
    } else {
        SetOscilloscopeTimeBase(FChart, fast);
    }
}

void TScopeTrace::ApplyAmplitudeAxes() {
    const double perDivision = Settings().PercentPerDivision;
    if (perDivision > 0.0) {
        const double half = perDivision * AmplitudeDivisions / 2;
        FChart.LeftAxis().SetMinMax(-half, half);
        FChart.LeftAxis().SetIncrement(perDivision);
    }
    if (!FXY) return;
    TChartAxis& across = FChart.BottomAxis();
    across.SetMinMax(FChart.LeftAxis().Minimum(), FChart.LeftAxis().Maximum());
    across.SetIncrement(FChart.LeftAxis().Increment());
}

void TScopeTrace::SetXY(bool on, bool fast) {
    if (on == FXY) return;
    ++FChanges;
    TChartAxis& amplitude = FChart.LeftAxis();
    if (on) {
        FAmplitudeMinimum = amplitude.Minimum();
        FAmplitudeMaximum = amplitude.Maximum();
        // Full scale both ways unless an amplitude per division says otherwise.
        amplitude.SetMinMax(-100, 100);
    } else {
        amplitude.SetMinMax(FAmplitudeMinimum, FAmplitudeMaximum);
        FChart.BottomAxis().SetMinMax(0, FChart.BottomAxis().Maximum());
        ApplyTimeAxis(fast);
    }
    FXY = on;
    FChart.SetSquarePlot(on);
    ApplyAmplitudeAxes();
    TChartAxisTitle& across = FChart.BottomAxis().Title();
    TChartAxisTitle& up = FChart.LeftAxis().Title();
    if (on) {
        FPlainTitles = {across.Caption(), up.Caption()};
        across.SetCaption(QCoreApplication::translate("TScopeTrace", "Kanal A (%)"));
        up.SetCaption(QCoreApplication::translate("TScopeTrace", "Kanal B (%)"));
    } else {
        across.SetCaption(FPlainTitles.first);
        up.SetCaption(FPlainTitles.second);
    }
    FTraceA.ClearPoints();
    TraceB.ClearPoints();
}

void TScopeTrace::SetRolling(bool on, bool fast) {
    FRolling = on;
    if (!on && !FXY) ApplyTimeAxis(fast);
}

void TScopeTrace::SetFastTimeBase(bool fast, double sampleRate) {
    ++FChanges;
    if (Settings().MsPerDivision == 0.0 && !FXY) SetOscilloscopeTimeBase(FChart, fast);
    PlaceMarks(fast, sampleRate);
}

void TScopeTrace::PlaceMarks(bool fast, double sampleRate) {
    LevelMark.ClearPoints();
    PositionMark.ClearPoints();
    const TScopeSettings& s = Settings();
    if (s.PlainTrace() || FXY) return;
    const TSweepSpan span = SpanOf(s, fast, sampleRate);
    PositionMark.AddPoint(span.TriggerMs, -MarkReach);
    PositionMark.AddPoint(span.TriggerMs, MarkReach);
    if (s.Trigger != TTriggerMode::Edge) return;
    LevelMark.AddPoint(0.0, s.LevelPercent);
    LevelMark.AddPoint(span.ScreenMs, s.LevelPercent);
}

void TScopeTrace::SetChannelVisible(TChannel channel, bool visible) {
    ++FChanges;
    (channel == TChannel::A ? FTraceA : TraceB).SetActive(visible);
}

std::optional<TTraceExtremes> TScopeTrace::Draw(const char* channelA, const char* channelB, int n, bool fast,
                                                double sampleRate) {
    KeepPrevious(channelA, channelB, n);
    if (FLive || FRolling) return std::nullopt;
    if (!Settings().PlainTrace() || (FXY && channelB)) return DrawSweep(channelA, channelB, fast, sampleRate);
    FTraceA.ClearPoints();
    TraceB.ClearPoints();
    const int trigger = FindTrigger(channelA);
    const TTraceExtremes extremes = PlotTrace(channelA, trigger, fast, sampleRate, FPointsA);
    if (channelB) PlotTrace(channelB, trigger, fast, sampleRate, FPointsB);
    return extremes;
}

void TScopeTrace::KeepPrevious(const char* channelA, const char* channelB, int n) {
    FSamplesA.Add(channelA, n);
    if (channelB) FSamplesB.Add(channelB, n);
}

std::optional<TTraceExtremes> TScopeTrace::DrawSweep(const char* channelA, const char* channelB, bool fast,
                                                     double sampleRate) {
    const bool sourceB = Settings().Source == TTriggerSource::B && channelB;
    const std::optional<double> position =
        FSweep.Next(sourceB ? FSamplesB : FSamplesA, sourceB ? channelB : channelA, fast, sampleRate);
    if (!position) return std::nullopt;
    return PlotBoth(FSamplesA, channelB ? &FSamplesB : nullptr, *position, fast, sampleRate);
}

std::optional<TTraceExtremes> TScopeTrace::DrawLive(bool channelB, bool fast, double sampleRate) {
    const bool sourceB = Settings().Source == TTriggerSource::B && channelB;
    const std::optional<double> position = FSweep.Newest(sourceB ? FLiveB : FLiveA, fast, sampleRate);
    if (!position) return std::nullopt;
    return PlotBoth(FLiveA, channelB ? &FLiveB : nullptr, *position, fast, sampleRate);
}

std::optional<TTraceExtremes> TScopeTrace::PlotBoth(const TSampleHistory& a, const TSampleHistory* b, double position,
                                                    bool fast, double sampleRate) {
    const TSweepSpan span = SpanOf(Settings(), fast, sampleRate);
    FTraceA.ClearPoints();
    TraceB.ClearPoints();
    if (FXY && b) {
        PlotXY(a.Samples(), b->Samples(), position, span, FPointsA);
        return std::nullopt;
    }
    const TTraceExtremes extremes = PlotSweep(a.Samples(), position, span, sampleRate, FPointsA);
    if (b) PlotSweep(b->Samples(), position, span, sampleRate, FPointsB);
    return extremes;
}

}  // namespace wellenschau
