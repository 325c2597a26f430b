// The arithmetic of axis labels, apart from drawing: the label step, the
// values that get value labels, their texts, the extent of a text label and
// the spacing rule of text labels. Text sizes come through TTextMeasure, so
// these run without a canvas; the axis measures with its chart's canvas
// (TCanvasTextMeasure), tests with fixed sizes. Results depend only on the
// arguments (and the default QLocale for texts), so a caller may keep them
// until the axis changes. UI thread (texts read the default QLocale).
#pragma once

#include "chart/AxisScale.h"
#include "chart/TextMeasure.h"

#include <QString>

#include <vector>

namespace wellenschau {

// Next step of the series 1, 2, 5, 10, 20, 50, ... after x.
double NextNiceStep(double x);

// A value label's text: digit grouping, at least one integer digit, up to
// three decimals, separators of the current default QLocale.
QString FormatLabelValue(double value);

// What besides the scale decides the step of value labels.
struct TLabelStepRule {
    // The axis' Increment; 0 lets the step start at 1 (or 1e-12 below a range of 1).
    double Increment = 0.0;
    // Gap between labels in percent of a label's size; 0 keeps the first step.
    int LabelsSeparation = 10;
    // Labels follow each other across their width (else their height).
    bool WidthCounts = true;
};

// The label step: the first step, grown through NextNiceStep until the
// labels of both scale ends fit the pixel length with their separation.
double CalcLabelStep(const TAxisScale& scale, const TLabelStepRule& rule, TTextMeasure& measure);

// Appends the values of linear value labels: from the top of the scale (the
// largest multiple of step below it when roundFirst) downward by step to
// just below the minimum. Nothing when the scale holds 10000 steps or more.
void AppendLinearLabelValues(const TAxisScale& scale, double step, bool roundFirst, std::vector<double>& values);

// Appends the powers of base inside the scale, smallest first. A minimum
// that is not positive is first raised in scale to 0.1 (1e-10 when below
// zero), as the labels are drawn with it.
void AppendLogarithmicLabelValues(TAxisScale& scale, int base, std::vector<double>& values);

// Pixel extent of a text label (lines separated by character 13): its widest
// line along, or its lines' heights across.
int LabelExtent(TTextMeasure& measure, const QString& text, bool along);

// The spacing rule of text labels: a label is shown only when it keeps its
// distance (half its size plus its separation) to the previous one shown.
class TTextLabelSpacing {
public:
    explicit TTextLabelSpacing(int separationPercent) : FSeparation(separationPercent) {}
    // True, and remembered as the previous label, when a label of extent
    // size at position keeps its distance.
    bool Accept(int position, int size);

private:
    int FSeparation;
    int FPrevPosition = -1;
    int FPrevHalf = 0;
};

}  // namespace wellenschau
