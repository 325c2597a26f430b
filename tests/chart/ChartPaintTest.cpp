// The paint: back wall, series clipping, double buffering and resizing.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// A 200 x 100 chart without axes whose plot is (20, 10, 180, 90), with
// scales of one value per pixel: x = 20 + X, y = 90 - Y.
class PlainChart : public ::testing::Test {
protected:
    PlainChart() {
        chart.SetSize(200, 100);
        chart.SetBevelOuter(bvNone);
        chart.SetMarginLeft(10);
        chart.SetMarginRight(10);
        chart.SetMarginTop(10);
        chart.SetMarginBottom(10);
        series.SetParentChart(&chart);
        series.SetSeriesColor(clRed);
        chart.SetAxisVisible(false);
        SetScale(chart.BottomAxis(), 160);
        SetScale(chart.LeftAxis(), 80);
    }
    static void SetScale(TCustomChartAxis& axis, double maximum) {
        axis.SetAutomatic(false);
        axis.SetMaximum(maximum);
    }
    TChart chart;
    TFastLineSeries series;
};

TEST_F(PlainChart, BackWallCoversThePlotRectangleWithItsRightAndBottomEdges) {
    chart.BackWall().SetColor(clBlue);
    chart.SetBackColor(clBlue);
    const QImage& image = chart.Paint();
    ASSERT_EQ(chart.PlotRect(), (TRect{20, 10, 180, 90}));
    EXPECT_EQ(PixelAt(image, 100, 50), Rgb(clBlue));
    for (const auto& [x, y] : {std::pair{20, 50}, {180, 50}, {100, 10}, {100, 90}, {180, 90}})
        EXPECT_EQ(PixelAt(image, x, y), Rgb(clBlack)) << x << "," << y;
    EXPECT_EQ(PixelAt(image, 181, 50), Rgb(clBtnFace));
    EXPECT_EQ(PixelAt(image, 100, 91), Rgb(clBtnFace));
}

TEST_F(PlainChart, BackColorLeavesTheWallTransparentWithoutParentOrWhileLoading) {
    chart.SetHasParentControl(false);
    chart.SetBackColor(clBlue);
    EXPECT_EQ(chart.BackColor(), clBlue);
    EXPECT_EQ(PixelAt(chart.Paint(), 100, 50), Rgb(clBtnFace));
    chart.SetHasParentControl(true);
    chart.BeginLoading();
    chart.SetBackColor(clYellow);
    chart.EndLoading();
    EXPECT_EQ(PixelAt(chart.Paint(), 100, 50), Rgb(clBtnFace));
    chart.SetBackColor(clYellow);
    EXPECT_EQ(PixelAt(chart.Paint(), 100, 50), Rgb(clYellow));
}

TEST_F(PlainChart, SeriesAreClippedOffTheLeftColumnAndTopAndBottomRows) {
    chart.BackWall().Pen().SetVisible(false);
    const auto drawLine = [&](double x0, double y0, double x1, double y1) {
        series.ClearPoints();
        series.AddPoint(x0, y0);
        series.AddPoint(x1, y1);
        return chart.Paint();
    };
    const QRgb red = Rgb(clRed);
    EXPECT_NE(PixelAt(drawLine(0, 80, 160, 80), 100, 10), red);   // top row
    EXPECT_NE(PixelAt(drawLine(0, 0, 160, 0), 100, 90), red);     // axis row
    EXPECT_NE(PixelAt(drawLine(0, 1, 160, 1), 100, 89), red);     // bottom row
    EXPECT_EQ(PixelAt(drawLine(0, 2, 160, 2), 100, 88), red);
    const QImage& image = drawLine(0, 40, 160, 40);
    EXPECT_NE(PixelAt(image, 20, 50), red);
    EXPECT_EQ(PixelAt(image, 21, 50), red);
    EXPECT_EQ(PixelAt(image, 179, 50), red);
    EXPECT_NE(PixelAt(image, 180, 50), red);
}

TEST_F(PlainChart, UnchangedChartIsNotRedrawnAndChangesCostOneRedraw) {
    chart.Paint();
    chart.Paint();
    EXPECT_EQ(chart.DrawCount(), 1);
    series.AddPoint(1, 1);
    series.AddPoint(2, 2);
    chart.LeftAxis().SetMaximum(70);
    chart.Paint();
    chart.Paint();
    EXPECT_EQ(chart.DrawCount(), 2);
    chart.RepaintNow();
    EXPECT_EQ(chart.DrawCount(), 3);
    EXPECT_FALSE(chart.Dirty());
}

TEST_F(PlainChart, OnlyTheFirstInvalidationAfterAPaintAsksForAnUpdate) {
    int requests = 0;
    chart.SetOnUpdateRequest([&] { ++requests; });
    chart.Paint();
    for (int i = 0; i < 1803; ++i) series.AddPoint(i, 0);
    EXPECT_EQ(requests, 1);
}

TEST_F(PlainChart, ResizingMakesANewImageOfTheNewSize) {
    const QImage& image = chart.Paint();
    const auto* firstBits = image.constBits();
    chart.LeftAxis().SetMaximum(60);
    EXPECT_EQ(chart.Paint().constBits(), firstBits);  // reused at the same size
    chart.SetSize(300, 150);
    EXPECT_EQ(chart.Paint().size(), QSize(300, 150));
    EXPECT_EQ(chart.PlotRect(), (TRect{30, 15, 270, 135}));
}

TEST_F(PlainChart, WithoutAutoRepaintANewSegmentIsDrawnAtOnce) {
    series.SetAutoRepaint(false);
    series.AddPoint(0, 40);
    chart.Paint();
    series.AddPoint(100, 40);
    EXPECT_FALSE(chart.Dirty());
    EXPECT_EQ(PixelAt(chart.Image(), 60, 50), Rgb(clRed));
}

}  // namespace
