// Labels, ticks and grid of the three configured charts: the label steps
// of the time and amplitude axes, the frequency labels of the carriers,
// checked on the labels drawn and on the image.
#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

QStringList Numbers(int from, int downTo, int step) {
    QStringList texts;
    for (int v = from; v >= downTo; v -= step) texts << QString::number(v);
    return texts;
}

TEST(ValueLabels, OscilloscopeTimeAxisLabelsEveryTwoMilliseconds) {
    TChart2 c(790, 535);
    c.Chart.Paint();
    const TChartAxis& bottom = c.Chart.BottomAxis();
    EXPECT_EQ(DrawnTexts(bottom), Numbers(40, 0, 2));
    // Largest value first, each label with its tick.
    EXPECT_EQ(bottom.TickList().front(), bottom.ValueToPosition(40));
    EXPECT_EQ(bottom.TickList().size(), 21u);
    // The amplitude axis: no increment, the step grows from 1 to 10.
    EXPECT_EQ(DrawnTexts(c.Chart.LeftAxis()), Numbers(100, -100, 10));
}

TEST(ValueLabels, TooNarrowAnAxisGrowsTheStepToFive) {
    TChart2 c(300, 535);
    c.Chart.Paint();
    EXPECT_DOUBLE_EQ(c.Chart.BottomAxis().CalcLabelIncrement(), 5.0);
    EXPECT_EQ(DrawnTexts(c.Chart.BottomAxis()), Numbers(40, 0, 5));
}

TEST(ValueLabels, FollowTheDefaultLocale) {
    TChart2 c(790, 535);
    SetOscilloscopeTimeBase(c.Chart, true);
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    c.Chart.Paint();
    QLocale::setDefault(previous);
    const QStringList texts = DrawnTexts(c.Chart.BottomAxis());
    ASSERT_EQ(texts.size(), 28);
    EXPECT_EQ(texts.front(), "13,5");
    EXPECT_EQ(texts.back(), "0");
}

TEST(ValueLabels, TenThousandLabelsOrMoreDrawNothing) {
    TChart2 c(790, 535);
    TChartAxis& bottom = c.Chart.BottomAxis();
    bottom.SetLabelsSeparation(0);
    bottom.SetIncrement(0.004);  // 10200 steps over 0 .. 40.8
    const QImage& image = c.Chart.Paint();
    EXPECT_TRUE(bottom.DrawnLabels().empty());
    EXPECT_TRUE(bottom.TickList().empty());
    // No vertical grid line anywhere in the plot.
    const int row = 250;
    for (int x = 46; x < 785; ++x) ASSERT_NE(PixelAt(image, x, row), Rgb(clGreen)) << x;
    bottom.SetIncrement(0.01);  // 4080 steps: drawn, no fit rule without separation
    c.Chart.Paint();
    EXPECT_EQ(bottom.TickList().size(), 2000u);  // the tick list's capacity
}

TEST(ValueLabels, NoLabelsAndTicksOnlyOnLabelsMeanNoTicksAndNoGrid) {
    TChart1 c;
    c.Chart.Paint();
    EXPECT_TRUE(c.Chart.RightAxis().TickList().empty());
    EXPECT_TRUE(c.Chart.TopAxis().TickList().empty());
}

TEST(TextLabels, Chart1GridsEveryCarrierFrequencyAndLabelsThoseThatFit) {
    TChart1 c;
    const QImage& image = c.Chart.Paint();
    const TChartAxis& bottom = c.Chart.BottomAxis();
    ASSERT_EQ(bottom.TickList().size(), 28u);
    EXPECT_EQ(bottom.TickList().front(), 45);
    EXPECT_EQ(bottom.TickList()[17], bottom.ValueToPosition(1000));
    // A grid line at every carrier frequency, also where no text is drawn
    // (30 Hz), and none between.
    const int row = 200;
    EXPECT_EQ(PixelAt(image, bottom.ValueToPosition(30), row), Rgb(LabelCarrierColor));
    EXPECT_EQ(PixelAt(image, bottom.ValueToPosition(3000), row), Rgb(LabelCarrierColor));
    EXPECT_EQ(PixelAt(image, bottom.ValueToPosition(1500), row), Rgb(clBlack));
    // Texts appear unless too close to the previous label; an empty label
    // counts as the previous one, so 100 (after the empty 90) is left out.
    QStringList shown;
    for (const TAxisLabel& label : bottom.DrawnLabels())
        if (!label.Text.isEmpty()) shown << label.Text;
    EXPECT_EQ(shown, (QStringList{"20", "50", "200", "500", "2k", "5k", "20k"}));
}

