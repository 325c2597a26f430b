// Value labels of plain charts: the lower limit and logarithmic powers.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

TEST(ValueLabels, LowerLimitKeepsZeroAndPositiveMinimaButDropsNegativeOnes) {
    TChart chart;
    chart.SetSize(200, 300);
    TChartAxis& axis = chart.LeftAxis();
    axis.SetLabelStyle(talValue);  // no series: an automatic style shows nothing
    axis.SetAutomatic(false);
    axis.SetIncrement(10);
    axis.SetMaximum(10);
    axis.SetMinimum(-10);
    chart.Paint();
    EXPECT_EQ(DrawnTexts(axis), (QStringList{"10", "0"}));
    axis.SetMinimum(0);
    chart.Paint();
    EXPECT_EQ(DrawnTexts(axis), (QStringList{"10", "0"}));
    axis.SetMaximum(30);
    axis.SetMinimum(10);
    chart.Paint();
    EXPECT_EQ(DrawnTexts(axis), (QStringList{"30", "20", "10"}));
}

TEST(ValueLabels, LogarithmicAxisLabelsThePowersOfItsBase) {
    TChart chart;
    chart.SetSize(400, 200);
    TChartAxis& axis = chart.BottomAxis();
    axis.SetLabelStyle(talValue);
    axis.SetLogarithmic(true);
    axis.SetAutomatic(false);
    axis.SetMaximum(22050);
    axis.SetMinimum(20);
    chart.Paint();
    EXPECT_EQ(DrawnTexts(axis), (QStringList{"100", "1,000", "10,000"}));
}

}  // namespace
