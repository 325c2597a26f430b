// Drawing of one axis: title, labels (value and text), axis line, ticks,
// grid and minor ticks. Layout and mapping are in ChartAxis.cpp.
#include "chart/Canvas3D.h"
#include "chart/Chart.h"
#include "chart/ChartAxis.h"
#include "chart/ChartSeries.h"
#include "core/CheckedMath.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wellenschau {

namespace {

constexpr QChar LineSeparator(13);

int LineCount(const QString& text) { return text.isEmpty() ? 0 : static_cast<int>(text.count(LineSeparator)) + 1; }

// Pixel extent of a label: its widest line along, or its lines' heights across.
int TextExtent(TCanvas3D& canvas, const QString& text, bool along) {
    if (text.isEmpty()) return 0;
    if (!along) return canvas.FontHeight() * LineCount(text);
    if (!text.contains(LineSeparator)) return canvas.TextWidth(text);
    int widest = 0;
    for (const QString& line : text.split(LineSeparator)) widest = std::max(widest, canvas.TextWidth(line));
    return widest;
}

}  // namespace

void TCustomChartAxis::AddTick(int position) {
    if (FTickList.size() < MaxTicks) FTickList.push_back(position);
}

// Draws text anchored at (position along the axis, across) with the
// alignment rules of the axis' side; lines are separated by character 13.
void TCustomChartAxis::DrawText(int position, int across, const QString& text, int angle) {
    TCanvas3D& canvas = FChart.Canvas();
    const int x = FIsHorizontal ? position : across;
    const int y = FIsHorizontal ? across : position;
    const int d = canvas.FontHeight();
    const QStringList lines = text.contains(LineSeparator) ? text.split(LineSeparator) : QStringList();
    const int count = lines.isEmpty() ? 1 : static_cast<int>(lines.size());
    const auto line = [&](int k) -> const QString& { return lines.isEmpty() ? text : lines[k]; };
    if (angle > 360) angle -= 360;

    if (angle == 0) {
        if (FIsHorizontal && !FIsOtherSide) {
            for (int k = 0; k < count; ++k)
                canvas.TextOut(x, y + k * d, line(k), THorizTextAlign::Center, TVertTextAlign::Top);
        } else if (FIsHorizontal) {
            for (int k = 0; k < count; ++k)
                canvas.TextOut(x, y - (count - 1 - k) * d, line(k), THorizTextAlign::Center, TVertTextAlign::Bottom);
        } else {
            // Vertically centred on y.
            const int top = y - d / 2 - RoundToInt(d * (count + 1) / 2.0) + d;
            const auto horiz = FIsOtherSide ? THorizTextAlign::Left : THorizTextAlign::Right;
            for (int k = 0; k < count; ++k) canvas.TextOut(x, top + k * d, line(k), horiz, TVertTextAlign::Top);
        }
        return;
    }
    // Rotated: the last line at the reference point, each earlier line one
    // line height further "up" in the rotated frame.
    const double radians = angle * std::numbers::pi / 180.0;
    const double upX = -std::sin(radians);
    const double upY = -std::cos(radians);
    for (int k = 0; k < count; ++k) {
        const int shift = (count - 1 - k) * d;
        canvas.RotatedTextOut(x + RoundToInt(upX * shift), y + RoundToInt(upY * shift), line(k), angle,
                              THorizTextAlign::Center, TVertTextAlign::Bottom);
    }
}

void TCustomChartAxis::DrawTitle() {
    TCanvas3D& canvas = FChart.Canvas();
    canvas.SetFont(FTitle.Font());
    canvas.SetBrush(FChart.Color(), bsClear);
    DrawText(FCenterPixel, FTitlePos, FTitle.Caption(), FTitle.Angle());
}

void TCustomChartAxis::DrawLabelText(int position, const QString& text) {
    if (FTickOnLabelsOnly) AddTick(position);
    FDrawnLabels.push_back({position, text});
    if (!text.isEmpty()) DrawText(position, FLabelsPos, text, FLabelsAngle);
}

void TCustomChartAxis::PlaceValueLabel(double value) {
    const int p = ValueToPosition(value);
    if (!FLabelsOnAxis && !(FStartPixel < p && p < FEndPixel)) return;
    if (!FTickOnLabelsOnly) AddTick(p);
    if (FLabels) DrawLabelText(p, FormatLabelValue(value));
}

