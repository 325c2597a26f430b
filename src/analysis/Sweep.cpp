#include "Sweep.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace wellenschau {

namespace {

// The stored time bases, in ms across the screen.
constexpr double NormalScreenMs = 40.8;
constexpr double FastScreenMs = 13.6;

// The latest position whose sweep still ends inside the samples.
int LatestPosition(const TSampleHistory& source, const TSweepSpan& span) {
    return source.Count() - 1 - static_cast<int>(std::ceil(span.After));
}

}  // namespace

double MostMsPerDivision(int n, double sampleRate) { return (n - 1) / sampleRate * 1000 / TimeDivisions; }

double PercentOfVolts(const TCalibration& calibration, double volts) {
    return volts / (calibration.FullScaleVolts * std::sqrt(2.0)) * 100;
}

double ScreenMs(const TScopeSettings& settings, bool fast) {
    if (settings.MsPerDivision > 0.0) return settings.MsPerDivision * TimeDivisions;
    return fast ? FastScreenMs : NormalScreenMs;
}

void TSampleHistory::Add(const char* buffer, int n) {
    // The first buffer finds a buffer of silence before it.
    const int previous = FCurrent == 0 ? n : FCurrent;
    std::int16_t* current = FSamples.data() + FftFrameLength;
    std::copy(current, current + FCurrent, current - FCurrent);
    for (int i = 0; i < n; ++i) current[i] = SampleAt(buffer, i);
    FPrevious = previous;
    FCurrent = n;
}

std::int16_t* TSampleHistory::Window() {
    FPrevious = FftFrameLength;
    FCurrent = FftFrameLength;
    return FSamples.data();
}

TEdge EdgeOf(const TScopeSettings& settings) {
    return {settings.LevelPercent * SampleToPercent, settings.HysteresisPercent * SampleToPercent, settings.Slope};
}

std::optional<double> FindEdge(const std::int16_t* samples, int count, int armFrom, int first, int last,
                               const TEdge& edge, TEdgeChoice choice) {
    // A falling edge is a rising one of the negated signal.
    const double sign = edge.Slope == TTriggerSlope::Rising ? 1.0 : -1.0;
    const double level = sign * edge.Level;
    const double armLevel = level - edge.Hysteresis;
    last = std::min(last, count - 1);
    bool armed = false;
    std::optional<double> found;
    for (int i = std::max(armFrom, 0); i <= last; ++i) {
        const double value = sign * samples[i];
        if (value <= armLevel) armed = true;
        if (i == 0 || !armed) continue;
        const double before = sign * samples[i - 1];
        if (before < level && value >= level) {
            if (i >= first) {
                found = i - 1 + (level - before) / (value - before);
                if (choice == TEdgeChoice::First) return found;
            }
            armed = false;  // a trigger disarms until the signal is beyond the hysteresis again
        }
    }
    return found;
}

TSweepSpan SpanOf(const TScopeSettings& settings, bool fast, double sampleRate) {
    const double dt = 1 / sampleRate * 1000;
    const double screen = ScreenMs(settings, fast);
    const double trigger = screen * settings.PositionPercent / 100;
    return {screen, trigger, trigger / dt, (screen - trigger) / dt};
}

namespace {

// The samples a sweep from position shows, one beyond each edge so that
// the line runs up to the edges.
std::pair<int, int> SweepSamples(double position, const TSweepSpan& span) {
    return {static_cast<int>(std::floor(position - span.Before)), static_cast<int>(std::ceil(position + span.After))};
}

}  // namespace

TTraceExtremes PlotSweep(const std::int16_t* samples, double position, const TSweepSpan& span, double sampleRate,
                         TPointSink& points) {
    const double dt = 1 / sampleRate * 1000;
    const auto [first, last] = SweepSamples(position, span);
    TTraceExtremes extremes{samples[first], samples[first]};
    for (int j = first; j <= last; ++j) {
        const std::int16_t s = samples[j];
        extremes.Minimum = std::min<std::int32_t>(extremes.Minimum, s);
        extremes.Maximum = std::max<std::int32_t>(extremes.Maximum, s);
        points.AddPoint(span.TriggerMs + (j - position) * dt, s / SampleToPercent);
    }
    return extremes;
}

void PlotXY(const std::int16_t* a, const std::int16_t* b, double position, const TSweepSpan& span, TPointSink& points) {
    const auto [first, last] = SweepSamples(position, span);
    for (int j = first; j <= last; ++j) points.AddPoint(a[j] / SampleToPercent, b[j] / SampleToPercent);
}

std::optional<double> TSweep::Next(const TSampleHistory& source, const char* currentBuffer, bool fast,
                                   double sampleRate) {
    if (FSettings.Sweep == TSweepMode::Single && FHeld) return std::nullopt;
    const TSweepSpan span = SpanOf(FSettings, fast, sampleRate);
    const int latest = LatestPosition(source, span);
    std::optional<double> position;
    if (FSettings.Trigger == TTriggerMode::Peak) {
        position = std::min(source.CurrentStart() + FindTrigger(currentBuffer), latest);
    } else {
        const int first = std::max(source.CurrentStart(), static_cast<int>(std::ceil(span.Before)) + 1);
        position = FindEdge(source.Samples(), source.Count(), 0, first, latest, EdgeOf(FSettings));
    }
    return Decide(position, latest);
}

std::optional<double> TSweep::Newest(const TSampleHistory& source, bool fast, double sampleRate) {
    if (FSettings.Trigger != TTriggerMode::Edge || (FSettings.Sweep == TSweepMode::Single && FHeld))
        return std::nullopt;
    const TSweepSpan span = SpanOf(FSettings, fast, sampleRate);
    const int latest = LatestPosition(source, span);
    const int first = static_cast<int>(std::ceil(span.Before)) + 1;
    return Decide(FindEdge(source.Samples(), source.Count(), 0, first, latest, EdgeOf(FSettings), TEdgeChoice::Last),
                  latest);
}

std::optional<double> TSweep::Decide(std::optional<double> position, int latest) {
    if (position) {
        FHeld = FSettings.Sweep == TSweepMode::Single;
        return position;
    }
    // Auto runs free: the newest samples, as if triggered there.
    if (FSettings.Sweep == TSweepMode::Auto) return latest;
    return std::nullopt;
}

}  // namespace wellenschau
