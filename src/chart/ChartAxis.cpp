// Axis properties, scale, layout and value/pixel mapping. Drawing is in
// AxisDrawing.cpp.
#include "chart/ChartAxis.h"

#include "chart/AxisException.h"
#include "chart/Chart.h"
#include "chart/ChartSeries.h"
#include "core/CheckedMath.h"

#include <QLocale>

#include <algorithm>
#include <climits>
#include <cmath>

namespace wellenschau {

namespace {

// Pixel positions are 32-bit; sums beyond that are pinned to the ends.
int ClampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

long long RoundToLong(double value) { return static_cast<long long>(std::nearbyint(value)); }

}  // namespace

double NextNiceStep(double x) {
    if (x >= 10.0) return 10.0 * NextNiceStep(x / 10.0);
    if (x < 1.0) return NextNiceStep(x * 10.0) / 10.0;
    if (x < 2.0) return 2.0;
    if (x < 5.0) return 5.0;
    return 10.0;
}

namespace {

// The default locale's number symbols, rebuilt only when the default locale
// changes, so that formatting a label allocates no more than its text.
struct TNumberFormat {
    QLocale Source{QLocale::c()};
    QLocale Grouped;
    QString Point;
    QString Zero;
    QString Minus;
    bool Valid = false;
};

const TNumberFormat& CurrentNumberFormat() {
    static TNumberFormat format;
    const QLocale current;
    if (!format.Valid || current != format.Source) {
        format.Source = current;
        format.Grouped = current;
        format.Grouped.setNumberOptions(current.numberOptions() & ~QLocale::OmitGroupSeparator);
        format.Point = current.decimalPoint();
        format.Zero = current.zeroDigit();
        format.Minus = current.negativeSign();
        format.Valid = true;
    }
    return format;
}

}  // namespace

QString FormatLabelValue(double value) {
    const TNumberFormat& format = CurrentNumberFormat();
    QString text = format.Grouped.toString(value, 'f', 3);
    if (text.contains(format.Point)) {
        while (text.endsWith(format.Zero)) text.chop(format.Zero.size());
        if (text.endsWith(format.Point)) text.chop(format.Point.size());
    }
    // A value that rounds to zero shows as "0", whatever its sign.
    if (text.size() == format.Minus.size() + format.Zero.size() && text.startsWith(format.Minus) &&
        text.endsWith(format.Zero))
        return format.Zero;
    return text;
}

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
    FTickList.reserve(MaxTicks);
    FMinorTickList.reserve(MaxTicks);
    FDrawnLabels.reserve(64);
    FLabelSeries.reserve(8);
}

TChartDepthAxis::TChartDepthAxis(TChart& chart) : TChartAxis(chart, false, true, true) {}

void TCustomChartAxis::Changed() { FChart.InvalidateChart(); }

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
    if (FLogarithmic == value) return;
    if (value) {
        if (IsDateTimeAxis()) throw AxisException(SAxisDateTimeLogarithmic);
        UpdateScale();
        if (FScaleMinimum < 0.0 || FScaleMaximum < 0.0) throw AxisException(SAxisLogarithmicNegative);
    }
    FLogarithmic = value;
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
void TCustomChartAxis::SetInverted(bool value) { Store(FInverted, value); }
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
            const TChartValueList& values = FIsHorizontal ? series->XValues() : series->YValues();
            low = found ? std::min(low, values.MinValue()) : values.MinValue();
            high = found ? std::max(high, values.MaxValue()) : values.MaxValue();
            found = true;
        }
        if (found && (FAutomatic || FAutomaticMaximum)) FMaximum = high;
        if (found && (FAutomatic || FAutomaticMinimum)) FMinimum = low;
    }
    FScaleMaximum = FMaximum;
    FScaleMinimum = FMinimum;
    FScaleRange = FScaleMaximum - FScaleMinimum;
}

void TCustomChartAxis::UpdatePixelRange(const TRect& plot) {
    FStartPixel = FIsHorizontal ? plot.Left : plot.Top;
    FEndPixel = FIsHorizontal ? plot.Right : plot.Bottom;
    FPixelLength = FEndPixel - FStartPixel;
    FCenterPixel = (FStartPixel + FEndPixel) / 2;
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
    const int widest = std::max(canvas.TextWidth(FormatLabelValue(rounded(FScaleMaximum))),
                                canvas.TextWidth(FormatLabelValue(rounded(FScaleMinimum))));
    return widest + canvas.TextWidth(QStringLiteral(" "));
}

