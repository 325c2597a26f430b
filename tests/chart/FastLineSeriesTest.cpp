// Point storage in X order, clearing, the visible range and the drawing
// of fast line series.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

TEST(SeriesPoints, AnEarlierXGoesBeforeAllGreaterValuesWithItsYColourAndLabel) {
    TFastLineSeries series;
    series.AddPoint(1, 10);
    series.AddPoint(3, 30, "drei");
    EXPECT_EQ(series.AddPoint(2, 20, "zwei", clRed), 1);
    EXPECT_EQ(series.AddPoint(0, 5), 0);
    ASSERT_EQ(series.PointCount(), 4);
    EXPECT_EQ(series.XValue(1), 1);
    EXPECT_EQ(series.XValue(2), 2);
    EXPECT_EQ(series.YValue(2), 20);
    EXPECT_EQ(series.Label(2), "zwei");
    EXPECT_EQ(series.ValueColor(2), clRed);
    EXPECT_EQ(series.Label(3), "drei");
    EXPECT_EQ(series.YValue(3), 30);
}

TEST(SeriesPoints, EqualXValuesKeepTheirAddingOrder) {
    TFastLineSeries series;
    series.AddPoint(1, 1);
    series.AddPoint(2, 2);
    series.AddPoint(1, 3);
    series.AddPoint(1, 4);
    EXPECT_EQ(series.YValue(0), 1);
    EXPECT_EQ(series.YValue(1), 3);
    EXPECT_EQ(series.YValue(2), 4);
    EXPECT_EQ(series.YValue(3), 2);
}

TEST(SeriesPoints, DescendingAndUnorderedLists) {
    TFastLineSeries series;
    series.XValues().SetOrder(loDescending);
    series.AddPoint(5, 0);
    series.AddPoint(1, 0);
    EXPECT_EQ(series.AddPoint(3, 0), 1);
    series.ClearPoints();
    series.XValues().SetOrder(loNone);
    series.AddPoint(5, 0);
    EXPECT_EQ(series.AddPoint(1, 0), 1);
}

TEST(SeriesPoints, MultiplierScalesEveryReadValue) {
    TFastLineSeries series;
    series.AddPoint(2, 3);
    series.XValues().SetMultiplier(10);
    EXPECT_EQ(series.XValue(0), 20);
    EXPECT_EQ(series.YValue(0), 3);
}

TEST(SeriesPoints, BeforeAddCanRefuseAPoint) {
    TFastLineSeries series;
    series.SetOnBeforeAdd([](TChartSeries&) { return false; });
    EXPECT_EQ(series.AddPoint(1, 1), -1);
    EXPECT_EQ(series.PointCount(), 0);
}

TEST(SeriesPoints, ClearingAnEmptySeriesStillNotifiesAndInvalidates) {
    TChart chart;
    TFastLineSeries series;
    series.SetParentChart(&chart);
    chart.Paint();
    int cleared = 0;
    series.SetOnClearValues([&](TChartSeries&) { ++cleared; });
    series.ClearPoints();
    EXPECT_EQ(cleared, 1);
    EXPECT_TRUE(chart.Dirty());
}

TEST(SeriesPoints, SnapshotCopyOfAnEmptySeriesLeavesTheTargetEmpty) {
    TFastLineSeries source, target;
    target.AddPoint(1, 1);
    target.ClearPoints();
    for (int i = 0; i < source.PointCount(); ++i) target.AddPoint(source.XValue(i), source.YValue(i));
    EXPECT_EQ(target.PointCount(), 0);
}

TEST(SeriesPoints, SeriesColourColoursTheLineButNotTheOtherWayRound) {
    TFastLineSeries series;
    series.SetSeriesColor(clRed);
    EXPECT_EQ(series.LinePen().Color(), clRed);
    series.LinePen().SetColor(clWhite);
    EXPECT_EQ(series.SeriesColor(), clRed);
    TChartPen pen;
    pen.SetColor(clGreen);
    series.SetLinePen(pen);
    EXPECT_EQ(series.SeriesColor(), clGreen);
}

class VisibleRange : public ::testing::Test {
protected:
    VisibleRange() : c(790, 535) {}
    TChart2 c;
};

TEST_F(VisibleRange, StretchedTimeAxisDrawsUpToTheFirstPointBeyondIt) {
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

TEST_F(VisibleRange, SeriesBeyondEitherEndOfTheScale) {
    c.FastLineSeries1.AddPoint(50, 0);
    c.FastLineSeries1.AddPoint(60, 0);
    c.FastLineSeries2.AddPoint(-5, 0);
    c.Chart.Paint();
    EXPECT_EQ(c.FastLineSeries1.FirstVisible(), 0);
    EXPECT_EQ(c.FastLineSeries1.LastVisible(), 0);
    EXPECT_EQ(c.FastLineSeries2.FirstVisible(), -1);
}

TEST_F(VisibleRange, PointsOnTheSamePixelAreSkipped) {
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

TEST_F(VisibleRange, TheLiveTraceIsDrawnOverTheSnapshot) {
    c.FastLineSeries2.AddPoint(0, 10);
    c.FastLineSeries2.AddPoint(40, 10);
    c.FastLineSeries1.AddPoint(0, 10);
    c.FastLineSeries1.AddPoint(40, 10);
    const QImage& image = c.Chart.Paint();
    const int y = c.Chart.LeftAxis().ValueToPosition(10);
    EXPECT_EQ(PixelAt(image, 300, y), Rgb(LiveTraceColor));
}

}  // namespace
