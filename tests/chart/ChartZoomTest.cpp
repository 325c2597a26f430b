// Mouse zoom and panning without a window: the drag threshold, zoom into
// a rectangle on linear and logarithmic axes, the undo and its saved
// scales, panning, the wheel, and what a press hits.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// A 400 x 300 chart without drawn axes whose plot is (40, 30, 360, 270),
// with one value per pixel on the bottom (X = x - 40) and left axis
// (Y = 270 - y).
class ZoomChart : public ::testing::Test {
protected:
    ZoomChart() {
        chart.SetSize(400, 300);
        chart.SetBevelOuter(bvNone);
        for (auto set : {&TChart::SetMarginLeft, &TChart::SetMarginRight, &TChart::SetMarginTop, &TChart::SetMarginBottom})
            (chart.*set)(10);
        chart.SetAxisVisible(false);
        series.SetParentChart(&chart);
        SetRange(chart.BottomAxis(), 0, 320);
        SetRange(chart.LeftAxis(), 0, 240);
        chart.SetOnZoom([this](TChart&) { ++zooms; });
        chart.SetOnUndoZoom([this](TChart&) { ++undos; });
        chart.SetOnScroll([this](TChart&) { ++scrolls; });
        chart.Paint();
    }
    static void SetRange(TChartAxis& axis, double minimum, double maximum) {
        axis.SetAutomatic(false);
        axis.SetMinMax(minimum, maximum);
    }
    // A drag with one move, painting before each step as the screen would.
    void Drag(TMouseButton button, int x0, int y0, int x1, int y1) {
        chart.Paint();
        zoom().MouseDown(button, x0, y0);
        zoom().MouseMove(x1, y1);
        zoom().MouseUp(button, x1, y1);
        chart.Paint();
    }
    TChartZoom& zoom() { return chart.Zoom(); }
    TChartAxis& bottom() { return chart.BottomAxis(); }
    TChartAxis& left() { return chart.LeftAxis(); }
    static void ExpectRange(const TChartAxis& axis, double minimum, double maximum) {
        EXPECT_DOUBLE_EQ(axis.Minimum(), minimum);
        EXPECT_DOUBLE_EQ(axis.Maximum(), maximum);
    }

    TChart chart;
    TFastLineSeries series;
    int zooms = 0;
    int undos = 0;
    int scrolls = 0;
};

TEST_F(ZoomChart, DragsOf16PixelsOrLessInEitherDirectionDoNothing) {
    Drag(mbLeft, 100, 100, 116, 200);
    Drag(mbLeft, 100, 100, 200, 116);
    Drag(mbLeft, 100, 100, 84, 50);
    ExpectRange(bottom(), 0, 320);
    ExpectRange(left(), 0, 240);
    EXPECT_EQ(zooms + undos, 0);
    EXPECT_TRUE(zoom().ScalesRestored());
    EXPECT_FALSE(zoom().ZoomDrag().Active);
}

TEST_F(ZoomChart, DragToTheRightAndDownZoomsEveryAxisToTheRectangle) {
    Drag(mbLeft, 100, 100, 117, 117);
    ExpectRange(bottom(), 60, 77);
    ExpectRange(left(), 153, 170);
    EXPECT_EQ(zooms, 1);
    EXPECT_TRUE(zoom().Zoomed());
    EXPECT_FALSE(left().Automatic());
    // The automatic right axis (no series, scale 0..0) is fixed too.
    EXPECT_FALSE(chart.RightAxis().Automatic());
    EXPECT_FALSE(chart.TopAxis().AutomaticMinimum());
    Drag(mbLeft, 40, 30, 200, 150);  // the left half and top half of the zoomed plot
    ExpectRange(bottom(), 60, 68.5);
    ExpectRange(left(), 161.5, 170);
}