int TCustomChartAxis::LabelBandSize() {
    if (FLabelsSize != 0) return FLabelsSize;
    TCanvas3D& canvas = FChart.Canvas();
    canvas.SetFont(FLabelsFont);
    const bool alongLength = FIsHorizontal ? FLabelsAngle % 180 == 0 : FLabelsAngle % 180 == 90;
    if (alongLength) return canvas.FontHeight();
    switch (EffectiveLabelStyle()) {
        case talValue: return static_cast<int>(WidestValueLabelExtent(CalcLabelIncrement()));
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

// --- Mapping ---

int TCustomChartAxis::ValueToPosition(double value) const {
    return FIsHorizontal ? ValueToPositionX(value) : ValueToPositionY(value);
}

double TCustomChartAxis::LinearPosition(double value, bool fromEnd) const {
    if (FScaleRange == 0.0) return FCenterPixel;
    // Computed in extended precision, kept as a double.
    const double t = static_cast<double>((static_cast<long double>(value) - FScaleMinimum) * FPixelLength /
                                         static_cast<long double>(FScaleRange));
    if (!(std::fabs(t) < 2147483647.0)) return FCenterPixel;
    return fromEnd ? ClampToInt(FEndPixel - RoundToLong(t)) : ClampToInt(FStartPixel + RoundToLong(t));
}

void TCustomChartAxis::LogBounds(double& logMin, double& logMax) const {
    logMin = FScaleMinimum > 0.0 ? std::log(FScaleMinimum) : 0.0;
    logMax = FScaleMaximum > 0.0 ? std::log(FScaleMaximum) : 0.0;
}

int TCustomChartAxis::LogarithmicPosition(double value, bool xUse) const {
    double logMin = 0.0;
    double logMax = 0.0;
    LogBounds(logMin, logMax);
    const double span = logMax - logMin;
    if (span == 0.0) return FCenterPixel;
    if (value > 0.0) {
        const double d = FInverted ? logMax - std::log(value) : std::log(value) - logMin;
        const double a = d * FPixelLength / span;
        return xUse ? ClampToInt(FStartPixel + RoundToLong(a)) : ClampToInt(FEndPixel - RoundToLong(a));
    }
    return (xUse == FInverted) ? FEndPixel : FStartPixel;
}

int TCustomChartAxis::ValueToPositionX(double value) const {
    if (FLogarithmic) return LogarithmicPosition(value, true);
    return static_cast<int>(LinearPosition(value, FInverted));
}

int TCustomChartAxis::ValueToPositionY(double value) const {
    if (FLogarithmic) return LogarithmicPosition(value, false);
    return static_cast<int>(LinearPosition(value, !FInverted));
}

double TCustomChartAxis::PositionToValue(int pixel) const {
    const int offset = FInverted ? FEndPixel - pixel : pixel - FStartPixel;
    if (!FLogarithmic) {
        if (FPixelLength < 1) return 0.0;
        const double t = static_cast<double>(offset) * FScaleRange / FPixelLength;
        return FIsHorizontal ? FScaleMinimum + t : FScaleMaximum - t;
    }
    const bool minimumAtStart = FIsHorizontal != FInverted;
    if (pixel == FStartPixel) return minimumAtStart ? FScaleMinimum : FScaleMaximum;
    if (pixel == FEndPixel) return minimumAtStart ? FScaleMaximum : FScaleMinimum;
    double logMin = 0.0;
    double logMax = 0.0;
    LogBounds(logMin, logMax);
    const double span = logMax - logMin;
    if (span == 0.0) return FScaleMinimum;
    const double d = span * offset / FPixelLength;
    return FIsHorizontal ? std::exp(logMin + d) : std::exp(logMax - d);
}

double TCustomChartAxis::CalcLabelIncrement() {
    TCanvas3D& canvas = FChart.Canvas();
    canvas.SetFont(FLabelsFont);
    const bool widthCounts = FIsHorizontal ? FLabelsAngle % 180 == 0 : FLabelsAngle % 180 != 0;
    const int size = widthCounts ? std::max(canvas.TextWidth(FormatLabelValue(FScaleMaximum)),
                                            canvas.TextWidth(FormatLabelValue(FScaleMinimum)))
                                 : canvas.FontHeight();
    long long maxLabels = 1;
    if (size > 0) {
        const int gap = FLabelsSeparation > 0 ? RoundToInt(FLabelsSeparation * 0.01 * size) : 0;
        maxLabels = RoundToLong(static_cast<double>(FPixelLength) / (size + gap));
    }
    if (maxLabels < 1) return 1e-12;
    double step = FIncrement > 0.0 ? FIncrement : (std::fabs(FScaleRange) >= 1.0 ? 1.0 : 1e-12);
    if (FLabelsSeparation > 0) {
        // An infinite or undefined range never fits; stop when the step does.
        while (std::isfinite(step)) {
            const double q = FScaleRange / step;
            if (std::fabs(q) < 2147483647.0 && RoundToLong(q) <= maxLabels) break;
            step = NextNiceStep(step);
        }
    }
    return std::max(step, 1e-12);
}

}  // namespace wellenschau
