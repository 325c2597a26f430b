// Axis property checks: AxisException with the German texts, the kept old
// value, relaxed bounds while loading, and invalidation by every setter.
#include "ChartTestSupport.h"
#include "chart/AxisException.h"

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const AxisException& e) {
        return e.what();
    }
    return "no exception";
}

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

TEST(AxisProperties, EverySetterInvalidatesTheChart) {
    TChart2 c(400, 300);
    const auto invalidates = [&](auto change) {
        c.Chart.Paint();
        EXPECT_FALSE(c.Chart.Dirty());
        change();
        return c.Chart.Dirty();
    };
    EXPECT_TRUE(invalidates([&] { c.Chart.LeftAxis().SetMaximum(50); }));
    EXPECT_TRUE(invalidates([&] { c.Chart.LeftAxis().Grid().SetColor(clBlack); }));
    EXPECT_TRUE(invalidates([&] { c.Chart.BottomAxis().LabelsFont().SetPixelSize(12); }));
    EXPECT_TRUE(invalidates([&] { c.Chart.BottomAxis().Title().SetCaption("t"); }));
    EXPECT_TRUE(invalidates([&] { c.Chart.SetBackColor(clBlack); }));
    EXPECT_TRUE(invalidates([&] { c.FastLineSeries1.LinePen().SetColor(clWhite); }));
    EXPECT_FALSE(invalidates([&] { c.Chart.LeftAxis().SetMaximum(50); }));  // unchanged value
}

}  // namespace
