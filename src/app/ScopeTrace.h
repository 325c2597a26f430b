// TScopeTrace: the instrument's oscilloscope trace. With the plain
// window's settings it is that window's trace (the largest of the first
// 1001 samples at the left edge, the stored time bases); set otherwise it
// is a bench oscilloscope's sweep (Sweep.h): an edge trigger, a pre-trigger
// share of the screen, time and amplitude per division, Auto, Normal and
// Single sweeps. A second channel, when the instrument gets one, is drawn
// in its own colour at the same trigger; either channel can be hidden. Two
// marks show the edge trigger's level and the trigger's time. It keeps the
// previous buffer of each channel for the pre-trigger part. In X-Y mode
// with two channels the sweep's samples draw channel A across and channel
// B up, both axes over the same range in percent of full scale, on a
// square plot.
// User-interface thread only; the per-buffer path allocates nothing.
#pragma once

#include "SeriesSink.h"
#include "analysis/Sweep.h"
#include "analysis/Trace.h"
#include "chart/Chart.h"
#include "chart/FastLineSeries.h"
#include "core/StateBytes.h"

#include <optional>
#include <utility>

namespace wellenschau {

enum class TChannel : std::uint8_t { A, B };

// Carries the sweep's hold from buffer to buffer (TCarriedState); the
// previous buffer's samples come back with KeepPrevious.
class TScopeTrace : public TCarriedState<TScopeTrace> {
public:
    // The trace on the oscilloscope, channel A being traceA.
    TScopeTrace(TChart& oscilloscope, TFastLineSeries& traceA) : FChart(oscilloscope), FTraceA(traceA) {}
    // Attaches channel B and the marks to the oscilloscope above the
    // series it has; all of them stay empty with the plain window's
    // settings.
    void Attach();

    // Channel B's trace, the trigger level's and the trigger time's marks.
    TFastLineSeries TraceB;
    TFastLineSeries LevelMark;
    TFastLineSeries PositionMark;

    // Takes the settings and sets the time and amplitude axes as they ask
    // (the stored time base for `fast` without a time per division). A
    // time per division beyond one buffer of FftFrameLength samples, a
    // position outside 0 .. 100 %, a level outside -100 .. 100 % or a
    // negative amplitude per division or hysteresis is refused
    // (ERangeError) before anything changes.
    void SetSettings(const TScopeSettings& settings, bool fast, double sampleRate);
    // The stored time base ("3x schneller" or not) while no time per
    // division is set.
    void SetFastTimeBase(bool fast, double sampleRate);
    const TScopeSettings& Settings() const { return FSweep.Settings(); }
    // Switches X-Y mode on or off; off gives the time axis back as the
    // settings ask and the amplitude axis the range it had.
    void SetXY(bool on, bool fast);
    bool XY() const { return FXY; }
    // Arms a single sweep again.
    void Rearm() {
        FSweep.Rearm();
        ++FChanges;
    }
    bool Held() const { return FSweep.Held(); }
    void SetChannelVisible(TChannel channel, bool visible);
    bool ChannelVisible(TChannel channel) const { return (channel == TChannel::A ? FTraceA : TraceB).Active(); }
    // Counts the changes of settings and the rearms, so that a keeper of
    // buffers notices them.
    unsigned Changes() const { return FChanges; }
    // Channel B's colour for the scheme.
    void SetWhiteScheme(bool white) { TraceB.SetSeriesColor(ChannelBColor(white)); }

    // Draws the trace of a buffer of n samples per channel (channelB may
    // be null) and returns channel A's extremes for the amplitude range,
    // or nothing when the sweep keeps the last trace.
    std::optional<TTraceExtremes> Draw(const char* channelA, const char* channelB, int n, bool fast, double sampleRate);

    // The live trace: while on, buffers only feed the histories and the
    // trace comes from DrawLive over the newest samples, so that it
    // follows the sound more often than buffers come.
    void SetLive(bool on) {
        FLive = on;
        ++FChanges;
    }
    bool Live() const { return FLive; }
    // While the roll mode (TScopeRoll) draws the trace, buffers only feed
    // the histories; afterwards the time axis is the settings' again.
    void SetRolling(bool on, bool fast);
    // Where the caller puts the newest 2 * FftFrameLength samples of a
    // channel, oldest first, before DrawLive.
    std::int16_t* LiveWindow(TChannel channel) { return (channel == TChannel::A ? FLiveA : FLiveB).Window(); }
    // Draws the sweep of the newest edge in the live windows (channel B's
    // too with channelB); channel A's extremes, or nothing when the sweep
    // keeps the last trace (and always with the peak trigger, which
    // belongs to whole buffers).
    std::optional<TTraceExtremes> DrawLive(bool channelB, bool fast, double sampleRate);

    // Takes a buffer of n samples per channel (channelB may be null) as
    // the one before the next, for the part of a sweep before its trigger.
    void KeepPrevious(const char* channelA, const char* channelB, int n);

private:
    friend class TCarriedState<TScopeTrace>;
    template <typename TSelf, typename TVisit>
    static void EachState(TSelf& self, TVisit& visit) {
        visit(self.FSweep);
    }

    // The time axis as the settings ask.
    void ApplyTimeAxis(bool fast);
    // The amplitude per division on the amplitude axis, and in X-Y mode on
    // the other axis too.
    void ApplyAmplitudeAxes();
    // Where the marks show the trigger for the settings.
    void PlaceMarks(bool fast, double sampleRate);
    std::optional<TTraceExtremes> DrawSweep(const char* channelA, const char* channelB, bool fast, double sampleRate);
    // Replaces both traces by the sweep from position in a and b (b may be null).
    // Channel A's extremes; nothing for an X-Y picture, which keeps the
    // axes' range.
    std::optional<TTraceExtremes> PlotBoth(const TSampleHistory& a, const TSampleHistory* b, double position, bool fast,
                            double sampleRate);


    TChart& FChart;
    TFastLineSeries& FTraceA;
    TSeriesSink FPointsA{FTraceA};
    TSeriesSink FPointsB{TraceB};
    TSampleHistory FSamplesA;
    TSampleHistory FSamplesB;
    TSampleHistory FLiveA;
    TSampleHistory FLiveB;
    TSweep FSweep;
    bool FLive = false;
    bool FRolling = false;
    bool FXY = false;
    unsigned FChanges = 0;
    // The amplitude axis' range before X-Y mode.
    double FAmplitudeMinimum = 0.0;
    double FAmplitudeMaximum = 0.0;
    // The axes' titles before X-Y mode: time, amplitude.
    std::pair<QString, QString> FPlainTitles;
};

}  // namespace wellenschau
