// Axis properties and their checks, the scale update and the band layout.
// Labels and ticks are computed in AxisLabels.cpp and drawn in
// AxisDrawing.cpp; the mapping is TAxisScale's.
#include "chart/ChartAxis.h"

#include "chart/AxisException.h"
#include "chart/Chart.h"
#include "chart/ChartSeries.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

TChartAxisTitle::TChartAxisTitle(std::function<void()> onChange, int angle)
    : FOnChange(std::move(onChange)), FAngle(angle), FFont(FOnChange) {}

void TChartAxisTitle::SetCaption(const QString& value) {
    if (FCaption == value) return;
    FCaption = value;
    FOnChange();
}

void TChartAxisTitle::SetAngle(int value) {
    if (FAngle == value) return;
    FAngle = value;
    FOnChange();
}

TCustomChartAxis::TCustomChartAxis(TChart& chart, bool horizontal, bool otherSide, bool depth)
    : FChart(chart),
      FLabelsFont([this] { Changed(); }),
      FTitle([this] { Changed(); }, depth || horizontal ? 0 : (otherSide ? 270 : 90)),
      FAxis([this] { Changed(); }, clBlack, 2),
      FTicks([this] { Changed(); }, clGray),
      FTicksInner([this] { Changed(); }, clGray),
      FMinorTicks([this] { Changed(); }, clGray),
      FGrid([this] { Changed(); }, clGray, 1, psDot),
      FMinorGrid([this] { Changed(); }, clBlack, 1, psSolid, false),
      FVisible(!depth),
      FIsHorizontal(horizontal),
      FIsOtherSide(otherSide),
      FIsDepthAxis(depth) {
    FScale.Horizontal = horizontal;
    FTickList.reserve(MaxTicks);
    FMinorTickList.reserve(MaxTicks);
    FDrawnLabels.reserve(64);
    FLabelSeries.reserve(8);
    FLabelValues.reserve(64);
}

TChartDepthAxis::TChartDepthAxis(TChart& chart) : TChartAxis(chart, false, true, true) {}

void TCustomChartAxis::Changed() {
    ++FChangeCount;
    FChart.InvalidateChart();
}

template <typename T>
void TCustomChartAxis::Store(T& field, T value) {
    if (field == value) return;
    field = value;
    Changed();
}

void TCustomChartAxis::SetAutomatic(bool value) {
    if (FAutomatic == value) return;
    FAutomatic = value;
    if (!FChart.IsLoading()) {
        FAutomaticMinimum = value;
        FAutomaticMaximum = value;
    }
    Changed();
}

void TCustomChartAxis::SetAutomaticMinimum(bool value) {
    if (FAutomaticMinimum == value) return;
    FAutomaticMinimum = value;
    FAutomatic = value ? FAutomaticMaximum : false;
    Changed();
}

void TCustomChartAxis::SetAutomaticMaximum(bool value) {
    if (FAutomaticMaximum == value) return;
    FAutomaticMaximum = value;
    FAutomatic = value ? FAutomaticMinimum : false;
    Changed();
}

void TCustomChartAxis::SwitchAutomaticOff() {
    SetAutomatic(false);
    SetAutomaticMinimum(false);
    SetAutomaticMaximum(false);
}

void TCustomChartAxis::SetMinimum(double value) {
    if (FMinimum == value) return;
    if (!FChart.IsLoading() && value > FMaximum) throw AxisException(SAxisMinMax);
    FMinimum = value;
    Changed();
}

void TCustomChartAxis::SetMaximum(double value) {
    if (FMaximum == value) return;
    if (!FChart.IsLoading() && value < FMinimum) throw AxisException(SAxisMaxMin);
    FMaximum = value;
    Changed();
}

void TCustomChartAxis::SetMinMax(double minimum, double maximum) {
    if (maximum >= FMinimum) {
        SetMaximum(maximum);
        SetMinimum(minimum);
    } else {
        SetMinimum(minimum);
        SetMaximum(maximum);
    }
}

void TCustomChartAxis::SetIncrement(double value) {
    if (FIncrement == value) return;
    if (value < 0.0) throw AxisException(SAxisIncrementNegative);
    FIncrement = value;
    Changed();
}

