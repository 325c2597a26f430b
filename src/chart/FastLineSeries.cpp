#include "chart/FastLineSeries.h"

#include "chart/Canvas3D.h"
#include "chart/Chart.h"

namespace wellenschau {

TFastLineSeries::TFastLineSeries() : FLinePen([this] { Repaint(); }) {}

void TFastLineSeries::SetLinePen(const TChartPen& pen) {
    FLinePen.Assign(pen);
    SetSeriesColor(pen.Color());
}

void TFastLineSeries::SetSeriesColor(TColor value) {
    TChartSeries::SetSeriesColor(value);
    FLinePen.SetColor(value);
}

void TFastLineSeries::DrawAllPoints() {
    TCanvas3D& canvas = ParentChart()->Canvas();
    canvas.SetPen(FLinePen);
    canvas.SetBrush(clWhite, bsClear);
    for (int i = FirstVisible(); i <= LastVisible(); ++i) DrawPoint(i);
}

void TFastLineSeries::DrawPoint(int index) {
    TCanvas3D& canvas = ParentChart()->Canvas();
    const int x = PositionX(index);
    const int y = PositionY(index);
    if (index != FirstVisible()) {
        if (x == FLastDrawnX && y == FLastDrawnY) return;
        canvas.LineTo(x, y);
    } else if (index == 0) {
        canvas.MoveTo(x, y);
    } else {
        // Enter the plot from the point just left of it.
        canvas.MoveTo(PositionX(index - 1), PositionY(index - 1));
        canvas.LineTo(x, y);
    }
    FLastDrawnX = x;
    FLastDrawnY = y;
}

void TFastLineSeries::PointAdded(int index) {
    if (FAutoRepaint) {
        TChartSeries::PointAdded(index);
        return;
    }
    TChart* chart = ParentChart();
    if (!chart || !chart->BeginDirectDraw()) return;
    TCanvas3D& canvas = chart->Canvas();
    canvas.SetPen(FLinePen);
    const int previous = index > 0 ? index - 1 : 0;
    FLastDrawnX = PositionX(previous);
    FLastDrawnY = PositionY(previous);
    canvas.MoveTo(FLastDrawnX, FLastDrawnY);
    DrawPoint(index);
    chart->EndDirectDraw();
}

}  // namespace wellenschau
