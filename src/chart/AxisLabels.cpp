// The labels and ticks of one axis for a paint: the label step, the value
// or text labels with their positions and texts, the tick positions and the
// minor ticks. Nothing here draws; AxisDrawing.cpp draws the lists.
#include "chart/Canvas3D.h"
#include "chart/Chart.h"
#include "chart/ChartAxis.h"
#include "chart/ChartSeries.h"
#include "core/CheckedMath.h"

#include <algorithm>

namespace wellenschau {

double TCustomChartAxis::CalcLabelIncrement() {
    TCanvasTextMeasure measure(FChart.Canvas(), FLabelsFont);
    const bool widthCounts = FIsHorizontal ? FLabelsAngle % 180 == 0 : FLabelsAngle % 180 != 0;
    return CalcLabelStep(FScale, {FIncrement, FLabelsSeparation, widthCounts}, measure);
}

void TCustomChartAxis::AddTick(int position) {
    if (FTickList.size() < MaxTicks) FTickList.push_back(position);
}

void TCustomChartAxis::AddLabel(int position, const QString& text) {
    if (FTickOnLabelsOnly) AddTick(position);
    FDrawnLabels.push_back({position, text});
}

void TCustomChartAxis::PlaceValueLabel(double value) {
    const int p = ValueToPosition(value);
    if (!FLabelsOnAxis && !(FScale.StartPixel < p && p < FScale.EndPixel)) return;
    if (!FTickOnLabelsOnly) AddTick(p);
    if (FLabels) AddLabel(p, FormatLabelValue(value));
}

// Multiples of the step from the top down, or without an increment on a
// logarithmic axis the powers of its base.
void TCustomChartAxis::PlaceValueLabels(double step) {
    FLabelValues.clear();
    if (FScale.Logarithmic && FIncrement == 0.0)
        AppendLogarithmicLabelValues(FScale, FLogarithmicBase, FLabelValues);
    else
        AppendLinearLabelValues(FScale, step, FRoundFirstLabel, FLabelValues);
    for (const double value : FLabelValues) PlaceValueLabel(value);
}

// Labels taken from the stored point labels of the series on this axis;
// a label is kept only when it keeps its distance to the previous one.
void TCustomChartAxis::PlaceTextLabels() {
    FLabelSeries.clear();
    int first = -1;
    int last = -1;
    for (TChartSeries* series : FChart.SeriesList()) {
        if (!series->Active() || !AttachedTo(*series) || series->PointCount() == 0) continue;
        FLabelSeries.push_back(series);
        series->FindVisibleRange();
        if (series->FirstVisible() != -1 && (first == -1 || series->FirstVisible() < first))
            first = series->FirstVisible();
        last = std::max(last, series->LastVisible());
    }
    if (first == -1) return;

    TCanvasTextMeasure measure(FChart.Canvas(), FLabelsFont);
    const bool along = FIsHorizontal == (FLabelsAngle != 90 && FLabelsAngle != 270);
    TTextLabelSpacing spacing(FLabelsSeparation);
    for (int i = first; i <= last; ++i) {
        const auto owner = std::find_if(FLabelSeries.begin(), FLabelSeries.end(),
                                        [i](const TChartSeries* s) { return i < s->PointCount(); });
        if (owner == FLabelSeries.end()) continue;
        const TChartSeries& series = **owner;
        const double v = FIsHorizontal ? series.XValue(i) : series.YValue(i);
        if (v < FScale.Minimum || v > FScale.Maximum) continue;
        const int p = ValueToPosition(v);
        if (!FTickOnLabelsOnly) AddTick(p);
        if (!FLabels) continue;
        const QString& text = series.Label(i);
        if (spacing.Accept(p, LabelExtent(measure, text, along))) AddLabel(p, text);
    }
}

bool TCustomChartAxis::MinorTicksNeeded() const {
    return (FMinorTicks.Visible() || FMinorGrid.Visible()) && !FTickList.empty();
}

void TCustomChartAxis::BuildMinorTicks() {
    FMinorTickList.clear();
    const int m = FMinorTickCount;
    const std::size_t count = FTickList.size();
    if (m <= 0 || count == 0) return;
    const auto keep = [this](int q) {
        if (FScale.StartPixel < q && q < FScale.EndPixel && FMinorTickList.size() < MaxTicks)
            FMinorTickList.push_back(q);
    };
    if (count > 1 && !FScale.Logarithmic) {
        // Continue the spacing of the first two ticks beyond both ends.
        const double step = (FTickList[1] - FTickList[0]) / static_cast<double>(m + 1);
        for (int j = 1; j <= m; ++j) {
            keep(FTickList[0] - RoundToInt(j * step));
            keep(FTickList[count - 1] + RoundToInt(j * step));
        }
    }
    for (std::size_t i = 1; i < count; ++i) {
        if (!FScale.Logarithmic) {
            for (int j = 1; j <= m; ++j)
                keep(FTickList[i] - RoundToInt(j * (FTickList[i] - FTickList[i - 1]) / static_cast<double>(m + 1)));
            continue;
        }
        double w = PositionToValue(FTickList[i - 1]);
        const double d = (FLogarithmicBase * w - w) / (m + 1);
        for (int j = 1; j <= m; ++j) {
            w += d;
            if (w > FScale.Maximum) break;
            keep(ValueToPosition(w));
        }
    }
}

void TCustomChartAxis::UpdateLabels(double step) {
    FTickList.clear();
    FMinorTickList.clear();
    FDrawnLabels.clear();
    if (step > 0.0 && FScale.Maximum >= FScale.Minimum) {
        switch (EffectiveLabelStyle()) {
            case talValue: PlaceValueLabels(step); break;
            case talMark:
            case talText: PlaceTextLabels(); break;
            default: break;
        }
    }
    if (MinorTicksNeeded()) BuildMinorTicks();
}

bool TCustomChartAxis::TLabelsKey::operator==(const TLabelsKey& other) const {
    const TAxisScale& a = Scale;
    const TAxisScale& b = other.Scale;
    return ChangeCount == other.ChangeCount && Locale == other.Locale && a.Minimum == b.Minimum &&
           a.Maximum == b.Maximum && a.Range == b.Range && a.StartPixel == b.StartPixel && a.EndPixel == b.EndPixel &&
           a.Logarithmic == b.Logarithmic && a.Inverted == b.Inverted;
}

// Value labels depend only on the axis' own properties, its scale and the
// number format, so they are kept from paint to paint (and with them the
// scale as the label pass left it) until one of these changes. Text labels
// come from the series' points and are placed anew every paint.
void TCustomChartAxis::UpdateLabelsIfChanged() {
    const bool valueLabels = EffectiveLabelStyle() == talValue;
    TLabelsKey key{FScale, FChangeCount, QLocale()};
    if (valueLabels && FLabelsKeyValid && key == FLabelsKey) {
        FScale = FScaleAfterLabels;
        return;
    }
    UpdateLabels(CalcLabelIncrement());
    FLabelsKey = std::move(key);
    FLabelsKeyValid = valueLabels;
    FScaleAfterLabels = FScale;
}

}  // namespace wellenschau
