#include "chart/ChartCursors.h"

#include "chart/Chart.h"

#include <cstdlib>

namespace wellenschau {

namespace {

// Where a line starts when shown: a quarter and three quarters of the range.
constexpr double StartShares[] = {0.25, 0.75};

}  // namespace

TChartCursors::TChartCursors(TChart& chart, double reach, TColor color) : FChart(chart), FReach(reach) {
    for (std::size_t line = 0; line < Count; ++line) {
        FLines[line].SetParentChart(&chart);
        FLines[line].SetHorizAxis(aBottomAxis);
        FLines[line].SetVertAxis(aLeftAxis);
        FLines[line].SetSeriesColor(color);
        FLines[line].LinePen().SetStyle(psDash);
    }
}

void TChartCursors::SetVisible(bool visible) {
    FVisible = visible;
    FDragged.reset();
    for (std::size_t line = 0; line < Count; ++line) {
        if (!visible) {
            FLines[line].ClearPoints();
            continue;
        }
        const TChartAxis& axis = IsVertical(line) ? FChart.BottomAxis() : FChart.LeftAxis();
        const double share = StartShares[line % 2];
        SetValue(line, axis.Minimum() + share * (axis.Maximum() - axis.Minimum()));
    }
}

void TChartCursors::SetValue(std::size_t line, double value) {
    FValues.at(line) = value;
    TFastLineSeries& series = FLines[line];
    series.ClearPoints();
    if (IsVertical(line)) {
        series.AddPoint(value, -FReach);
        series.AddPoint(value, FReach);
    } else {
        series.AddPoint(-FReach, value);
        series.AddPoint(FReach, value);
    }
    if (FOnChange) FOnChange();
}

int TChartCursors::Pixel(std::size_t line) const {
    return IsVertical(line) ? FChart.BottomAxis().ValueToPosition(FValues[line])
                            : FChart.LeftAxis().ValueToPosition(FValues[line]);
}

bool TChartCursors::Grab(int x, int y) {
    if (!FVisible || !FChart.SeriesClipRect().Contains(x, y)) return false;
    int nearest = GrabPixels + 1;
    for (std::size_t line = 0; line < Count; ++line) {
        const int distance = std::abs((IsVertical(line) ? x : y) - Pixel(line));
        if (distance < nearest) {
            nearest = distance;
            FDragged = line;
        }
    }
    return Dragging();
}

void TChartCursors::DragTo(int x, int y) {
    if (!FDragged) return;
    const std::size_t line = *FDragged;
    SetValue(line, IsVertical(line) ? FChart.BottomAxis().PositionToValue(x) : FChart.LeftAxis().PositionToValue(y));
}

}  // namespace wellenschau