// Labels from the top of the scale downward, at multiples of the step.
void TCustomChartAxis::DrawValueLabels(double step) {
    if (std::fabs(FScaleRange / step) >= 10000.0) return;
    double v = (FScaleMinimum == FScaleMaximum || !FRoundFirstLabel) ? FScaleMaximum
                                                                      : std::trunc(FScaleMaximum / step) * step;
    while (v > FScaleMaximum) v -= step;
    // Slightly below the minimum, so that a label exactly at a zero or
    // positive minimum is drawn.
    const double limit = (FScaleMinimum - 1e-12) / 1.000000000001;
    while (v >= limit) {
        PlaceValueLabel(v);
        const double next = v - step;
        if (next == v) break;  // the step is lost in v's precision
        v = next;
    }
}

// Powers of the base inside the scale.
void TCustomChartAxis::DrawLogarithmicValueLabels() {
    if (FScaleMinimum == FScaleMaximum || FLogarithmicBase < 2) return;
    double v = 0.0;
    if (FScaleMinimum > 0.0) {
        const double exponent = std::nearbyint(std::log(FScaleMinimum) / std::log(static_cast<double>(FLogarithmicBase)));
        v = std::pow(static_cast<double>(FLogarithmicBase), exponent);
    } else {
        FScaleMinimum = FScaleMinimum < 0.0 ? 1e-10 : 0.1;
        v = FScaleMinimum;
    }
    for (; v <= FScaleMaximum; v *= FLogarithmicBase)
        if (v >= FScaleMinimum) PlaceValueLabel(v);
}

// Labels taken from the stored point labels of the series on this axis;
// a label is drawn only when it keeps its distance to the previous one.
void TCustomChartAxis::DrawTextLabels() {
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

    TCanvas3D& canvas = FChart.Canvas();
    const bool along = FIsHorizontal == (FLabelsAngle != 90 && FLabelsAngle != 270);
    int prevPos = -1;
    int prevHalf = 0;
    for (int i = first; i <= last; ++i) {
        const auto owner = std::find_if(FLabelSeries.begin(), FLabelSeries.end(),
                                        [i](const TChartSeries* s) { return i < s->PointCount(); });
        if (owner == FLabelSeries.end()) continue;
        const TChartSeries& series = **owner;
        const double v = FIsHorizontal ? series.XValue(i) : series.YValue(i);
        if (v < FScaleMinimum || v > FScaleMaximum) continue;
        const int p = ValueToPosition(v);
        if (!FTickOnLabelsOnly) AddTick(p);
        if (!FLabels) continue;
        const QString& text = series.Label(i);
        int size = TextExtent(canvas, text, along);
        if (FLabelsSeparation != 0 && prevPos != -1) {
            size = (size + static_cast<int>(std::trunc(size * 0.02 * FLabelsSeparation))) / 2;
            const bool fits = (p >= prevPos && p - size >= prevPos + prevHalf) ||
                              (p < prevPos && p + size <= prevPos - prevHalf);
            if (!fits) continue;
            prevHalf = size;
        } else {
            prevHalf = size / 2;
        }
        DrawLabelText(p, text);
        prevPos = p;
    }
}

// A tick per position, starting one pixel off the axis line; direction +1
// goes outward (away from the plot), -1 inward.
void TCustomChartAxis::DrawTickLines(const std::vector<int>& positions, int direction, int length) {
    TCanvas3D& canvas = FChart.Canvas();
    const int outward = (FIsHorizontal != FIsOtherSide) ? direction : -direction;
    const int from = FAxisLinePos + outward;
    const int to = from + outward * length;
    for (const int p : positions) {
        if (FIsHorizontal)
            canvas.Line(p, from, p, to);
        else
            canvas.Line(from, p, to, p);
    }
}

void TCustomChartAxis::DrawGridLines(bool centered, const std::vector<int>& positions) {
    TCanvas3D& canvas = FChart.Canvas();
    const TRect& plot = FChart.PlotRect();
    const auto gridLine = [&](int p) {
        if (FIsHorizontal)
            canvas.Line(p, plot.Top, p, plot.Bottom);
        else
            canvas.Line(plot.Left, p, plot.Right, p);
    };
    if (!centered) {
        for (const int p : positions) gridLine(p);
        return;
    }
    for (std::size_t i = 1; i < positions.size(); ++i) gridLine(RoundToInt((positions[i] + positions[i - 1]) * 0.5));
}

