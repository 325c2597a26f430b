// Axis property checks: AxisException with the German texts, the kept old
// value, relaxed bounds while loading, and every setter of an axis and its
// parts: it stores its value, the next paint redraws, and writing the same
// value again redraws nothing.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <type_traits>

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

// A setter of an axis or of one of its parts: writes a value other than
// the axis' default and tells whether the part reads it back.
struct TAxisSetter {
    const char* Name;
    std::function<void(TCustomChartAxis&)> Write;
    std::function<bool(TCustomChartAxis&)> Stored;
};

// Names the setter in test names and messages.
void PrintTo(const TAxisSetter& setter, std::ostream* out) { *out << setter.Name; }

// The row of `set` on the part of the axis that `part` picks: writes
// `value`, and reads it back through `get`.
template <typename Part, typename Value, typename Get>
TAxisSetter Setter(const char* name, Part& (*part)(TCustomChartAxis&), void (Part::*set)(Value), Get get,
                   std::decay_t<Value> value) {
    return {name, [=](TCustomChartAxis& axis) { (part(axis).*set)(value); },
            [=](TCustomChartAxis& axis) { return std::invoke(get, part(axis)) == value; }};
}

TCustomChartAxis& Itself(TCustomChartAxis& axis) { return axis; }
TChartAxisTitle& Title(TCustomChartAxis& axis) { return axis.Title(); }
TChartFont& TitleFont(TCustomChartAxis& axis) { return axis.Title().Font(); }
TChartFont& LabelsFont(TCustomChartAxis& axis) { return axis.LabelsFont(); }
TChartPen& AxisLine(TCustomChartAxis& axis) { return axis.Axis(); }
TChartPen& Ticks(TCustomChartAxis& axis) { return axis.Ticks(); }
TChartPen& TicksInner(TCustomChartAxis& axis) { return axis.TicksInner(); }
TChartPen& MinorTicks(TCustomChartAxis& axis) { return axis.MinorTicks(); }
TChartPen& Grid(TCustomChartAxis& axis) { return axis.Grid(); }
TChartPen& MinorGrid(TCustomChartAxis& axis) { return axis.MinorGrid(); }

