// Drawing of one axis: title, the labels and ticks that UpdateLabels
// computed (AxisLabels.cpp), axis line, grid and minor ticks.
#include "chart/Canvas3D.h"
#include "chart/Chart.h"
#include "chart/ChartAxis.h"
#include "core/CheckedMath.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wellenschau {

namespace {

constexpr QChar LineSeparator(13);

}  // namespace

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
    DrawText(FScale.CenterPixel, FTitlePos, FTitle.Caption(), FTitle.Angle());
}

void TCustomChartAxis::DrawLabels() {
    for (const TAxisLabel& label : FDrawnLabels)
        if (!label.Text.isEmpty()) DrawText(label.Position, FLabelsPos, label.Text, FLabelsAngle);
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

void TCustomChartAxis::DrawTicksAndGrid() {
    TCanvas3D& canvas = FChart.Canvas();
    if (FAxis.Visible()) {
        canvas.SetPen(FAxis);
        if (FIsHorizontal)
            canvas.Line(FScale.StartPixel, FAxisLinePos, FScale.EndPixel, FAxisLinePos);
        else
            canvas.Line(FAxisLinePos, FScale.StartPixel, FAxisLinePos, FScale.EndPixel);
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
    const bool minorNeeded = MinorTicksNeeded();
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
    TCanvas3D& canvas = FChart.Canvas();
    const TRect& plot = FChart.PlotRect();
    FAxisLinePos = FIsHorizontal ? (FIsOtherSide ? plot.Top : plot.Bottom) : (FIsOtherSide ? plot.Right : plot.Left);
    if (!FTitle.Caption().isEmpty()) DrawTitle();
    canvas.SetFont(FLabelsFont);
    canvas.SetBrush(FChart.Color(), bsClear);
    UpdateLabelsIfChanged();
    DrawLabels();
    DrawTicksAndGrid();
}

}  // namespace wellenschau