void TCustomChartAxis::BuildMinorTicks() {
    FMinorTickList.clear();
    const int m = FMinorTickCount;
    const std::size_t count = FTickList.size();
    if (m <= 0 || count == 0) return;
    const auto keep = [this](int q) {
        if (FStartPixel < q && q < FEndPixel && FMinorTickList.size() < MaxTicks) FMinorTickList.push_back(q);
    };
    if (count > 1 && !FLogarithmic) {
        // Continue the spacing of the first two ticks beyond both ends.
        const double step = (FTickList[1] - FTickList[0]) / static_cast<double>(m + 1);
        for (int j = 1; j <= m; ++j) {
            keep(FTickList[0] - RoundToInt(j * step));
            keep(FTickList[count - 1] + RoundToInt(j * step));
        }
    }
    for (std::size_t i = 1; i < count; ++i) {
        if (!FLogarithmic) {
            for (int j = 1; j <= m; ++j)
                keep(FTickList[i] - RoundToInt(j * (FTickList[i] - FTickList[i - 1]) / static_cast<double>(m + 1)));
            continue;
        }
        double w = PositionToValue(FTickList[i - 1]);
        const double d = (FLogarithmicBase * w - w) / (m + 1);
        for (int j = 1; j <= m; ++j) {
            w += d;
            if (w > FScaleMaximum) break;
            keep(ValueToPosition(w));
        }
    }
}

void TCustomChartAxis::DrawTicksAndGrid() {
    TCanvas3D& canvas = FChart.Canvas();
    if (FAxis.Visible()) {
        canvas.SetPen(FAxis);
        if (FIsHorizontal)
            canvas.Line(FStartPixel, FAxisLinePos, FEndPixel, FAxisLinePos);
        else
            canvas.Line(FAxisLinePos, FStartPixel, FAxisLinePos, FEndPixel);
    }
    if (FTicks.Visible()) {
        canvas.SetPen(FTicks);
        DrawTickLines(FTickList, 1, FTickLength);
    }
    if (FGrid.Visible()) {
        canvas.SetBackModeTransparent(true);
        canvas.SetBrush(FChart.Color(), bsClear);
        canvas.SetPen(FGrid, clGray);
        DrawGridLines(FGridCentered, FTickList);
        canvas.SetBackModeTransparent(false);
    }
    if (FTicksInner.Visible()) {
        canvas.SetPen(FTicksInner);
        DrawTickLines(FTickList, -1, FTickInnerLength);
    }
    const bool minorNeeded = (FMinorTicks.Visible() || FMinorGrid.Visible()) && !FTickList.empty();
    if (minorNeeded) BuildMinorTicks();
    if (FMinorTicks.Visible() && minorNeeded) {
        canvas.SetPen(FMinorTicks);
        DrawTickLines(FMinorTickList, 1, FMinorTickLength);
    }
    if (FMinorGrid.Visible() && minorNeeded) {
        canvas.SetPen(FMinorGrid, clGray);
        DrawGridLines(false, FMinorTickList);
    }
}

void TCustomChartAxis::DrawAxis() {
    FTickList.clear();
    FMinorTickList.clear();
    FDrawnLabels.clear();
    TCanvas3D& canvas = FChart.Canvas();
    canvas.SetFont(FLabelsFont);
    const double step = CalcLabelIncrement();
    const TRect& plot = FChart.PlotRect();
    FAxisLinePos = FIsHorizontal ? (FIsOtherSide ? plot.Top : plot.Bottom) : (FIsOtherSide ? plot.Right : plot.Left);
    if (!FTitle.Caption().isEmpty()) DrawTitle();
    canvas.SetFont(FLabelsFont);
    canvas.SetBrush(FChart.Color(), bsClear);
    if (step > 0.0 && FScaleMaximum >= FScaleMinimum) {
        switch (EffectiveLabelStyle()) {
            case talValue:
                if (FLogarithmic && FIncrement == 0.0)
                    DrawLogarithmicValueLabels();
                else
                    DrawValueLabels(step);
                break;
            case talMark:
            case talText: DrawTextLabels(); break;
            default: break;
        }
    }
    DrawTicksAndGrid();
}

}  // namespace wellenschau