TEST_F(ZoomChart, ZoomOnLogarithmicAxesTakesTheLogarithmicInverse) {
    SetRange(bottom(), 10, 10000);
    bottom().SetLogarithmic(true);
    SetRange(left(), 1, 1000);
    left().SetLogarithmic(true);
    Drag(mbLeft, 120, 90, 200, 150);
    const double logX = std::log(10000.0) - std::log(10.0);
    const double logY = std::log(1000.0) - std::log(1.0);
    EXPECT_DOUBLE_EQ(bottom().Minimum(), std::exp(std::log(10.0) + logX * 80 / 320));
    EXPECT_DOUBLE_EQ(bottom().Maximum(), std::exp(std::log(10.0) + logX * 160 / 320));
    EXPECT_DOUBLE_EQ(left().Minimum(), std::exp(std::log(1000.0) - logY * 120 / 240));
    EXPECT_DOUBLE_EQ(left().Maximum(), std::exp(std::log(1000.0) - logY * 60 / 240));
    EXPECT_NEAR(bottom().Minimum(), 56.234, 0.001);
    EXPECT_NEAR(left().Maximum(), 177.828, 0.001);
}

TEST_F(ZoomChart, UndoRestoresTheScalesOfTheFirstZoomOrPanAfterTheLastUndo) {
    chart.RightAxis().SetAutomaticMinimum(false);  // partly automatic
    Drag(mbLeft, 100, 100, 200, 200);
    Drag(mbRight, 200, 200, 150, 150);
    Drag(mbLeft, 50, 50, 300, 250);
    bottom().SetMaximum(1000);  // the program writes a bound meanwhile
    Drag(mbLeft, 300, 250, 100, 100);
    ExpectRange(bottom(), 0, 320);
    ExpectRange(left(), 0, 240);
    EXPECT_FALSE(bottom().Automatic());
    EXPECT_TRUE(chart.TopAxis().Automatic());
    EXPECT_FALSE(chart.RightAxis().AutomaticMinimum());
    EXPECT_TRUE(chart.RightAxis().AutomaticMaximum());
    EXPECT_EQ(undos, 1);
    EXPECT_FALSE(zoom().Zoomed());
    EXPECT_TRUE(zoom().ScalesRestored());

    // The next zoom saves the scales of its own moment.
    bottom().SetMaximum(160);
    Drag(mbLeft, 100, 100, 200, 200);
    Drag(mbLeft, 200, 200, 100, 100);
    ExpectRange(bottom(), 0, 160);
}

TEST_F(ZoomChart, UndoWithoutSavedScalesOnlyNotifiesAndRepaints) {
    bottom().SetMaximum(500);
    chart.Paint();
    Drag(mbLeft, 300, 250, 100, 100);
    ExpectRange(bottom(), 0, 500);
    EXPECT_EQ(undos, 1);
    EXPECT_EQ(zooms, 0);
    EXPECT_EQ(chart.DrawCount(), 3);  // the undo invalidated the chart
}

TEST_F(ZoomChart, PanKeepsTheValueUnderThePointerAndStopsOutsideThePlot) {
    chart.Paint();
    zoom().MouseDown(mbRight, 200, 150);
    ASSERT_TRUE(zoom().PanDrag().Active);
    const double underX = bottom().PositionToValue(200);
    const double underY = left().PositionToValue(150);
    for (const auto& [x, y] : {std::pair{190, 160}, std::pair{180, 170}, std::pair{230, 120}}) {
        zoom().MouseMove(x, y);
        chart.Paint();
        EXPECT_DOUBLE_EQ(bottom().PositionToValue(x), underX);
        EXPECT_DOUBLE_EQ(left().PositionToValue(y), underY);
    }
    ExpectRange(bottom(), -30, 290);
    ExpectRange(left(), -30, 210);
    EXPECT_EQ(scrolls, 3);
    zoom().MouseMove(380, 120);  // right of the plot: the pan ends here
    EXPECT_FALSE(zoom().PanDrag().Active);
    zoom().MouseMove(250, 100);
    ExpectRange(bottom(), -30, 290);
    EXPECT_EQ(scrolls, 3);
}

TEST_F(ZoomChart, PanFollowsOnlyTheAllowedAxesAndAsksOnAllowScroll) {
    chart.SetAllowPanning(pmHorizontal);
    Drag(mbRight, 200, 150, 210, 100);
    ExpectRange(bottom(), -10, 310);
    ExpectRange(left(), 0, 240);
    chart.SetAllowPanning(pmBoth);
    chart.SetOnAllowScroll([](TCustomChartAxis& axis, double& minimum, double& maximum, bool& allow) {
        if (axis.IsHorizontal()) {
            allow = false;
        } else {
            minimum = -1;
            maximum = 1;
        }
    });
    Drag(mbRight, 200, 150, 210, 100);
    ExpectRange(bottom(), -10, 310);
    ExpectRange(left(), -1, 1);
    chart.SetAllowPanning(pmNone);
    zoom().MouseDown(mbRight, 200, 150);
    EXPECT_FALSE(zoom().PanDrag().Active);
}

