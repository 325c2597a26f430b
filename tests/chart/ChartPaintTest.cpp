// The paint: back wall, series clipping, double buffering, resizing and
// the device pixel ratio.
#include "ChartTestSupport.h"
#include "chart/RubberBand.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <functional>
#include <string>

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

TEST_F(PlainChart, TheBackColourAndTheSeriesPenAreRedrawn) {
    chart.Paint();
    chart.SetBackColor(clBlack);
    EXPECT_TRUE(chart.Dirty());
    chart.Paint();
    series.LinePen().SetColor(clWhite);
    EXPECT_TRUE(chart.Dirty());
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

// At pixel ratio 2 the geometry stays logical and a 1-pixel line covers
// 2 x 2 device pixels per logical pixel, where ratio 1 draws it.
TEST_F(PlainChart, AtPixelRatioTwoLinesCoverTheDoubledPositions) {
    chart.SetPixelRatio(2);
    series.AddPoint(0, 40);
    series.AddPoint(160, 40);
    const QImage& image = chart.Paint();
    EXPECT_EQ(image.size(), QSize(400, 200));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(chart.PlotRect(), (TRect{20, 10, 180, 90}));
    const std::pair<QPoint, TColor> pixels[] = {
        {{20, 50}, clBlack},    {{21, 50}, clRed},      {{179, 50}, clRed},     {{180, 50}, clBlack},
        {{181, 50}, clBtnFace}, {{100, 49}, clBtnFace}, {{100, 51}, clBtnFace}, {{100, 10}, clBlack},
        {{100, 90}, clBlack},   {{100, 91}, clBtnFace},
    };
    for (const auto& [at, colour] : pixels)
        EXPECT_EQ(LogicalPixelAt(image, at.x(), at.y()), Rgb(colour)) << at.x() << "," << at.y();
}

// Labels are laid out by the font engine at the device resolution, not
// enlarged: where a text lies, blocks of 2 x 2 device pixels differ within
// (a ratio-1 image enlarged has none), and the text covers the same logical
// pixels as at ratio 1, give or take one.
TEST_F(PlainChart, AtPixelRatioTwoTextIsDrawnAtTheDeviceResolution) {
    chart.SetAxisVisible(true);
    chart.Paint();
    // Below the plot: the bottom axis' ticks and labels.
    const QRect labels(0, chart.PlotRect().Bottom + 1, 200, 99 - chart.PlotRect().Bottom);
    const auto textBounds = [&](const QImage& image, int& mixedBlocks) {
        QRect bounds;
        mixedBlocks = 0;
        for (int y = labels.top(); y <= labels.bottom(); ++y)
            for (int x = labels.left(); x <= labels.right(); ++x) {
                const std::optional<QRgb> colour = LogicalPixelAt(image, x, y);
                if (!colour) ++mixedBlocks;
                if (colour != Rgb(clBtnFace)) bounds |= QRect(x, y, 1, 1);
            }
        return bounds;
    };
    int mixedAtOne = 0;
    const QRect atOne = textBounds(chart.Paint(), mixedAtOne);
    const TRect plotAtOne = chart.PlotRect();
    chart.SetPixelRatio(2);
    int mixedAtTwo = 0;
    const QRect atTwo = textBounds(chart.Paint(), mixedAtTwo);
    EXPECT_EQ(chart.PlotRect(), plotAtOne);
    EXPECT_EQ(mixedAtOne, 0);
    EXPECT_GT(mixedAtTwo, 20);
    ASSERT_FALSE(atOne.isEmpty());
    for (const auto& [one, two] : {std::pair{atOne.left(), atTwo.left()}, {atOne.top(), atTwo.top()},
                                   {atOne.right(), atTwo.right()}, {atOne.bottom(), atTwo.bottom()}})
        EXPECT_NEAR(two, one, 1);
}

// The rubber band inverts the chart's device pixels along its outline.
TEST_F(PlainChart, AtPixelRatioTwoTheRubberBandInvertsDevicePixels) {
    chart.SetPixelRatio(2);
    const QImage& image = chart.Paint();
    QImage screen = image.copy();
    QPainter painter(&screen);
    DrawRubberBand(painter, image, {30, 20, 100, 60}, 0);
    painter.end();
    const auto inverted = [&](int x, int y) { return ~PixelAt(image, x, y) & 0xFFFFFFu; };
    for (const auto& [x, y, band] : {std::tuple{60, 40, true}, {61, 41, true}, {199, 41, true}, {60, 118, true},
                                     {61, 119, true}, {62, 42, false}, {200, 40, false}, {60, 120, false}})
        EXPECT_EQ(PixelAt(screen, x, y), band ? inverted(x, y) : PixelAt(image, x, y)) << x << "," << y;
}

// The layer behind the series: after a change the paint keeps the layer
// or draws it again (LayerDraws times), and either way gives the pixels a
// full paint gives.
struct TLayerCase {
    const char* Name;
    std::function<void(TChart&, TFastLineSeries& trace, TFastLineSeries& labels)> Change;
    int LayerDraws;
    std::function<void(TChart&)> Setup = [](TChart&) {};
};

class LayerAfterChange : public PlainChart, public ::testing::WithParamInterface<TLayerCase> {
protected:
    TFastLineSeries labels;
};

TEST_P(LayerAfterChange, GivesThePixelsOfAFullPaint) {
    chart.SetAxisVisible(true);
    chart.TopAxis().SetLabelStyle(talText);
    labels.SetParentChart(&chart);
    labels.SetHorizAxis(aTopAxis);
    labels.AddPoint(40, 0, QStringLiteral("A"));
    labels.AddPoint(120, 0, QStringLiteral("B"));
    GetParam().Setup(chart);
    FillTrace(series, 1803);
    chart.Paint();
    FillTrace(series, 1803);
    chart.Paint();
    const int layerDraws = chart.LayerDrawCount();
    GetParam().Change(chart, series, labels);
    const QImage kept = chart.Paint().copy();
    EXPECT_EQ(chart.LayerDrawCount() - layerDraws, GetParam().LayerDraws);
    chart.InvalidateChart();
    EXPECT_TRUE(kept == chart.Paint());
}

INSTANTIATE_TEST_SUITE_P(
    Changes, LayerAfterChange,
    ::testing::Values(
        TLayerCase{"Points", [](TChart&, TFastLineSeries& trace, TFastLineSeries&) { FillTrace(trace, 900); }, 0},
        TLayerCase{"AxisRange",
                   [](TChart& chart, TFastLineSeries& trace, TFastLineSeries&) {
                       chart.LeftAxis().SetMinMax(-70, 70);
                       FillTrace(trace, 900);
                   },
                   1},
        TLayerCase{"Zoom",
                   [](TChart& chart, TFastLineSeries&, TFastLineSeries&) {
                       chart.Zoom().MouseDown(mbLeft, 90, 40);
                       chart.Zoom().MouseMove(170, 70);
                       chart.Zoom().MouseUp(mbLeft, 170, 70);
                   },
                   1},
        TLayerCase{"PointsOfAnAutomaticAxis",
                   [](TChart&, TFastLineSeries& trace, TFastLineSeries&) { trace.AddPoint(50, 200); }, 1,
                   [](TChart& chart) { chart.LeftAxis().SetAutomatic(true); }},
        TLayerCase{"TextLabels",
                   [](TChart&, TFastLineSeries&, TFastLineSeries& labels) {
                       labels.ClearPoints();
                       labels.AddPoint(80, 0, QStringLiteral("C"));
                   },
                   1}),
    [](const ::testing::TestParamInfo<TLayerCase>& info) { return std::string(info.param.Name); });

}  // namespace
