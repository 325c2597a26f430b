// The drawing surface's line, pattern, rectangle and clipping semantics.
#include "ChartTestSupport.h"
#include "chart/Canvas3D.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

class Canvas : public ::testing::Test {
protected:
    Canvas() : image(40, 20, QImage::Format_RGB32) {
        image.fill(Qt::white);
        canvas.Begin(image);
    }
    ~Canvas() override { canvas.End(); }
    bool Set(int x, int y) const { return PixelAt(image, x, y) == Rgb(clRed); }
    // Whether each pixel (x, y) is red, as expected.
    void ExpectRed(std::initializer_list<std::tuple<int, int, bool>> pixels) const {
        for (const auto& [x, y, red] : pixels) EXPECT_EQ(Set(x, y), red) << x << "," << y;
    }
    QImage image;
    TCanvas3D canvas;
};

TEST_F(Canvas, LinesLeaveTheirEndPixelUnset) {
    canvas.SetPen(clRed);
    canvas.MoveTo(2, 3);
    canvas.LineTo(12, 3);
    ExpectRed({{2, 3, true}, {11, 3, true}, {12, 3, false}});
    canvas.LineTo(12, 8);  // the polyline sets the corner once, as the next start
    ExpectRed({{12, 3, true}, {12, 7, true}, {12, 8, false}});
    canvas.Line(20, 10, 30, 15);  // diagonal: one pixel per column
    ExpectRed({{20, 10, true}, {30, 15, false}});
    EXPECT_TRUE(Set(29, 15) || Set(29, 14));
}

TEST_F(Canvas, DottedAndDashedPensRunTheirPatterns) {
    canvas.SetPen(clRed, 1, psDot);
    canvas.SetBackModeTransparent(true);
    canvas.Line(0, 0, 12, 0);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(Set(x, 0), x % 6 < 3) << x;
    EXPECT_EQ(PixelAt(image, 4, 0), Rgb(clWhite));
    canvas.SetBackModeTransparent(false);
    canvas.SetBackColor(clBlue);
    canvas.Line(0, 1, 12, 1);
    EXPECT_EQ(PixelAt(image, 4, 1), Rgb(clBlue));
    canvas.SetPen(clRed, 1, psDash);
    canvas.Line(0, 2, 30, 2);
    ExpectRed({{17, 2, true}, {18, 2, false}, {24, 2, true}});
    canvas.SetPen(clRed, 1, psClear);
    canvas.Line(0, 5, 30, 5);
    EXPECT_FALSE(Set(3, 5));
}

TEST_F(Canvas, RectanglesExcludeTheirRightAndBottomEdges) {
    canvas.SetPen(clRed);
    canvas.SetBrush(clBlue, bsSolid);
    canvas.Rectangle({2, 2, 10, 8});
    ExpectRed({{2, 2, true}, {9, 7, true}, {10, 7, false}});
    EXPECT_EQ(PixelAt(image, 5, 5), Rgb(clBlue));
    EXPECT_EQ(PixelAt(image, 5, 8), Rgb(clWhite));
    canvas.FillRect({20, 2, 22, 4}, clRed);
    ExpectRed({{21, 3, true}, {22, 3, false}});
}

TEST_F(Canvas, ClippingKeepsLinesInsideEvenFromFarAway) {
    canvas.SetPen(clRed);
    canvas.ClipRectangle({5, 5, 15, 15});
    canvas.Line(-2000000000, 10, 2000000000, 10);
    ExpectRed({{4, 10, false}, {5, 10, true}, {14, 10, true}, {15, 10, false}});
    canvas.UnClipRectangle();
    canvas.Line(0, 18, 40, 18);
    EXPECT_TRUE(Set(39, 18));
}

// Solid lines inside the clip rectangle (5, 5, 35, 15): straight ones in
// every direction, an empty one, and a slope of 1/2 through the origin
// whose ends lie far away.
TEST_F(Canvas, SolidLinesSetExactlyTheirPixelsInsideTheClip) {
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
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += Set(x, y) ? 1 : 0;
        EXPECT_EQ(count, row.Count) << row.X0 << "," << row.Y0;
        if (row.Count > 0) ExpectRed({{row.First.x(), row.First.y(), true}, {row.Last.x(), row.Last.y(), true}});
    }
}

TEST_F(Canvas, FillAroundLeavesTheHoleAlone) {
    canvas.FillRectAround({0, 0, 40, 20}, {10, 5, 30, 15}, clRed);
    ExpectRed({{9, 10, true}, {10, 10, false}, {29, 14, false}, {30, 14, true}, {20, 4, true}, {20, 15, true},
               {39, 19, true}});
}

TEST_F(Canvas, WidePensCoverTheirWidthAcrossTheLine) {
    canvas.SetPen(clRed, 2);
    canvas.Line(20, 2, 20, 10);
    ExpectRed({{19, 5, true}, {20, 5, true}, {21, 5, false}});
}

}  // namespace
