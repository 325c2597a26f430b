// Small value types and enumerations shared by the chart engine: rectangles
// with exclusive right and bottom edges, pen and brush styles, axis and
// series enumerations. Plain values, usable from any thread.
#pragma once

#include <cstdint>

namespace wellenschau {

// A pixel rectangle as the drawing surface sees it: Left and Top are
// inside, Right and Bottom are the first column and row outside.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return Left <= x && x < Right && Top <= y && y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// A run of rows from Top to Bottom (excluded); none when Top >= Bottom.
struct TRows {
    int Top = 0;
    int Bottom = 0;

    bool IsEmpty() const { return Top >= Bottom; }
    // The least run holding both.
    TRows JoinedWith(const TRows& other) const {
        if (other.IsEmpty()) return *this;
        if (IsEmpty()) return other;
        return {Top < other.Top ? Top : other.Top, Bottom > other.Bottom ? Bottom : other.Bottom};
    }
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

enum TAxisLabelStyle : std::uint8_t { talAuto, talNone, talValue, talMark, talText };
enum THorizAxis : std::uint8_t { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis : std::uint8_t { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };
enum TChartListOrder : std::uint8_t { loNone, loAscending, loDescending };

// Which axes follow a pan with the mouse.
enum TPanningMode : std::uint8_t { pmNone, pmHorizontal, pmVertical, pmBoth };
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised };
enum TOrbaBackImageMode : std::uint8_t { pbmStretch, pbmTile, pbmCenter };

// Text anchoring of the drawing surface: where the reference point lies on
// the text's cell (in the text's own, possibly rotated, frame).
enum class THorizTextAlign : std::uint8_t { Left, Center, Right };
enum class TVertTextAlign : std::uint8_t { Top, Bottom };

}  // namespace wellenschau
