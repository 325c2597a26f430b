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

// Plain points at X = 0, 1, 2, then one with its own colour or label.
TEST(SeriesPoints, ALabelOrColourAmongPlainPointsLeavesTheOthersPlain) {
    struct TRow {
        double X;
        const char* Label;
        TColor Color;
        int Index;
    };
    for (const TRow& row : {TRow{3, "neu", clDefault, 3}, TRow{-1, "", clRed, 0}, TRow{1.5, "mitte", clBlue, 2}}) {
        TFastLineSeries series;
        series.SetSeriesColor(clGreen);
        for (int x = 0; x < 3; ++x) series.AddPoint(x, x);
        EXPECT_EQ(series.AddPoint(row.X, 9, row.Label, row.Color), row.Index);
        for (int i = 0; i < series.PointCount(); ++i) {
            const bool own = i == row.Index;
            EXPECT_EQ(series.Label(i), own ? QString(row.Label) : QString()) << row.X << " " << i;
            EXPECT_EQ(series.ValueColor(i), own && row.Color != clDefault ? row.Color : clGreen) << row.X << " " << i;
        }
        series.AddPoint(4, 4);
        EXPECT_EQ(series.Label(4), QString());
        EXPECT_EQ(series.ValueColor(4), clGreen);
    }
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
    CopyPoints(source, target);
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

}  // namespace
