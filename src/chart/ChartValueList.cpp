#include "chart/ChartValueList.h"

#include "chart/ChartSeries.h"

#include <algorithm>

namespace wellenschau {

TChartValueList::TChartValueList(TChartSeries& owner, const QString& name, TChartListOrder order)
    : FOwner(owner), FName(name), FOrder(order) {}

void TChartValueList::SetMultiplier(double value) {
    if (FMultiplier == value) return;
    FMultiplier = value;
    FStatsDirty = true;
    FOwner.Repaint();
}

void TChartValueList::RecalcStats() const {
    if (!FStatsDirty) return;
    FMinValue = 0.0;
    FMaxValue = 0.0;
    if (!FValues.empty()) {
        const auto [low, high] = std::minmax_element(FValues.begin(), FValues.end());
        FMinValue = std::min(*low * FMultiplier, *high * FMultiplier);
        FMaxValue = std::max(*low * FMultiplier, *high * FMultiplier);
    }
    FStatsDirty = false;
}

double TChartValueList::MinValue() const {
    RecalcStats();
    return FMinValue;
}

double TChartValueList::MaxValue() const {
    RecalcStats();
    return FMaxValue;
}

int TChartValueList::InsertBeforeLast(double v) {
    // Scan from the end for the last value that v may follow.
    auto index = FValues.size();
    while (index > 0 && !(FOrder == loAscending ? v >= FValues[index - 1] : v <= FValues[index - 1])) --index;
    FValues.insert(FValues.begin() + static_cast<std::ptrdiff_t>(index), v);
    return static_cast<int>(index);
}

void TChartValueList::InsertValue(int index, double v) {
    FStatsDirty = true;
    FValues.insert(FValues.begin() + index, v);
}

void TChartValueList::Clear() {
    FValues.clear();
    FStatsDirty = true;
}

}  // namespace wellenschau
