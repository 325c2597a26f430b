// Engine behaviour checked on the configured oscilloscope (Chart2): bound
// checks of its axes, the widget's double buffering, the visible range of
// its trace, what a mouse press on it hits and that its per-buffer repaint
// allocates nothing.
#include "DisplayTestSupport.h"
#include "chart/ChartWidget.h"

#include <QCoreApplication>
#include <QWindow>
#include <gtest/gtest.h>

#include <cmath>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

TEST(AxisProperties, BoundsInTheWrongOrderRaiseAndKeepTheOldValue) {
    TChart2 c(790, 535);
    TChartAxis& bottom = c.Chart.BottomAxis();
    bottom.SetMaximum(13.6);
    EXPECT_EQ(bottom.Maximum(), 13.6);
    EXPECT_EQ(MessageOf([&] { bottom.SetMaximum(-1); }), "Der Maximalwert einer Achse muss >= Minimum sein");
    EXPECT_EQ(bottom.Maximum(), 13.6);
    EXPECT_EQ(MessageOf([&] { bottom.SetMinimum(20); }), "Der Minimalwert einer Achse muss <= Maximum sein");
    EXPECT_EQ(bottom.Minimum(), 0.0);
    c.Chart.Paint();
    EXPECT_EQ(c.Chart.BottomAxis().ScaleMaximum(), 13.6);
}

TEST(ChartWidget, CopiesTheImageAndRedrawsOnlyWhenDirty) {
    TChart shown;
    TChartWidget widget(shown);
    TFastLineSeries snapshot, trace;
    ConfigureChart2(widget.Chart(), snapshot, trace);
    widget.resize(400, 300);
    widget.show();
    while (!widget.windowHandle()->isExposed()) QCoreApplication::processEvents();
    widget.repaint();
    widget.repaint();
    TChart& chart = widget.Chart();
    EXPECT_EQ(chart.Image().size(), QSize(400, 300));
    EXPECT_EQ(chart.DrawCount(), 1);
    EXPECT_GE(widget.CopyCount(), 2);
    FillTrace(trace, 601);
    chart.RepaintNow();
    EXPECT_EQ(chart.DrawCount(), 2);
    EXPECT_FALSE(chart.Dirty());
    widget.resize(500, 320);
    widget.repaint();
    EXPECT_EQ(chart.Image().size(), QSize(500, 320));
    EXPECT_EQ(widget.grab().toImage().pixel(250, 2) & 0xFFFFFFu, Rgb(clWhite));
}

class OscilloscopeChart : public ::testing::Test {
protected:
    OscilloscopeChart() : c(790, 535) {}
    TChart2 c;
};

TEST_F(OscilloscopeChart, StretchedTimeAxisDrawsUpToTheFirstPointBeyondIt) {
    FillTrace(c.FastLineSeries1, 1803);
    EXPECT_NEAR(c.FastLineSeries1.XValue(1802), 40.86, 0.002);
    c.Chart.BottomAxis().SetMaximum(13.6);
    c.Chart.Paint();
    EXPECT_EQ(c.FastLineSeries1.FirstVisible(), 0);
    EXPECT_EQ(c.FastLineSeries1.LastVisible(), 600);  // 600 / 44.1 = 13.605 ms
    c.FastLineSeries1.SetIncludeNextPoint(false);
    c.FastLineSeries1.FindVisibleRange();
    EXPECT_EQ(c.FastLineSeries1.LastVisible(), 599);
}

TEST_F(OscilloscopeChart, SeriesBeyondEitherEndOfTheScale) {
    c.FastLineSeries1.AddPoint(50, 0);
    c.FastLineSeries1.AddPoint(60, 0);
    c.FastLineSeries2.AddPoint(-5, 0);
    c.Chart.Paint();
    EXPECT_EQ(c.FastLineSeries1.FirstVisible(), 0);
    EXPECT_EQ(c.FastLineSeries1.LastVisible(), 0);
    EXPECT_EQ(c.FastLineSeries2.FirstVisible(), -1);
}

TEST_F(OscilloscopeChart, PointsOnTheSamePixelAreSkipped) {
    // 1803 points over a 740-pixel axis, on one flat line.
    for (int i = 0; i < 1803; ++i) c.FastLineSeries1.AddPoint(i / 44.1, 0);
    const auto before = c.Chart.Canvas().LinesDrawn();
    c.Chart.Paint();
    const auto segments = c.Chart.Canvas().LinesDrawn() - before;
    // Axis, ticks and grid lines plus one segment per new pixel column.
    EXPECT_LT(segments, 1100);  // 1802 without skipping
    EXPECT_EQ(c.FastLineSeries1.LastDrawnX(), 785);
    // A later point on a new pixel joins the last drawn vertex.
    c.FastLineSeries1.ClearPoints();
    c.FastLineSeries1.AddPoint(10, 0);
    c.FastLineSeries1.AddPoint(10, 50);  // same column, other row
    c.FastLineSeries1.AddPoint(10, 50);  // same pixel as the previous point
    c.FastLineSeries1.AddPoint(20, 50);
    const QImage& image = c.Chart.Paint();
    const int x10 = c.Chart.BottomAxis().ValueToPosition(10);
    const int x15 = c.Chart.BottomAxis().ValueToPosition(15);
    const int y50 = c.Chart.LeftAxis().ValueToPosition(50);
    EXPECT_EQ(PixelAt(image, x10, y50), Rgb(LiveTraceColor));
    EXPECT_EQ(PixelAt(image, x15, y50), Rgb(LiveTraceColor));
    EXPECT_EQ(c.FastLineSeries1.LastDrawnX(), c.Chart.BottomAxis().ValueToPosition(20));
}

