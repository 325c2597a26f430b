// Axis property checks: AxisException with the German texts, the kept old
// value, relaxed bounds while loading, and invalidation by every setter.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

TEST(AxisProperties, OtherInvalidValuesRaiseTheirMessages) {
    TChart chart;
    TChartAxis& axis = chart.LeftAxis();
    EXPECT_EQ(MessageOf([&] { axis.SetIncrement(-0.5); }), "Die Achsensteigung muss >= 0 sein");
    EXPECT_EQ(axis.Increment(), 0.0);
    EXPECT_EQ(MessageOf([&] { axis.SetLabelsSeparation(-1); }), "Titelseparation % muss größer als 0 sein");
    EXPECT_EQ(axis.LabelsSeparation(), 10);
    axis.SetAutomatic(false);
    axis.SetMinimum(-5);
    EXPECT_EQ(MessageOf([&] { axis.SetLogarithmic(true); }), "Min.- und Max.-Werte von log. Achsen sollten >= 0 sein");
    EXPECT_FALSE(axis.Logarithmic());

    TFastLineSeries series;
    series.SetParentChart(&chart);
    series.XValues().SetDateTime(true);
    EXPECT_EQ(MessageOf([&] { chart.BottomAxis().SetLogarithmic(true); }),
              "Eine Datum/Zeit-Achse darf nicht logarithmisch sein");
}

TEST(AxisProperties, LoadingAcceptsBoundsInAnyOrder) {
    TChart chart;
    chart.BeginLoading();
    chart.LeftAxis().SetMaximum(-50);
    chart.LeftAxis().SetMinimum(-40);
    chart.EndLoading();
    EXPECT_EQ(chart.LeftAxis().Maximum(), -50);
    EXPECT_EQ(chart.LeftAxis().Minimum(), -40);
}

TEST(AxisProperties, AutomaticFlagsFollowEachOther) {
    TChart chart;
    TChartAxis& axis = chart.BottomAxis();
    axis.SetAutomaticMinimum(false);
    EXPECT_FALSE(axis.Automatic());
    EXPECT_TRUE(axis.AutomaticMaximum());
    axis.SetAutomaticMinimum(true);
    EXPECT_TRUE(axis.Automatic());
    axis.SetAutomatic(false);
    EXPECT_FALSE(axis.AutomaticMinimum());
    EXPECT_FALSE(axis.AutomaticMaximum());
}

TEST(AxisProperties, AnAutomaticAxisTakesItsScaleFromItsSeries) {
    TChart chart;
    chart.SetSize(300, 200);
    TFastLineSeries series;
    series.SetParentChart(&chart);
    series.AddPoint(2, -3);
    series.AddPoint(7, 9);
    chart.Paint();
    EXPECT_EQ(chart.BottomAxis().Minimum(), 2);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 7);
    EXPECT_EQ(chart.LeftAxis().ScaleMinimum(), -3);
    EXPECT_EQ(chart.LeftAxis().ScaleMaximum(), 9);
}

}  // namespace