void TCustomChartAxis::SetLogarithmic(bool value) {
    if (FScale.Logarithmic == value) return;
    if (value) {
        if (IsDateTimeAxis()) throw AxisException(SAxisDateTimeLogarithmic);
        UpdateScale();
        if (FScale.Minimum < 0.0 || FScale.Maximum < 0.0) throw AxisException(SAxisLogarithmicNegative);
    }
    FScale.Logarithmic = value;
    Changed();
}

void TCustomChartAxis::SetLabelsSeparation(int value) {
    if (FLabelsSeparation == value) return;
    if (value < 0) throw AxisException(SAxisLabelSeparation);
    FLabelsSeparation = value;
    Changed();
}

void TCustomChartAxis::SetLabelStyle(TAxisLabelStyle value) {
    if (FLabelStyle == value) return;
    FLabelStyle = value;
    FChart.RepaintNow();
}

void TCustomChartAxis::SetLogarithmicBase(int value) { Store(FLogarithmicBase, value); }
void TCustomChartAxis::SetInverted(bool value) { Store(FScale.Inverted, value); }
void TCustomChartAxis::SetLabels(bool value) { Store(FLabels, value); }
void TCustomChartAxis::SetLabelsAngle(int value) { Store(FLabelsAngle, value); }
void TCustomChartAxis::SetLabelsSize(int value) { Store(FLabelsSize, value); }
void TCustomChartAxis::SetLabelsOnAxis(bool value) { Store(FLabelsOnAxis, value); }
void TCustomChartAxis::SetRoundFirstLabel(bool value) { Store(FRoundFirstLabel, value); }
void TCustomChartAxis::SetTitleSize(int value) { Store(FTitleSize, value); }
void TCustomChartAxis::SetTickLength(int value) { Store(FTickLength, value); }
void TCustomChartAxis::SetTickInnerLength(int value) { Store(FTickInnerLength, value); }
void TCustomChartAxis::SetMinorTickLength(int value) { Store(FMinorTickLength, value); }
void TCustomChartAxis::SetMinorTickCount(int value) { Store(FMinorTickCount, value); }
void TCustomChartAxis::SetTickOnLabelsOnly(bool value) { Store(FTickOnLabelsOnly, value); }
void TCustomChartAxis::SetGridCentered(bool value) { Store(FGridCentered, value); }
void TCustomChartAxis::SetVisible(bool value) { Store(FVisible, value); }

bool TCustomChartAxis::AttachedTo(const TChartSeries& series) const { return series.UsesAxis(*this); }

bool TCustomChartAxis::IsVisible() const {
    if (!FChart.AxisVisible() || !FVisible || FIsDepthAxis) return false;
    bool anyActive = false;
    for (const TChartSeries* series : FChart.SeriesList()) {
        if (!series->Active()) continue;
        anyActive = true;
        if (AttachedTo(*series)) return true;
    }
    return !anyActive;
}

bool TCustomChartAxis::IsDateTimeAxis() const {
    for (const TChartSeries* series : FChart.SeriesList())
        if (series->Active() && AttachedTo(*series))
            return (FIsHorizontal ? series->XValues() : series->YValues()).DateTime();
    return false;
}

TAxisLabelStyle TCustomChartAxis::EffectiveLabelStyle() const {
    if (FLabelStyle != talAuto) return FLabelStyle;
    bool anySeries = false;
    for (const TChartSeries* series : FChart.SeriesList()) {
        if (!series->Active() || !AttachedTo(*series)) continue;
        anySeries = true;
        // Line series lay their point labels along the horizontal axis.
        if (FIsHorizontal && series->PointCount() > 0 && !series->Label(0).isEmpty()) return talText;
    }
    return anySeries ? talValue : talNone;
}

