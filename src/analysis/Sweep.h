// The bench oscilloscope's sweep: where a trace starts and how it is
// drawn when the user sets the trigger and the time base. A trigger is the
// largest sample ("Spitze", the plain window's rule) or an edge: the
// signal crossing a level in the chosen direction, located between two
// samples by linear interpolation, so that a steady tone stands still.
// An edge arms only once the signal has been beyond the level by the
// hysteresis on the other side, so noise on a slow edge does not trigger
// again and again. The sweep modes decide what happens without a
// trigger: Auto draws anyway, Normal keeps the last sweep, Single draws
// the first triggered sweep and holds it until it is armed again.
// Pure computation; user-interface thread only; allocates nothing.
#pragma once

#include "Calibration.h"
#include "PointSink.h"
#include "Trace.h"

#include <array>
#include <cstdint>
#include <optional>

namespace wellenschau {

enum class TTriggerMode : std::uint8_t { Peak, Edge };
enum class TTriggerSlope : std::uint8_t { Rising, Falling };
enum class TTriggerSource : std::uint8_t { A, B };
enum class TSweepMode : std::uint8_t { Auto, Normal, Single };

// Divisions across the time axis and up the amplitude axis.
inline constexpr int TimeDivisions = 10;
inline constexpr int AmplitudeDivisions = 8;
// The shortest time per division.
inline constexpr double LeastMsPerDivision = 0.1;
// Hysteresis of the edge trigger, in percent of full scale.
inline constexpr double DefaultHysteresisPercent = 1.0;

// What the user sets on the bench oscilloscope. The defaults are the
// plain window's oscilloscope: peak trigger at the left edge, the stored
// time bases, the automatic amplitude range.
struct TScopeSettings {
    TTriggerMode Trigger = TTriggerMode::Peak;
    double LevelPercent = 0.0;  // of full scale
    TTriggerSlope Slope = TTriggerSlope::Rising;
    TTriggerSource Source = TTriggerSource::A;
    double PositionPercent = 0.0;  // share of the screen before the trigger
    double HysteresisPercent = DefaultHysteresisPercent;
    TSweepMode Sweep = TSweepMode::Auto;
    double MsPerDivision = 0.0;       // 0: the stored time bases (40.8 or 13.6 ms)
    double PercentPerDivision = 0.0;  // 0: the automatic or fixed range

    // The plain window's trace: today's trigger and trace points.
    bool PlainTrace() const {
        return Trigger == TTriggerMode::Peak && PositionPercent == 0.0 && MsPerDivision == 0.0;
    }
};

// The longest time per division a buffer of n samples holds at the rate.
double MostMsPerDivision(int n, double sampleRate);

// Percent of full scale of a voltage at an input calibrated in volts: a
// full-scale sine's peak is sqrt(2) times its volts RMS.
double PercentOfVolts(const TCalibration& calibration, double volts);

// Time shown across the screen in ms: ten divisions, or the stored time
// base (fast: 13.6 ms, else 40.8 ms).
double ScreenMs(const TScopeSettings& settings, bool fast);

// The samples of one channel: the buffer before the current one, then
// the current buffer, back to back, so that a sweep may start before the
// current buffer. The first buffer finds silence before it.
class TSampleHistory {
public:
    // Takes the next buffer of n little-endian 16-bit samples (n at most
    // FftFrameLength); the current one becomes the previous one.
    void Add(const char* buffer, int n);
    // The previous buffer's samples followed by the current buffer's.
    const std::int16_t* Samples() const { return FSamples.data() + FftFrameLength - FPrevious; }
    int Count() const { return FPrevious + FCurrent; }
    // Index in Samples() of the current buffer's first sample.
    int CurrentStart() const { return FPrevious; }
    // For a caller that has the newest samples elsewhere: the storage of
    // 2 * FftFrameLength samples it fills, which then replace the history.
    std::int16_t* Window();

private:
    std::array<std::int16_t, 2 * FftFrameLength> FSamples{};
    int FPrevious = 0;
    int FCurrent = 0;
};

// An edge to trigger on, in sample units.
struct TEdge {
    double Level;
    double Hysteresis;
    TTriggerSlope Slope;
};
TEdge EdgeOf(const TScopeSettings& settings);

// Which crossing FindEdge gives when there are several.
enum class TEdgeChoice : std::uint8_t { First, Last };

// The first (or last) crossing of the edge between samples i - 1 and i
// with i in first .. last, as a fractional sample index (i - 1 +
// fraction). Arming looks at the samples from armFrom on; the crossing's
// samples must lie in 0 .. count - 1.
std::optional<double> FindEdge(const std::int16_t* samples, int count, int armFrom, int first, int last, const TEdge& edge,
                               TEdgeChoice choice = TEdgeChoice::First);

// Where the sweep lies around its trigger, in samples: the screen's
// samples before and after the trigger.
struct TSweepSpan {
    double ScreenMs;
    double TriggerMs;  // the trigger's time from the left edge
    double Before;     // samples before the trigger
    double After;      // samples after it
};
TSweepSpan SpanOf(const TScopeSettings& settings, bool fast, double sampleRate);

// Adds the samples from the trigger's position - Before to + After, one
// point each, and the one just beyond each edge, so that the line reaches
// the edges: x in ms from the left edge (the trigger at TriggerMs), y in
// percent of full scale. The samples must reach that far. Returns the
// smallest and largest sample plotted.
TTraceExtremes PlotSweep(const std::int16_t* samples, double position, const TSweepSpan& span, double sampleRate,
                         TPointSink& points);

// The X-Y picture of the same samples as PlotSweep: one point per sample
// pair, x channel a's and y channel b's sample in percent of full scale.
void PlotXY(const std::int16_t* a, const std::int16_t* b, double position, const TSweepSpan& span, TPointSink& points);

// Chooses the trigger of each buffer as the settings and the sweep mode
// say, and holds a single sweep.
class TSweep {
public:
    void SetSettings(const TScopeSettings& settings) { FSettings = settings; }
    const TScopeSettings& Settings() const { return FSettings; }
    // Arms a single sweep again.
    void Rearm() { FHeld = false; }
    // Whether a single sweep has been drawn and is held.
    bool Held() const { return FHeld; }

    // The position (a fractional index into the histories' samples) from
    // which to draw this buffer's sweep, or nothing to keep the last one.
    // `source` is the history the trigger looks at; the peak trigger looks
    // at the first 1001 samples of the current buffer as the plain window
    // does.
    std::optional<double> Next(const TSampleHistory& source, const char* currentBuffer, bool fast, double sampleRate);
    // The same for a live trace over the newest samples: the last edge
    // whose sweep the samples hold, so that the newest sound shows. The
    // peak trigger belongs to whole buffers: it gives nothing here.
    std::optional<double> Newest(const TSampleHistory& source, bool fast, double sampleRate);

private:
    // What the sweep mode makes of a trigger found, or of none.
    std::optional<double> Decide(std::optional<double> position, int latest);

    TScopeSettings FSettings;
    bool FHeld = false;
};

}  // namespace wellenschau
