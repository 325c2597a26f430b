// Where the kept history lands in a picture of it: which buffers each
// pixel column shows, which spectrum row each pixel row shows, and the
// loudest column of several buffers. Pure functions and small value types,
// so that the picture's mapping can be checked without drawing. Buffer n
// covers the positions [n, n + 1) on the time line of buffer numbers.
#pragma once

#include <cstdint>
#include <span>

namespace wellenschau {

class TSoundHistory;

// Buffers First .. Last, both included.
struct TBufferSpan {
    std::int64_t First = 0;
    std::int64_t Last = 0;
    bool operator==(const TBufferSpan&) const = default;
};

// A picture's columns on a grid of buffer positions: grid column g covers
// [Origin + g x BuffersPerPixel, Origin + (g + 1) x BuffersPerPixel), and
// picture column x is grid column FirstColumn + x. Scrolling changes
// FirstColumn alone, so a column keeps exactly the buffers it showed.
struct THistoryColumns {
    double Origin = 0.0;
    double BuffersPerPixel = 1.0;
    std::int64_t FirstColumn = 0;

    bool operator==(const THistoryColumns&) const = default;
    // Buffer position of the left edge of picture column x (x may lie
    // outside the picture).
    double Position(std::int64_t x) const {
        return Origin + static_cast<double>(FirstColumn + x) * BuffersPerPixel;
    }
    // The grid column under which buffer n begins.
    std::int64_t GridColumnOf(std::int64_t n) const;
};

// The buffers picture column x shows: those that begin under it; when none
// does (a buffer wider than a pixel), the one under its centre.
TBufferSpan BuffersUnder(const THistoryColumns& columns, int x);

// The columns that show a picture `width` pixels wide from `minimum` to
// `maximum` (buffer positions), with FirstColumn 0.
THistoryColumns ColumnsForRange(double minimum, double maximum, int width);

// The columns that follow the newest kept buffer at a fixed scale: the
// history's capacity spans the width but one scroll step (a sixteenth of
// it); the picture scrolls a whole step at a time, as the oldest kept
// buffer moves on, so that most new buffers change one column only. Grid
// column 0 begins at buffer 0, so buffers keep their columns as the
// picture scrolls.
THistoryColumns FollowingColumns(const TSoundHistory& history, int width);

// The spectrum row each pixel row shows (rows.size() pixel rows, row 0 at
// the top): pixel row k counted from the bottom stands for
// lowHz x (highHz / lowHz)^(k / height) and takes the row whose frequency
// is nearest (ties keep the lower row), as the spectrogram picture maps its
// pixel rows. rowFrequency ascends.
void MapPictureRows(std::span<const double> rowFrequency, double lowHz, double highHz, std::span<std::int32_t> rows);

// The highest colour index in each row over the kept buffers of a span
// (loudest: history.RowCount() entries); false, leaving it alone, when none
// of the span is kept.
bool LoudestColumn(const TSoundHistory& history, TBufferSpan span, std::span<std::uint8_t> loudest);

}  // namespace wellenschau