void TCustomChartAxis::UpdateScale() {
    if (FAutomatic || FAutomaticMinimum || FAutomaticMaximum) {
        bool found = false;
        double low = 0.0;
        double high = 0.0;
        for (const TChartSeries* series : FChart.SeriesList()) {
            if (!series->Active() || !AttachedTo(*series) || series->PointCount() == 0) continue;
            const double seriesLow = FIsHorizontal ? series->MinXValue() : series->YValues().MinValue();
            const double seriesHigh = FIsHorizontal ? series->MaxXValue() : series->YValues().MaxValue();
            low = found ? std::min(low, seriesLow) : seriesLow;
            high = found ? std::max(high, seriesHigh) : seriesHigh;
            found = true;
        }
        if (found && (FAutomatic || FAutomaticMaximum)) FMaximum = high;
        if (found && (FAutomatic || FAutomaticMinimum)) FMinimum = low;
    }
    FScale.SetBounds(FMinimum, FMaximum);
}

void TCustomChartAxis::UpdatePixelRange(const TRect& plot) {
    FScale.SetPixels(FIsHorizontal ? plot.Left : plot.Top, FIsHorizontal ? plot.Right : plot.Bottom);
}

// --- Layout ---

int TCustomChartAxis::TickBandSize() const {
    int size = (FAxis.Visible() ? FAxis.Width() : 0) + (FTicks.Visible() ? FTickLength : 0);
    if (FMinorTicks.Visible()) size = std::max(size, FMinorTickLength);
    return size;
}

int TCustomChartAxis::TitleBandSize() {
    if (FTitleSize != 0) return FTitleSize;
    TCanvas3D& canvas = FChart.Canvas();
    canvas.SetFont(FTitle.Font());
    const bool alongLength = FIsHorizontal ? FTitle.Angle() % 180 == 0 : FTitle.Angle() % 180 == 90;
    return alongLength ? canvas.FontHeight() : canvas.TextWidth(FTitle.Caption());
}

double TCustomChartAxis::WidestValueLabelExtent(double step) {
    TCanvas3D& canvas = FChart.Canvas();
    const auto rounded = [&](double v) { return FRoundFirstLabel ? std::trunc(v / step) * step : v; };
    const int widest = std::max(canvas.TextWidth(FormatLabelValue(rounded(FScale.Maximum))),
                                canvas.TextWidth(FormatLabelValue(rounded(FScale.Minimum))));
    return widest + canvas.TextWidth(QStringLiteral(" "));
}

// Kept like the value labels themselves: the widest label changes only
// with the scale, the axis' properties and the number format.
int TCustomChartAxis::ValueLabelBandSize() {
    TLabelsKey key{FScale, FChangeCount, QLocale()};
    if (FBandKeyValid && key == FBandKey) return FBandSize;
    FBandSize = static_cast<int>(WidestValueLabelExtent(CalcLabelIncrement()));
    FBandKey = std::move(key);
    FBandKeyValid = true;
    return FBandSize;
}

int TCustomChartAxis::LabelBandSize() {
    if (FLabelsSize != 0) return FLabelsSize;
    TCanvas3D& canvas = FChart.Canvas();
    canvas.SetFont(FLabelsFont);
    const bool alongLength = FIsHorizontal ? FLabelsAngle % 180 == 0 : FLabelsAngle % 180 == 90;
    if (alongLength) return canvas.FontHeight();
    switch (EffectiveLabelStyle()) {
        case talValue: return ValueLabelBandSize();
        case talText: {
            int widest = 0;
            for (const TChartSeries* series : FChart.SeriesList())
                for (int i = 0; i < series->PointCount(); ++i)
                    widest = std::max(widest, canvas.TextWidth(series->Label(i)));
            return widest;
        }
        default: return 0;
    }
}

void TCustomChartAxis::ReserveSpace(TRect& r) {
    const auto shrink = [&](int size) {
        if (FIsHorizontal && !FIsOtherSide) return r.Bottom -= size;
        if (FIsHorizontal) return r.Top += size;
        if (!FIsOtherSide) return r.Left += size;
        return r.Right -= size;
    };
    if (!FTitle.Caption().isEmpty()) FTitlePos = shrink(TitleBandSize());
    if (FLabels) FLabelsPos = shrink(LabelBandSize());
    const int ticks = TickBandSize();
    if (ticks > 0) shrink(ticks);
}

}  // namespace wellenschau
