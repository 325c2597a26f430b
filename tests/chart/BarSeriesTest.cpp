// Bar series: the pixels each bar covers at pixel ratio 1 and 2, bars cut
// at the plot's edges or left out, the automatic scale around the bars,
// the category labels below them and the bar under the pointer.
#include "ChartTestSupport.h"
#include "chart/BarSeries.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

constexpr double MinusInfinity = -std::numeric_limits<double>::infinity();

// A 200 x 100 chart without axes whose plot is (20, 10, 180, 90). Four
// categories on an automatic horizontal scale (-0.5 .. 3.5: 40 pixels a
// category, bar k centred on x = 40 + 40 k); levels 0 .. 80 one per pixel
// (y = 90 - Y).
class BarChart : public ::testing::Test {
protected:
    BarChart() {
        chart.SetSize(200, 100);
        chart.SetBevelOuter(bvNone);
        for (const auto setMargin : {&TChart::SetMarginLeft, &TChart::SetMarginRight, &TChart::SetMarginTop,
                                     &TChart::SetMarginBottom})
            (chart.*setMargin)(10);
        chart.SetAxisVisible(false);
        chart.BackWall().Pen().SetVisible(false);
        chart.LeftAxis().SetAutomatic(false);
        chart.LeftAxis().SetMaximum(80);
        bars.SetParentChart(&chart);
        bars.SetSeriesColor(clRed);
    }
    // Bars of the values, labelled "b0", "b1", ...; bar `coloured` blue.
    void Fill(std::initializer_list<double> values, int coloured = -1) {
        bars.ClearPoints();
        int x = 0;
        for (const double value : values) {
            bars.AddPoint(x, value, QString("b%1").arg(x), x == coloured ? clBlue : clDefault);
            ++x;
        }
    }
    TChart chart;
    TBarSeries bars;
};

TEST_F(BarChart, EachBarCoversItsShareOfItsCategoryFromTheMinimumToItsValue) {
    struct TRow {
        int WidthPercent;
        double Value;
        int Index;
        std::optional<TRect> Bar;
    };
    const TRow rows[] = {
        {70, 40, 0, TRect{26, 50, 54, 91}},  {70, 40, 2, TRect{106, 50, 134, 91}},
        {100, 40, 1, TRect{60, 50, 100, 91}}, {1, 40, 3, std::nullopt},  // narrower than a pixel
        {50, 80, 0, TRect{30, 10, 50, 91}},   {50, 200, 0, TRect{30, 10, 50, 91}},  // cut at the maximum
        {50, 1, 0, TRect{30, 89, 50, 91}},  {50, 0, 0, std::nullopt},             // at the minimum: no bar
        {50, -3, 0, std::nullopt},            {50, MinusInfinity, 0, std::nullopt},
        {50, std::nan(""), 0, std::nullopt},
    };
    for (const TRow& row : rows) {
        bars.SetBarWidthPercent(row.WidthPercent);
        bars.ClearPoints();
        for (int x = 0; x < 4; ++x) bars.AddPoint(x, x == row.Index ? row.Value : 10);
        chart.Paint();
        EXPECT_EQ(bars.BarBounds(row.Index), row.Bar) << row.WidthPercent << " " << row.Value << " " << row.Index;
    }
}

// Where the bars' colours lie, in logical pixels: inside each bar (the
// plot's left column and top and bottom rows excepted, as for every
// series) and not beside, above or below it.
TEST_F(BarChart, BarsFillTheirPixelsAtPixelRatioOneAndTwo) {
    for (const qreal ratio : {1.0, 2.0}) {
        chart.SetPixelRatio(ratio);
        Fill({40, 79, MinusInfinity, 20}, 1);
        const QImage& image = chart.Paint();
        struct TProbe {
            int X, Y;
            TColor Colour;
        };
        const TProbe probes[] = {
            {26, 50, clRed},     {53, 50, clRed},     {40, 88, clRed},     {25, 50, clBtnFace}, {54, 50, clBtnFace},
            {40, 49, clBtnFace}, {40, 89, clBtnFace}, {66, 11, clBlue},    {93, 11, clBlue},    {80, 10, clBtnFace},
            {65, 40, clBtnFace}, {120, 88, clBtnFace}, {146, 70, clRed},  {146, 69, clBtnFace}, {173, 88, clRed},
        };
        for (const TProbe& probe : probes)
            EXPECT_EQ(LogicalPixelAt(image, probe.X, probe.Y), Rgb(probe.Colour))
                << ratio << ": " << probe.X << "," << probe.Y;
    }
}

TEST_F(BarChart, AnAutomaticScaleShowsTheOuterBarsWhole) {
    Fill({1, 2, 3, 4});
    chart.Paint();
    EXPECT_EQ(chart.BottomAxis().ScaleMinimum(), -0.5);
    EXPECT_EQ(chart.BottomAxis().ScaleMaximum(), 3.5);
    // A line series on the same axis keeps its own extent.
    TFastLineSeries line;
    line.SetParentChart(&chart);
    line.AddPoint(-2, 1);
    line.AddPoint(1, 1);
    chart.Paint();
    EXPECT_EQ(chart.BottomAxis().ScaleMinimum(), -2);
    EXPECT_EQ(chart.BottomAxis().ScaleMaximum(), 3.5);
}

TEST_F(BarChart, TheBottomAxisNamesEachCategoryBelowItsBar) {
    chart.SetAxisVisible(true);
    Fill({10, 20, 30, 40});
    chart.Paint();
    const std::vector<TAxisLabel>& labels = chart.BottomAxis().DrawnLabels();
    ASSERT_EQ(labels.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(labels[static_cast<std::size_t>(i)].Text, QString("b%1").arg(i));
        EXPECT_EQ(labels[static_cast<std::size_t>(i)].Position, bars.PositionX(i));
        const std::optional<TRect> bar = bars.BarBounds(i);
        ASSERT_TRUE(bar);
        EXPECT_TRUE(bar->Left < bars.PositionX(i) && bars.PositionX(i) < bar->Right - 1) << i;
    }
}

TEST_F(BarChart, ThePointerFindsTheBarItIsOn) {
    Fill({40, 20, 0, 40});
    chart.Paint();
    struct TRow {
        int X, Y, Index;
    };
    for (const TRow& row : {TRow{26, 50, 0}, TRow{53, 90, 0}, TRow{25, 50, -1}, TRow{26, 49, -1}, TRow{80, 70, 1},
                            TRow{80, 69, -1}, TRow{120, 89, -1}, TRow{150, 60, 3}})
        EXPECT_EQ(bars.Clicked(row.X, row.Y), row.Index) << row.X << "," << row.Y;
}

TEST(BarSeries, TheBarWidthIsOneToAHundredPercent) {
    TBarSeries bars;
    for (const int width : {0, -5, 101}) EXPECT_THROW(bars.SetBarWidthPercent(width), ERangeError) << width;
    bars.SetBarWidthPercent(100);
    EXPECT_EQ(bars.BarWidthPercent(), 100);
}

}  // namespace