TEST_F(ZoomChart, PanEndsWithAnyReleaseAndWhenThePointerLeaves) {
    zoom().MouseDown(mbRight, 200, 150);
    zoom().MouseUp(mbLeft, 200, 150);
    EXPECT_FALSE(zoom().PanDrag().Active);
    zoom().MouseDown(mbRight, 200, 150);
    zoom().MouseLeave();
    EXPECT_FALSE(zoom().PanDrag().Active);
    zoom().MouseMove(100, 100);
    ExpectRange(bottom(), 0, 320);
}

TEST_F(ZoomChart, OnePressOneDrag) {
    zoom().MouseDown(mbLeft, 100, 100);
    zoom().MouseDown(mbRight, 120, 120);  // ignored while the zoom drag runs
    EXPECT_TRUE(zoom().ZoomDrag().Active);
    EXPECT_FALSE(zoom().PanDrag().Active);
    zoom().MouseMove(150, 160);
    EXPECT_EQ(zoom().RubberBand(), (TRect{100, 100, 150, 160}));
    zoom().MouseUp(mbRight, 150, 160);  // not the zoom button: the drag goes on
    EXPECT_TRUE(zoom().ZoomDrag().Active);
    zoom().MouseUp(mbLeft, 150, 160);
    EXPECT_TRUE(zoom().RubberBand().IsEmpty());
    EXPECT_EQ(zooms, 1);
    chart.SetAllowZoom(false);
    zoom().MouseDown(mbLeft, 100, 100);
    EXPECT_FALSE(zoom().ZoomDrag().Active);
}

TEST_F(ZoomChart, AnimatedZoomRepaintsOnEveryStepAndEndsOnTheTarget) {
    chart.SetAnimatedZoom(true);
    std::vector<double> maxima;
    chart.SetOnUpdateRequest([] {});
    chart.SetOnRepaintRequest([&] {
        chart.Paint();
        maxima.push_back(bottom().Maximum());
    });
    Drag(mbLeft, 40, 100, 200, 200);
    ASSERT_EQ(maxima.size(), 7u);
    EXPECT_DOUBLE_EQ(maxima[0], 320 - (320 - 160) / 3.0);
    EXPECT_DOUBLE_EQ(maxima[1], maxima[0] - (maxima[0] - 160) / 3.0);
    ExpectRange(bottom(), 0, 160);
    ExpectRange(left(), 70, 170);
    EXPECT_EQ(zooms, 1);
}

TEST_F(ZoomChart, WheelScrollsTheVerticalAxesBy3PercentOfTheirRange) {
    SetRange(chart.RightAxis(), -100, 100);
    const int draws = chart.DrawCount();
    zoom().MouseWheel(true);
    ExpectRange(left(), 7.2, 247.2);
    ExpectRange(chart.RightAxis(), -94, 106);
    EXPECT_EQ(chart.DrawCount(), draws + 1);
    zoom().MouseWheel(false);
    zoom().MouseWheel(false);
    EXPECT_NEAR(left().Minimum(), -7.2, 1e-9);
    EXPECT_NEAR(left().Maximum(), 232.8, 1e-9);
    ExpectRange(bottom(), 0, 320);
    EXPECT_FALSE(chart.RightAxis().AutomaticMaximum());
    EXPECT_TRUE(zoom().ScalesRestored());
}

TEST(AxisBounds, ComeInEitherOrderAndNeverNarrowerThan1e10) {
    TChart chart;
    TChartAxis& axis = chart.LeftAxis();
    SetAxisBounds(axis, 5, -5);
    EXPECT_EQ(axis.Minimum(), -5);
    EXPECT_EQ(axis.Maximum(), 5);
    EXPECT_FALSE(axis.Automatic());
    EXPECT_FALSE(axis.AutomaticMaximum());
    SetAxisBounds(axis, 2, 2);
    EXPECT_EQ(axis.Minimum(), 2);
    EXPECT_EQ(axis.Maximum(), 2 + 1e-10);
}

}  // namespace
