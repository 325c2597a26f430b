// Plot rectangles of the three configured charts, checked on the layout
// and on the painted axis lines.
#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

TEST(ChartLayout, Chart3PutsThePlotExactlyUnderTheSpectrogramImage) {
    TChart3 c;
    const QImage& image = c.Chart.Paint();
    EXPECT_EQ(c.Chart.PlotRect(), (TRect{45, 10, 350, 311}));
    // Axis lines on x = 45, x = 350, y = 10, y = 311; Image1 covers 46..349 x 11..310.
    // The back wall stays transparent and has no outline: the panel colour
    // shows inside, and the corner no axis line reaches stays unset.
    for (const auto& [x, y, colour] : {std::tuple{45, 150, clBlack}, {350, 150, clBlack}, {200, 10, clBlack},
                                       {200, 311, clBlack}, {46, 150, clBtnFace}, {349, 150, clBtnFace},
                                       {350, 311, clBtnFace}})
        EXPECT_EQ(PixelAt(image, x, y), Rgb(colour)) << x << "," << y;
    EXPECT_EQ(c.Chart.BottomAxis().TitlePos(), 331);
    EXPECT_EQ(c.Chart.BottomAxis().LabelsPos(), 316);
    EXPECT_EQ(c.Chart.LeftAxis().TitlePos(), 15);
    EXPECT_EQ(c.Chart.LeftAxis().LabelsPos(), 40);
}

TEST(ChartLayout, Chart1LeavesRoomForTheRightAxisTicks) {
    TChart1 c;
    const QImage& image = c.Chart.Paint();
    EXPECT_EQ(c.Chart.PlotRect(), (TRect{45, 9, 418, 310}));
    // On a row of the dB grid the 2-pixel right axis line covers the grid's
    // last pixel; the top axis line is hidden.
    const int gridRow = c.Chart.LeftAxis().TickList().at(1);
    EXPECT_EQ(PixelAt(image, 416, gridRow), Rgb(LabelCarrierColor));
    EXPECT_EQ(PixelAt(image, 417, gridRow), Rgb(clBlack));
    EXPECT_EQ(PixelAt(image, 200, 9), Rgb(clBlack));
    EXPECT_EQ(c.Chart.TopAxis().AxisLinePos(), 9);
    EXPECT_EQ(c.Chart.RightAxis().AxisLinePos(), 418);
}

TEST(ChartLayout, Chart2FollowsItsSizeAndUsesOnlyBottomAndLeftAxes) {
    TChart2 c(790, 535);
    c.Chart.Paint();
    EXPECT_EQ(c.Chart.PlotRect(), (TRect{45, 5, 785, 500}));
    EXPECT_FALSE(c.Chart.TopAxis().IsVisible());
    EXPECT_FALSE(c.Chart.RightAxis().IsVisible());
    c.Chart.SetSize(600, 400);
    const QImage& image = c.Chart.Paint();
    EXPECT_EQ(image.size(), QSize(600, 400));
    EXPECT_EQ(c.Chart.PlotRect(), (TRect{45, 5, 595, 365}));
    EXPECT_EQ(c.Chart.BottomAxis().StartPixel(), 45);
    EXPECT_EQ(c.Chart.BottomAxis().EndPixel(), 595);
    EXPECT_EQ(c.Chart.LeftAxis().StartPixel(), 5);
    EXPECT_EQ(c.Chart.LeftAxis().EndPixel(), 365);
    // The back wall, made solid by the start-up's BackColor, outlines the plot.
    EXPECT_EQ(PixelAt(image, 300, 5), Rgb(clBlack));
    EXPECT_EQ(PixelAt(image, 595, 200), Rgb(clBlack));
    // The border strip keeps the chart's own colour.
    EXPECT_EQ(PixelAt(image, 597, 200), Rgb(clWhite));
}

}  // namespace
