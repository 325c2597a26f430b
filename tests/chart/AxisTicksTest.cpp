// Label steps, label values, label extents and the text label spacing,
// computed without a canvas: text is measured 6 pixels a character, 13 a line.
#include "chart/AxisTicks.h"

#include <gtest/gtest.h>

#include <vector>

using namespace wellenschau;

namespace {

class TFixedMeasure final : public TTextMeasure {
public:
    int TextWidth(const QString& text) override { return 6 * static_cast<int>(text.size()); }
    int FontHeight() override { return 13; }
};

TAxisScale Scale(double minimum, double maximum, int pixels) {
    TAxisScale scale;
    scale.SetBounds(minimum, maximum);
    scale.SetPixels(0, pixels);
    return scale;
}

TEST(AxisTicks, LabelStepGrowsUntilTheLabelsFit) {
    struct TCase {
        double Minimum, Maximum;
        int Pixels;
        TLabelStepRule Rule;
        double Step;
    };
    const TCase cases[] = {
        {0, 40.8, 740, {2, 10, true}, 2},       // 21 labels of 26 pixels fit
        {0, 40.8, 255, {2, 10, true}, 5},       // 10 fit: 2 grows to 5
        {-102, 101, 495, {0, 10, false}, 10},   // by line height: 1, 2, 5, 10
        {0, 40.8, 100, {0.5, 0, true}, 0.5},    // no separation: the increment stays
        {0, 40.8, 10, {2, 10, true}, 1e-12},    // not even one label fits
    };
    TFixedMeasure measure;
    for (const TCase& c : cases)
        EXPECT_EQ(CalcLabelStep(Scale(c.Minimum, c.Maximum, c.Pixels), c.Rule, measure), c.Step) << c.Pixels;
}

TEST(AxisTicks, LinearLabelValuesRunFromTheTopDownToTheMinimum) {
    struct TCase {
        double Minimum, Maximum, Step;
        bool RoundFirst;
        std::vector<double> Values;
    };
    const TCase cases[] = {
        {-10, 10, 10, true, {10, 0}},  // a negative minimum itself is left out
        {10, 30, 10, true, {30, 20, 10}},
        {1, 9.5, 2, false, {9.5, 7.5, 5.5, 3.5, 1.5}},
        {0, 1.3, 0.5, true, {1, 0.5, 0}},
        {0, 40.8, 0.004, true, {}},  // 10000 steps or more: none
    };
    for (const TCase& c : cases) {
        std::vector<double> values;
        AppendLinearLabelValues(Scale(c.Minimum, c.Maximum, 100), c.Step, c.RoundFirst, values);
        EXPECT_EQ(values, c.Values) << c.Maximum << " by " << c.Step;
    }
}

TEST(AxisTicks, LogarithmicLabelValuesArePowersInsideTheScale) {
    std::vector<double> values;
    TAxisScale frequencies = Scale(20, 22050, 380);
    AppendLogarithmicLabelValues(frequencies, 10, values);
    EXPECT_EQ(values, (std::vector<double>{100, 1000, 10000}));
    values.clear();
    TAxisScale fromZero = Scale(0, 1000, 380);
    AppendLogarithmicLabelValues(fromZero, 10, values);
    EXPECT_EQ(fromZero.Minimum, 0.1);  // the labels' scale starts at 0.1
    EXPECT_EQ(values.front(), 0.1);
    EXPECT_EQ(values.back(), 1000);
}

TEST(AxisTicks, LabelExtentIsTheWidestLineAlongOrAllLinesAcross) {
    TFixedMeasure measure;
    const QString twoLines = QStringLiteral("ab") + QChar(13) + QStringLiteral("abcd");
    EXPECT_EQ(LabelExtent(measure, QStringLiteral("abc"), true), 18);
    EXPECT_EQ(LabelExtent(measure, QStringLiteral("abc"), false), 13);
    EXPECT_EQ(LabelExtent(measure, twoLines, true), 24);
    EXPECT_EQ(LabelExtent(measure, twoLines, false), 26);
    EXPECT_EQ(LabelExtent(measure, QString(), true), 0);
}

TEST(AxisTicks, TextLabelsKeepTheirDistanceToThePreviousOneShown) {
    struct TCase {
        int Separation;
        std::vector<bool> Accepted;  // of labels 20 pixels wide at 0, 10, 30, 45
    };
    const TCase cases[] = {{1, {true, false, true, false}}, {0, {true, true, true, true}},
                           {100, {true, false, false, true}}};  // 30 pixels apart each side
    for (const TCase& c : cases) {
        TTextLabelSpacing spacing(c.Separation);
        std::vector<bool> accepted;
        for (const int position : {0, 10, 30, 45}) accepted.push_back(spacing.Accept(position, 20));
        EXPECT_EQ(accepted, c.Accepted) << c.Separation;
    }
}

}  // namespace