TEST(TextLabels, OnlyCarrierPointsInsideTheScaleGetTicks) {
    TChart1 c;
    c.Chart.BottomAxis().SetMinimum(100);
    c.Chart.BottomAxis().SetMaximum(10000);
    c.Chart.TopAxis().SetMinimum(100);
    c.Chart.TopAxis().SetMaximum(10000);
    c.Chart.Paint();
    EXPECT_EQ(c.Chart.BottomAxis().TickList().size(), 19u);
}

TEST(TextLabels, Chart3PlacesFrequencyLabelsAtTheirHeight) {
    TChart3 c;
    c.Chart.Paint();
    const TChartAxis& left = c.Chart.LeftAxis();
    ASSERT_FALSE(left.DrawnLabels().empty());
    EXPECT_EQ(left.DrawnLabels().front().Text, "20");
    EXPECT_EQ(left.DrawnLabels().front().Position, 311);
    for (const TAxisLabel& label : left.DrawnLabels())
        if (label.Text == "1k") {
            EXPECT_EQ(label.Position, left.ValueToPosition(1000));
        }
    // Ticks only where a label was placed.
    EXPECT_EQ(left.TickList().size(), left.DrawnLabels().size());
}

TEST(AxisDrawing, TitlesAndLabelsSitInTheirBands) {
    TChart2 c(790, 535);
    const QImage& image = c.Chart.Paint();
    const auto inkIn = [&](int left, int top, int right, int bottom) {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) ink += PixelAt(image, x, y) != Rgb(clWhite);
        return ink;
    };
    // "Zeit(ms)": centred under the plot, from its band down into the border.
    const int centre = c.Chart.BottomAxis().CenterPixel();
    EXPECT_GT(inkIn(centre - 25, 520, centre + 25, 535), 20);
    EXPECT_EQ(inkIn(centre + 40, 520, centre + 60, 535), 0);
    // "Amplitude (%)": rotated, left of x = 15, centred vertically.
    const int middle = c.Chart.LeftAxis().CenterPixel();
    EXPECT_GT(inkIn(0, middle - 30, 15, middle + 30), 20);
    EXPECT_EQ(inkIn(0, 5, 15, middle - 60), 0);
    // The label "100": right-aligned at x = 40, centred on its tick.
    const int tick = c.Chart.LeftAxis().ValueToPosition(100);
    EXPECT_GT(inkIn(20, tick - 7, 40, tick + 7), 5);
    EXPECT_EQ(inkIn(40, tick - 7, 41, tick + 7), 0);
}

TEST(AxisDrawing, TicksAndMinorTicksLeaveTheAxisLineOutward) {
    TChart2 c(790, 535);
    const QImage& image = c.Chart.Paint();
    const TChartAxis& bottom = c.Chart.BottomAxis();
    const int axisRow = 500;
    const int tick = bottom.ValueToPosition(20);
    for (int y = axisRow + 1; y <= axisRow + 4; ++y) EXPECT_EQ(PixelAt(image, tick, y), Rgb(clBlack)) << y;
    EXPECT_EQ(PixelAt(image, tick, axisRow + 5), Rgb(clWhite));
    // One minor tick (2 pixels) half-way between two ticks.
    const int minor = tick + (bottom.ValueToPosition(22) - tick) / 2;
    EXPECT_EQ(PixelAt(image, minor, axisRow + 2), Rgb(clBlack));
    EXPECT_EQ(PixelAt(image, minor, axisRow + 3), Rgb(clWhite));
    // The grid runs across the plot at the tick.
    EXPECT_EQ(PixelAt(image, tick, 290), Rgb(clGreen));
}

}  // namespace
