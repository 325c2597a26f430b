#include "chart/BarSeries.h"

#include "chart/Canvas3D.h"
#include "chart/Chart.h"
#include "core/Errors.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

void TBarSeries::SetBarWidthPercent(int value) {
    if (value < 1 || value > 100) throw ERangeError();
    FBarWidthPercent = value;
    RepaintPoints();
}

double TBarSeries::MinXValue() const { return TChartSeries::MinXValue() - 0.5; }
double TBarSeries::MaxXValue() const { return TChartSeries::MaxXValue() + 0.5; }

std::optional<TRect> TBarSeries::BarBounds(int index) const {
    const TCustomChartAxis* horizontal = GetHorizAxis();
    const TCustomChartAxis* vertical = GetVertAxis();
    if (!horizontal || !vertical) return std::nullopt;
    const double value = YValue(index);
    const double minimum = vertical->ScaleMinimum();
    // Not above the minimum, or not a number: no bar.
    if (!(value > minimum)) return std::nullopt;
    const double halfWidth = FBarWidthPercent / 200.0;
    const int x0 = horizontal->ValueToPositionX(XValue(index) - halfWidth);
    const int x1 = horizontal->ValueToPositionX(XValue(index) + halfWidth);
    const int y0 = vertical->ValueToPositionY(minimum);
    const int y1 = vertical->ValueToPositionY(std::min(value, vertical->ScaleMaximum()));
    // Both edges of the span from minimum to value belong to the bar.
    const TRect bar{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1) + 1};
    if (bar.IsEmpty()) return std::nullopt;
    return bar;
}

int TBarSeries::Clicked(int x, int y) const {
    if (!ParentChart() || FirstVisible() < 0) return -1;
    for (int i = FirstVisible(); i <= std::min(LastVisible(), PointCount() - 1); ++i) {
        const std::optional<TRect> bar = BarBounds(i);
        if (bar && bar->Contains(x, y)) return i;
    }
    return -1;
}

void TBarSeries::DrawAllPoints() {
    for (int i = FirstVisible(); i <= LastVisible(); ++i) DrawPoint(i);
}

void TBarSeries::DrawPoint(int index) {
    if (const std::optional<TRect> bar = BarBounds(index)) ParentChart()->Canvas().FillRect(*bar, ValueColor(index));
}

}  // namespace wellenschau