TEST_F(OscilloscopeChart, TheLiveTraceIsDrawnOverTheSnapshot) {
    c.FastLineSeries2.AddPoint(0, 10);
    c.FastLineSeries2.AddPoint(40, 10);
    c.FastLineSeries1.AddPoint(0, 10);
    c.FastLineSeries1.AddPoint(40, 10);
    const QImage& image = c.Chart.Paint();
    const int y = c.Chart.LeftAxis().ValueToPosition(10);
    EXPECT_EQ(PixelAt(image, 300, y), Rgb(LiveTraceColor));
}

// Refilling the live trace and repainting, as every buffer does, in either
// time base; two paints first settle the layout.
class OscilloscopeRepaint : public ::testing::TestWithParam<bool> {};

TEST_P(OscilloscopeRepaint, RefillAndRepaintAllocateNothing) {
    TChart2 c(790, 535);
    SetOscilloscopeTimeBase(c.Chart, GetParam());
    EXPECT_EQ(RepaintAllocations(c.Chart, c.FastLineSeries1, {1803, 601, 1803}), 0);
    EXPECT_EQ(c.Chart.DrawCount(), 5);
}

INSTANTIATE_TEST_SUITE_P(TimeBases, OscilloscopeRepaint, ::testing::Bool());

// Hits on the configured oscilloscope: the trace, the axes' click bands, the
// plot, and the border where presses start nothing.
TEST(ZoomPress, FindsSeriesAxisOrPlotAndNothingOnTheBorder) {
    TChart2 c(790, 535);
    FillTrace(c.FastLineSeries1, 601);
    c.Chart.Paint();
    const TChartZoom& zoom = c.Chart.Zoom();
    const TRect plot = c.Chart.PlotRect();
    const TChartAxis& left = c.Chart.LeftAxis();
    const TChartAxis& bottom = c.Chart.BottomAxis();

    const int traceX = bottom.ValueToPositionX(100 / 44.1);
    const int traceY = left.ValueToPositionY(60.0 * std::sin(100 * 0.0627));
    TChartClicked hit = zoom.CalcClickedPart(traceX, traceY + 1);
    EXPECT_EQ(hit.Part, TChartClickedPart::Series);
    EXPECT_EQ(hit.Series, &c.FastLineSeries1);
    EXPECT_NEAR(hit.PointIndex, 100, 1);

    hit = zoom.CalcClickedPart(plot.Left - 2, (plot.Top + plot.Bottom) / 2);
    EXPECT_EQ(hit.Part, TChartClickedPart::Axis);
    EXPECT_EQ(hit.Axis, &left);
    EXPECT_EQ(zoom.CalcClickedPart(left.LabelsPos() - 1, plot.Top + 20).Part, TChartClickedPart::None);
    hit = zoom.CalcClickedPart((plot.Left + plot.Right) / 2, plot.Bottom + 3);
    EXPECT_EQ(hit.Axis, &bottom);

    EXPECT_EQ(zoom.CalcClickedPart(plot.Right - 5, plot.Top + 5).Part, TChartClickedPart::ChartRect);
    EXPECT_EQ(zoom.CalcClickedPart(2, 2).Part, TChartClickedPart::None);
    EXPECT_EQ(zoom.CalcClickedPart(plot.Right + 5, plot.Top + 5).Part, TChartClickedPart::None);

    c.Chart.Zoom().MouseDown(mbLeft, 2, 2);
    c.Chart.Zoom().MouseDown(mbRight, 785, 10);
    EXPECT_FALSE(zoom.ZoomDrag().Active);
    EXPECT_FALSE(zoom.PanDrag().Active);

    // Without an active series the plot is no target.
    c.FastLineSeries1.SetActive(false);
    c.FastLineSeries2.SetActive(false);
    c.Chart.Paint();
    const TRect empty = c.Chart.PlotRect();
    EXPECT_EQ(zoom.CalcClickedPart((empty.Left + empty.Right) / 2, (empty.Top + empty.Bottom) / 2).Part,
              TChartClickedPart::None);
}

}  // namespace
