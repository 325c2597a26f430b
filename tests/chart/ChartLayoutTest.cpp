// Plot rectangles of plain charts: borders, margins and axis bands.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

TEST(ChartLayout, BorderAndPercentMarginsShrinkThePlot) {
    TChart chart;
    chart.SetAxisVisible(false);
    chart.SetSize(400, 300);
    chart.Paint();
    // Default margins 3, 4, 3, 4 percent.
    EXPECT_EQ(chart.PlotRect(), (TRect{12, 12, 388, 288}));
    chart.SetBorderWidth(5);
    chart.SetMarginLeft(0);
    chart.SetMarginTop(0);
    chart.SetMarginRight(0);
    chart.SetMarginBottom(0);
    chart.Paint();
    EXPECT_EQ(chart.PlotRect(), (TRect{5, 5, 395, 295}));
}

TEST(ChartLayout, AxisBandsThatLeaveNoRoomAreIgnored) {
    TChart chart;
    chart.SetSize(30, 30);
    chart.SetMarginLeft(0);
    chart.SetMarginTop(0);
    chart.SetMarginRight(0);
    chart.SetMarginBottom(0);
    chart.LeftAxis().SetLabelsSize(40);
    chart.Paint();
    EXPECT_GT(chart.PlotRect().Right, chart.PlotRect().Left);
    EXPECT_LT(chart.PlotRect().Left, 30);
}

}  // namespace
