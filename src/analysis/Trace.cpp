#include "Trace.h"

#include <cmath>
#include <cstdlib>

namespace wellenschau {

namespace {

// Fixed range used when the automatic scale is off; it equals the
// automatic range of the largest scale.
constexpr TAmplitudeRange FixedRange{-102.0, 101.0};

// The smallest of 12.5 * sqrt(2)^k, k = 0..6, that keeps a at or below
// 64 % of it; 100 when a exceeds 64.
double LadderScale(double a) {
    double scale = 12.5;
    for (int step = 0; step < 6; ++step)
        if (0.64 * scale < a) scale = scale * std::sqrt(2.0);
    return scale;
}

}  // namespace

int FindTrigger(const char* buffer) {
    int trigger = 0;
    std::int16_t largest = SampleAt(buffer, 0);
    for (int i = 1; i < TriggerSearchLength; ++i) {
        const std::int16_t s = SampleAt(buffer, i);
        if (s > largest) {
            largest = s;
            trigger = i;
        }
    }
    return trigger;
}

TTraceExtremes PlotTrace(const char* buffer, int t, bool everySample, double sampleRate, TPointSink& points) {
    const double dt = 1 / sampleRate * 1000;
    TTraceExtremes extremes{SampleAt(buffer, t), SampleAt(buffer, t)};
    for (int i = 0; i < TracePositions; ++i) {
        const int position = t + 3 * i;
        const std::int16_t u = SampleAt(buffer, position);
        if (u > extremes.Maximum) extremes.Maximum = u;
        if (u < extremes.Minimum) extremes.Minimum = u;
        points.AddPoint(3 * i * dt, u / SampleToPercent);
        if (everySample) {
            points.AddPoint((3 * i + 1) * dt, SampleAt(buffer, position + 1) / SampleToPercent);
            points.AddPoint((3 * i + 2) * dt, SampleAt(buffer, position + 2) / SampleToPercent);
        }
    }
    return extremes;
}

std::optional<TAmplitudeRange> UpdateAmplitudeRange(AnalysisState& state, TTraceExtremes extremes, bool autoScale) {
    std::int32_t peak = extremes.Maximum;
    if (std::abs(extremes.Minimum) > peak) peak = std::abs(extremes.Minimum);
    state.LastPeak = peak;
    // A stored snapshot stays inside the automatic range.
    if (peak < state.StoredPeak) peak = state.StoredPeak;

    if (!autoScale) return FixedRange;
    if (peak == 0) return std::nullopt;
    const double a = peak / 32768.0 * 100;
    const double r = a / state.AmplitudeScale;
    // Inside the band the scale is kept, so a steady signal is not
    // rescaled buffer after buffer.
    if (!(r < 0.45 || r > 0.9)) return std::nullopt;
    state.AmplitudeScale = LadderScale(a);
    return TAmplitudeRange{-(state.AmplitudeScale * 1.02), state.AmplitudeScale * 1.01};
}

}  // namespace wellenschau
