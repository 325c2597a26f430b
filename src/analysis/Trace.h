// The oscilloscope part of the buffer handler: trigger search, the trace
// points and the automatic amplitude range. Pure computation on the
// analysis state; the window writes the resulting range into its chart.
// User-interface thread only; allocates nothing.
#pragma once

#include "AnalysisState.h"
#include "PointSink.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

namespace wellenschau {

// Percent of full scale: -32768 is -100 %.
inline constexpr double SampleToPercent = 327.68;
// Samples the trigger search looks at, and trace positions per buffer.
inline constexpr int TriggerSearchLength = 1001;
inline constexpr int TracePositions = 601;
// Smallest buffer (in samples) that holds a whole trace after any trigger.
inline constexpr int MinTraceSamples = TriggerSearchLength - 1 + 3 * (TracePositions - 1) + 3;

// Sample i of a recorded buffer of little-endian 16-bit signed PCM.
inline std::int16_t SampleAt(const char* buffer, int i) {
    if constexpr (std::endian::native == std::endian::little) {
        // One load the vectoriser can widen.
        std::int16_t sample;
        std::memcpy(&sample, buffer + 2 * i, sizeof sample);
        return sample;
    }
    const auto low = static_cast<std::uint8_t>(buffer[2 * i]);
    const auto high = static_cast<std::uint8_t>(buffer[2 * i + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
}

// Index of the first occurrence of the largest of the first 1001 samples.
int FindTrigger(const char* buffer);

// Smallest and largest sample among the positions t + 3i that the trace
// plots; only these count toward the peak.
struct TTraceExtremes {
    std::int32_t Minimum;
    std::int32_t Maximum;
};

// Adds the trace from sample t on: 601 points every third sample, or with
// everySample all 1803 samples; x in ms since the trigger, y in percent of
// full scale.
TTraceExtremes PlotTrace(const char* buffer, int t, bool everySample, double sampleRate, TPointSink& points);

// Bounds of the amplitude axis, in percent of full scale.
struct TAmplitudeRange {
    double Minimum;
    double Maximum;
};

// Updates LastPeak and, with the automatic scale, AmplitudeScale from the
// trace's extremes; returns the range the amplitude axis must show, or
// nothing when the axis keeps the range it has.
std::optional<TAmplitudeRange> UpdateAmplitudeRange(AnalysisState& state, TTraceExtremes extremes, bool autoScale);

}  // namespace wellenschau
