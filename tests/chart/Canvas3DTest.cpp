// The drawing surface's line, pattern, rectangle and clipping semantics.
#include "ChartTestSupport.h"
#include "chart/Canvas3D.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// A 40 x 20 surface at device pixel ratios 1 and 2, read by logical
// pixels: at ratio 2 a logical pixel is a block of 2 x 2 device pixels.
class Canvas : public ::testing::TestWithParam<int> {
protected:
    Canvas() : image(40 * Ratio(), 20 * Ratio(), QImage::Format_RGB32) {
        image.setDevicePixelRatio(Ratio());
        image.fill(Qt::white);
        canvas.Begin(image);
    }
    ~Canvas() override { canvas.End(); }
    static int Ratio() { return GetParam(); }
    int RedDevicePixels(int x, int y) const {
        int count = 0;
        for (int dy = 0; dy < Ratio(); ++dy)
            for (int dx = 0; dx < Ratio(); ++dx)
                count += PixelAt(image, x * Ratio() + dx, y * Ratio() + dy) == Rgb(clRed) ? 1 : 0;
        return count;
    }
    bool Set(int x, int y) const { return RedDevicePixels(x, y) == Ratio() * Ratio(); }
    // The edge of a sloped line covers part of a logical pixel at ratio 2.
    bool Touched(int x, int y) const { return RedDevicePixels(x, y) > 0; }
    // Whether each pixel (x, y) is red, as expected (an unset one: not even in part).
    void ExpectRed(std::initializer_list<std::tuple<int, int, bool>> pixels) const {
        for (const auto& [x, y, red] : pixels) EXPECT_EQ(red ? Set(x, y) : Touched(x, y), red) << x << "," << y;
    }
    QImage image;
    TCanvas3D canvas;
};

TEST_P(Canvas, LinesLeaveTheirEndPixelUnset) {
    canvas.SetPen(clRed);
    canvas.MoveTo(2, 3);
    canvas.LineTo(12, 3);
    ExpectRed({{2, 3, true}, {11, 3, true}, {12, 3, false}});
    canvas.LineTo(12, 8);  // the polyline sets the corner once, as the next start
    ExpectRed({{12, 3, true}, {12, 7, true}, {12, 8, false}});
    canvas.Line(20, 10, 30, 15);  // diagonal: one pixel per column
    ExpectRed({{20, 10, true}, {30, 15, false}});
    EXPECT_TRUE(Touched(29, 15) || Touched(29, 14));
}

TEST_P(Canvas, DottedAndDashedPensRunTheirPatterns) {
    canvas.SetPen(clRed, 1, psDot);
    canvas.SetBackModeTransparent(true);
    canvas.Line(0, 0, 12, 0);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(LogicalPixelAt(image, x, 0), Rgb(x % 6 < 3 ? clRed : clWhite)) << x;
    canvas.SetBackModeTransparent(false);
    canvas.SetBackColor(clBlue);
    canvas.Line(0, 1, 12, 1);
    EXPECT_EQ(LogicalPixelAt(image, 4, 1), Rgb(clBlue));
    canvas.SetPen(clRed, 1, psDash);
    canvas.Line(0, 2, 30, 2);
    ExpectRed({{17, 2, true}, {18, 2, false}, {24, 2, true}});
    canvas.SetPen(clRed, 1, psClear);
    canvas.Line(0, 5, 30, 5);
    EXPECT_FALSE(Touched(3, 5));
}

TEST_P(Canvas, RectanglesExcludeTheirRightAndBottomEdges) {
    canvas.SetPen(clRed);
    canvas.SetBrush(clBlue, bsSolid);
    canvas.Rectangle({2, 2, 10, 8});
    ExpectRed({{2, 2, true}, {9, 7, true}, {10, 7, false}});
    EXPECT_EQ(LogicalPixelAt(image, 5, 5), Rgb(clBlue));
    EXPECT_EQ(LogicalPixelAt(image, 5, 8), Rgb(clWhite));
    canvas.FillRect({20, 2, 22, 4}, clRed);
    ExpectRed({{21, 3, true}, {22, 3, false}});
}

TEST_P(Canvas, ClippingKeepsLinesInsideEvenFromFarAway) {
    canvas.SetPen(clRed);
    canvas.ClipRectangle({5, 5, 15, 15});
    canvas.Line(-2000000000, 10, 2000000000, 10);
    ExpectRed({{4, 10, false}, {5, 10, true}, {14, 10, true}, {15, 10, false}});
    // A dash pattern runs on from the far-away start: 18 on, 6 off.
    constexpr int start = -2000000000 + 4;
    canvas.SetPen(clRed, 1, psDash);
    canvas.Line(start, 12, 2000000000, 12);
    for (int x = 0; x < 40; ++x) EXPECT_EQ(Set(x, 12), x >= 5 && x < 15 && (x - start) % 24 < 18) << x;
    canvas.UnClipRectangle();
    canvas.SetPen(clRed);
    canvas.Line(0, 18, 40, 18);
    EXPECT_TRUE(Set(39, 18));
}

// Solid lines inside the clip rectangle (5, 5, 35, 15): straight ones in
// every direction, an empty one, and a slope of 1/2 through the origin
// whose ends lie far away.
TEST_P(Canvas, SolidLinesSetExactlyTheirPixelsInsideTheClip) {
    struct TRow {
        int X0, Y0, X1, Y1;
        int Count;
        QPoint First, Last;
    };
    const TRow rows[] = {
        {0, 10, 40, 10, 30, {5, 10}, {34, 10}},
        {30, 10, 2, 10, 26, {30, 10}, {5, 10}},
        {20, 0, 20, 19, 10, {20, 5}, {20, 14}},
        {20, 14, 20, 7, 7, {20, 14}, {20, 8}},
        {25, 9, 25, 9, 0, {}, {}},
        {-2000000000, -1000000000, 2000000000, 1000000000, 20, {9, 5}, {28, 14}},
    };
    canvas.SetPen(clRed);
    canvas.ClipRectangle({5, 5, 35, 15});
    for (const TRow& row : rows) {
        image.fill(Qt::white);
        canvas.Line(row.X0, row.Y0, row.X1, row.Y1);
        int devicePixels = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) devicePixels += RedDevicePixels(x, y);
        EXPECT_EQ(devicePixels, row.Count * Ratio() * Ratio()) << row.X0 << "," << row.Y0;
        EXPECT_TRUE(row.Count == 0 || (Touched(row.First.x(), row.First.y()) && Touched(row.Last.x(), row.Last.y())));
    }
}

TEST_P(Canvas, FillAroundLeavesTheHoleAlone) {
    canvas.FillRectAround({0, 0, 40, 20}, {10, 5, 30, 15}, clRed);
    ExpectRed({{9, 10, true}, {10, 10, false}, {29, 14, false}, {30, 14, true}, {20, 4, true}, {20, 15, true},
               {39, 19, true}});
}

TEST_P(Canvas, WidePensCoverTheirWidthAcrossTheLine) {
    canvas.SetPen(clRed, 2);
    canvas.Line(20, 2, 20, 10);
    ExpectRed({{19, 5, true}, {20, 5, true}, {21, 5, false}});
}

INSTANTIATE_TEST_SUITE_P(PixelRatios, Canvas, ::testing::Values(1, 2));

}  // namespace
