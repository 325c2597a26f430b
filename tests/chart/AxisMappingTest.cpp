// Value-to-pixel mapping and back, linear and logarithmic, and the label step.
#include "ChartTestSupport.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>

using namespace wellenschau;

namespace {

class MappingChart : public ::testing::Test {
protected:
    // Sets a fixed scale and a pixel span, as a paint would.
    void Prepare(TCustomChartAxis& axis, double minimum, double maximum, const TRect& plot) {
        axis.SetAutomatic(false);
        axis.SetMinMax(minimum, maximum);
        axis.UpdateScale();
        axis.UpdatePixelRange(plot);
    }
    TChart chart;
};

TEST_F(MappingChart, LogarithmicFrequencyAxisPutsOneKilohertzAtPixel252) {
    TChartAxis& axis = chart.BottomAxis();
    axis.SetLogarithmic(true);
    Prepare(axis, 20, 22050, {40, 0, 420, 100});
    EXPECT_EQ(axis.ValueToPosition(1000), 252);
    EXPECT_EQ(axis.ValueToPositionX(20), 40);
    EXPECT_EQ(axis.ValueToPositionX(22050), 420);
    EXPECT_EQ(axis.PositionToValue(40), 20);
    EXPECT_EQ(axis.PositionToValue(420), 22050);
    EXPECT_NEAR(axis.PositionToValue(252), 1000, 15);
    // Non-positive values go to the low end.
    EXPECT_EQ(axis.ValueToPositionX(0), 40);
    EXPECT_EQ(axis.ValueToPositionY(-5), 420);
    axis.SetInverted(true);
    EXPECT_EQ(axis.ValueToPositionX(1000), 420 - 252 + 40);
}

TEST_F(MappingChart, LogarithmicAxisWithZeroMinimumMapsFromLogOfOne) {
    TChartAxis& axis = chart.LeftAxis();
    axis.SetLogarithmic(true);
    Prepare(axis, 0, 100, {0, 0, 100, 100});
    // logMin = 0: 10 lies half-way up.
    EXPECT_EQ(axis.ValueToPositionY(10), 50);
    EXPECT_EQ(axis.ValueToPositionY(1), 100);
}

TEST_F(MappingChart, LinearEndsMapToTheEndsOfTheSpan) {
    TChartAxis& bottom = chart.BottomAxis();
    Prepare(bottom, 0, 40.8, {45, 5, 785, 500});
    EXPECT_EQ(bottom.ValueToPositionX(0), 45);
    EXPECT_EQ(bottom.ValueToPositionX(40.8), 785);
    EXPECT_EQ(bottom.ValueToPositionX(20.4), 415);
    EXPECT_EQ(bottom.CenterPixel(), 415);
    EXPECT_DOUBLE_EQ(bottom.PositionToValue(415), 20.4);
    TChartAxis& left = chart.LeftAxis();
    Prepare(left, -102, 101, {45, 5, 785, 500});
    EXPECT_EQ(left.ValueToPositionY(101), 5);
    EXPECT_EQ(left.ValueToPositionY(-102), 500);
    EXPECT_DOUBLE_EQ(left.PositionToValue(5), 101);
    left.SetInverted(true);
    EXPECT_EQ(left.ValueToPositionY(101), 500);
}

TEST_F(MappingChart, DegenerateScalesMapToTheCentre) {
    TChartAxis& axis = chart.BottomAxis();
    Prepare(axis, 5, 5, {0, 0, 101, 50});
    EXPECT_EQ(axis.ValueToPositionX(123), 50);
    Prepare(axis, 0, 1e-300, {0, 0, 101, 50});
    EXPECT_EQ(axis.ValueToPositionX(1e10), 50);
    EXPECT_EQ(axis.ValueToPositionX(std::nan("")), 50);
}

TEST(NextNiceStep, GrowsThroughOneTwoFive) {
    EXPECT_EQ(NextNiceStep(1), 2);
    EXPECT_EQ(NextNiceStep(2), 5);
    EXPECT_EQ(NextNiceStep(3), 5);
    EXPECT_EQ(NextNiceStep(5), 10);
    EXPECT_EQ(NextNiceStep(10), 20);
    EXPECT_EQ(NextNiceStep(20), 50);
    EXPECT_EQ(NextNiceStep(0.5), 1);
    EXPECT_DOUBLE_EQ(NextNiceStep(0.2), 0.5);
}

TEST(FormatLabelValue, GroupsDigitsAndDropsTrailingZerosInTheDefaultLocale) {
    EXPECT_EQ(FormatLabelValue(40), "40");
    EXPECT_EQ(FormatLabelValue(-100), "-100");
    EXPECT_EQ(FormatLabelValue(13.5), "13.5");
    EXPECT_EQ(FormatLabelValue(12345.6789), "12,345.679");
    EXPECT_EQ(FormatLabelValue(-0.0001), "0");
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatLabelValue(12345.5), "12.345,5");
    EXPECT_EQ(FormatLabelValue(0.5), "0,5");
    QLocale::setDefault(previous);
}

}  // namespace
