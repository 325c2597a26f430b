// The oscilloscope's roll mode for slow signals: the trace is the last
// stretch of the kept history, its newest sample at the right edge, so
// that it scrolls from right to left as buffers arrive; a kept moment
// shows the stretch that ended with its buffer. With more samples than
// pixel columns each column shows the least and the largest of its
// samples, so that a slow signal and a short peak both show.
// Pure computation; user-interface thread only; allocates nothing.
#pragma once

#include "PointSink.h"
#include "SoundHistory.h"

#include <cstdint>

namespace wellenschau {

// Roll time bases offered, in ms per division.
inline constexpr double RollMsPerDivisionSteps[] = {10, 20, 50, 100, 200, 500, 1000};

// What a roll trace covers and on how many pixel columns.
struct TRollSpan {
    double ScreenMs;  // time across the screen: divisions x time per division
    int Columns;      // pixel columns across the plot, at least 2
};

// Puts the roll trace of `channel` of `history` into `points`: the last
// span.ScreenMs of sound up to the end of kept buffer `newest` (x in ms
// from the left edge, its last sample at ScreenMs; y in percent of full
// scale as the trace). Every sample is its own point while they are at
// most span.Columns; else the screen is cut into span.Columns columns,
// column c at x = ScreenMs * c / (Columns - 1), each giving the least and
// then the largest of its samples. The part before the oldest kept sample
// stays empty. A buffer not kept, a channel not there or a span without
// time or with fewer than 2 columns: ERangeError before any point.
void PlotRoll(const TSoundHistory& history, int channel, std::int64_t newest, const TRollSpan& span,
              double sampleRate, TPointSink& points);

}  // namespace wellenschau
