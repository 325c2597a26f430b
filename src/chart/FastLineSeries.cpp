#include "chart/FastLineSeries.h"

#include "chart/Canvas3D.h"
#include "chart/Chart.h"

#include <algorithm>

namespace wellenschau {

TFastLineSeries::TFastLineSeries() : FLinePen([this] { RepaintPoints(); }) {}

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

namespace {

// Whether (x, y) lies within tolerance pixels of the segment from a to b.
bool NearSegment(int x, int y, int ax, int ay, int bx, int by, int tolerance) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    double t = 0.0;
    if (lengthSquared > 0.0) t = std::clamp(((x - ax) * dx + (y - ay) * dy) / lengthSquared, 0.0, 1.0);
    const double ex = x - (ax + t * dx);
    const double ey = y - (ay + t * dy);
    return ex * ex + ey * ey <= static_cast<double>(tolerance) * tolerance;
}

}  // namespace

// Tests the polyline as the last paint drew it: the visible points, led in
// from the point before the first one, and only inside the clip rectangle.
int TFastLineSeries::Clicked(int x, int y) const {
    const TChart* chart = ParentChart();
    if (!chart || !GetHorizAxis() || !GetVertAxis() || FirstVisible() < 0) return -1;
    if (chart->ClipPoints() && !chart->SeriesClipRect().Contains(x, y)) return -1;
    const int last = std::min(LastVisible(), PointCount() - 1);
    const int first = std::max(FirstVisible() - 1, 0);
    if (first > last) return -1;
    int previousX = PositionX(first);
    int previousY = PositionY(first);
    if (first == last) return NearSegment(x, y, previousX, previousY, previousX, previousY, ClickTolerance) ? first : -1;
    for (int i = first + 1; i <= last; ++i) {
        const int px = PositionX(i);
        const int py = PositionY(i);
        if (NearSegment(x, y, previousX, previousY, px, py, ClickTolerance)) return i - 1;
        previousX = px;
        previousY = py;
    }
    return -1;
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