using TAxis = TCustomChartAxis;
// Every setter of the axis, of its title and of one font and one pen;
// the other font and pens once each, to show that they are wired up.
const TAxisSetter AxisSetters[] = {
    Setter("Automatic", Itself, &TAxis::SetAutomatic, &TAxis::Automatic, false),
    Setter("AutomaticMinimum", Itself, &TAxis::SetAutomaticMinimum, &TAxis::AutomaticMinimum, false),
    Setter("AutomaticMaximum", Itself, &TAxis::SetAutomaticMaximum, &TAxis::AutomaticMaximum, false),
    Setter("Minimum", Itself, &TAxis::SetMinimum, &TAxis::Minimum, -5.0),
    Setter("Maximum", Itself, &TAxis::SetMaximum, &TAxis::Maximum, 50.0),
    Setter("Increment", Itself, &TAxis::SetIncrement, &TAxis::Increment, 2.5),
    Setter("Logarithmic", Itself, &TAxis::SetLogarithmic, &TAxis::Logarithmic, true),
    Setter("LogarithmicBase", Itself, &TAxis::SetLogarithmicBase, &TAxis::LogarithmicBase, 2),
    Setter("Inverted", Itself, &TAxis::SetInverted, &TAxis::Inverted, true),
    Setter("Labels", Itself, &TAxis::SetLabels, &TAxis::Labels, false),
    Setter("LabelStyle", Itself, &TAxis::SetLabelStyle, &TAxis::LabelStyle, talValue),
    Setter("LabelsAngle", Itself, &TAxis::SetLabelsAngle, &TAxis::LabelsAngle, 90),
    Setter("LabelsSize", Itself, &TAxis::SetLabelsSize, &TAxis::LabelsSize, 30),
    Setter("LabelsSeparation", Itself, &TAxis::SetLabelsSeparation, &TAxis::LabelsSeparation, 20),
    Setter("LabelsOnAxis", Itself, &TAxis::SetLabelsOnAxis, &TAxis::LabelsOnAxis, false),
    Setter("RoundFirstLabel", Itself, &TAxis::SetRoundFirstLabel, &TAxis::RoundFirstLabel, false),
    Setter("TitleSize", Itself, &TAxis::SetTitleSize, &TAxis::TitleSize, 15),
    Setter("TickLength", Itself, &TAxis::SetTickLength, &TAxis::TickLength, 6),
    Setter("TickInnerLength", Itself, &TAxis::SetTickInnerLength, &TAxis::TickInnerLength, 3),
    Setter("MinorTickLength", Itself, &TAxis::SetMinorTickLength, &TAxis::MinorTickLength, 4),
    Setter("MinorTickCount", Itself, &TAxis::SetMinorTickCount, &TAxis::MinorTickCount, 5),
    Setter("TickOnLabelsOnly", Itself, &TAxis::SetTickOnLabelsOnly, &TAxis::TickOnLabelsOnly, false),
    Setter("GridCentered", Itself, &TAxis::SetGridCentered, &TAxis::GridCentered, true),
    Setter("Visible", Itself, &TAxis::SetVisible, &TAxis::Visible, false),
    Setter("Title.Caption", Title, &TChartAxisTitle::SetCaption, &TChartAxisTitle::Caption, QString("t")),
    Setter("Title.Angle", Title, &TChartAxisTitle::SetAngle, &TChartAxisTitle::Angle, 0),
    Setter("LabelsFont.Color", LabelsFont, &TChartFont::SetColor, &TChartFont::Color, clRed),
    Setter("LabelsFont.PixelSize", LabelsFont, &TChartFont::SetPixelSize, &TChartFont::PixelSize, 14),
    Setter("LabelsFont.Name", LabelsFont, &TChartFont::SetName, &TChartFont::Name, QString("Liberation Serif")),
    Setter("LabelsFont.Bold", LabelsFont, &TChartFont::SetBold, &TChartFont::Bold, true),
    Setter("Title.Font.Color", TitleFont, &TChartFont::SetColor, &TChartFont::Color, clRed),
    Setter("Grid.Color", Grid, &TChartPen::SetColor, &TChartPen::Color, clRed),
    Setter("Grid.Width", Grid, &TChartPen::SetWidth, &TChartPen::Width, 2),
    Setter("Grid.Style", Grid, &TChartPen::SetStyle, &TChartPen::Style, psDash),
    Setter("Grid.Visible", Grid, &TChartPen::SetVisible, &TChartPen::Visible, false),
    Setter("Grid.SmallDots", Grid, &TChartPen::SetSmallDots, &TChartPen::SmallDots, true),
    Setter("Axis.Color", AxisLine, &TChartPen::SetColor, &TChartPen::Color, clRed),
    Setter("Ticks.Color", Ticks, &TChartPen::SetColor, &TChartPen::Color, clRed),
    Setter("TicksInner.Color", TicksInner, &TChartPen::SetColor, &TChartPen::Color, clRed),
    Setter("MinorTicks.Color", MinorTicks, &TChartPen::SetColor, &TChartPen::Color, clRed),
    Setter("MinorGrid.Color", MinorGrid, &TChartPen::SetColor, &TChartPen::Color, clRed),
};

class AxisSetterTest : public ::testing::TestWithParam<TAxisSetter> {
protected:
    AxisSetterTest() { chart.SetSize(300, 200); }

    // Paints, writes the setter's value and paints again: whether the
    // second paint drew the chart anew.
    bool WriteRedraws() {
        chart.Paint();
        const int draws = chart.DrawCount();
        GetParam().Write(chart.LeftAxis());
        chart.Paint();
        return chart.DrawCount() > draws;
    }

    TChart chart;
};

TEST_P(AxisSetterTest, StoresItsValueAndRedrawsOnlyOnAChange) {
    EXPECT_TRUE(WriteRedraws());
    EXPECT_TRUE(GetParam().Stored(chart.LeftAxis()));
    EXPECT_FALSE(WriteRedraws());  // the same value again
}

INSTANTIATE_TEST_SUITE_P(AxisProperties, AxisSetterTest, ::testing::ValuesIn(AxisSetters),
                         [](const ::testing::TestParamInfo<TAxisSetter>& info) {
                             QString name = info.param.Name;
                             return name.remove('.').toStdString();
                         });

}  // namespace
