#include "chart/ChartSeries.h"

#include "chart/Chart.h"
#include "chart/ChartAxis.h"

namespace wellenschau {

TChartSeries::TChartSeries()
    : FXValues(*this, QStringLiteral("X"), loAscending), FYValues(*this, QStringLiteral("Y"), loNone) {}

TChartSeries::~TChartSeries() { SetParentChart(nullptr); }

void TChartSeries::SetParentChart(TChart* chart) {
    if (FParentChart == chart) return;
    if (FParentChart) FParentChart->RemoveSeries(*this);
    FParentChart = chart;
    if (FParentChart) FParentChart->AddSeries(*this);
    ResolveAxes();
}

void TChartSeries::ResolveAxes() {
    if (!FParentChart) {
        FHorizAxisObject = nullptr;
        FVertAxisObject = nullptr;
        return;
    }
    FHorizAxisObject = FHorizAxis == aTopAxis ? &FParentChart->TopAxis() : &FParentChart->BottomAxis();
    FVertAxisObject = FVertAxis == aRightAxis ? &FParentChart->RightAxis() : &FParentChart->LeftAxis();
}

void TChartSeries::SetActive(bool value) {
    if (FActive == value) return;
    FActive = value;
    if (FParentChart) FParentChart->InvalidateChart();
}

void TChartSeries::SetHorizAxis(THorizAxis value) {
    if (FHorizAxis == value) return;
    FHorizAxis = value;
    ResolveAxes();
    Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis value) {
    if (FVertAxis == value) return;
    FVertAxis = value;
    ResolveAxes();
    Repaint();
}

void TChartSeries::SetSeriesColor(TColor value) {
    if (FSeriesColor == value) return;
    FSeriesColor = value;
    RepaintPoints();
}

void TChartSeries::Repaint() {
    if (FParentChart) FParentChart->InvalidateChart();
}

void TChartSeries::RepaintPoints() {
    if (FParentChart) FParentChart->InvalidatePointsOf(*this);
}

// Appending in X order (what a refill does) costs two appended values: the
// colours and labels are stored only once a point brings its own.
int TChartSeries::AddPoint(double X, double Y, const QString& Label, TColor Color) {
    if (FOnBeforeAdd && !FOnBeforeAdd(*this)) return -1;
    const int index = FXValues.InsertInOrder(X);
    if (index == FYValues.Count())
        FYValues.AppendValue(Y);
    else
        FYValues.InsertValue(index, Y);
    const auto at = static_cast<std::size_t>(index);
    if (!FColors.empty() || Color != clDefault) {
        FColors.resize(static_cast<std::size_t>(PointCount()) - 1, clDefault);
        FColors.insert(FColors.begin() + static_cast<std::ptrdiff_t>(at), Color);
    }
    if (!FLabels.empty() || !Label.isEmpty()) {
        FLabels.resize(static_cast<std::size_t>(PointCount()) - 1);
        FLabels.insert(FLabels.begin() + static_cast<std::ptrdiff_t>(at), Label.isEmpty() ? QString() : Label);
    }
    PointAdded(index);
    return index;
}

const QString& TChartSeries::Label(int index) const {
    static const QString NoLabel;
    return FLabels.empty() ? NoLabel : FLabels[static_cast<std::size_t>(index)];
}

void TChartSeries::PointAdded(int index) {
    if (FOnAfterAdd) FOnAfterAdd(*this, index);
    if (FActive) RepaintPoints();
}

void TChartSeries::ClearPoints() {
    // Labels that go may take axis labels with them.
    const bool hadLabels = HasLabels();
    FXValues.Clear();
    FYValues.Clear();
    FColors.clear();
    FLabels.clear();
    if (FOnClearValues) FOnClearValues(*this);
    if (!FActive) return;
    if (hadLabels)
        Repaint();
    else
        RepaintPoints();
}

TColor TChartSeries::ValueColor(int index) const {
    const TColor color = FColors.empty() ? clDefault : FColors[static_cast<std::size_t>(index)];
    return color == clDefault ? FSeriesColor : color;
}

bool TChartSeries::UsesAxis(const TCustomChartAxis& axis) const {
    if (axis.IsDepthAxis()) return false;
    if (axis.IsHorizontal()) return FHorizAxis == aBothHorizAxis || &axis == FHorizAxisObject;
    return FVertAxis == aBothVertAxis || &axis == FVertAxisObject;
}

int TChartSeries::PositionX(int index) const { return FHorizAxisObject->ValueToPositionX(XValue(index)); }
int TChartSeries::PositionY(int index) const { return FVertAxisObject->ValueToPositionY(YValue(index)); }

int TChartSeries::Clicked(int /*x*/, int /*y*/) const { return -1; }

void TChartSeries::FindVisibleRange() {
    FFirstVisible = -1;
    FLastVisible = -1;
    const int count = PointCount();
    if (count < 1) return;
    if (!FClipToVisibleRange || FXValues.Order() == loNone || !FHorizAxisObject) {
        FFirstVisible = 0;
        FLastVisible = count - 1;
        return;
    }
    const TRect& plot = FParentChart->PlotRect();
    const TCustomChartAxis& axis = *FHorizAxisObject;
    const double left = axis.PositionToValue(axis.Inverted() ? plot.Right : plot.Left);
    const double right = axis.PositionToValue(axis.Inverted() ? plot.Left : plot.Right);
    int first = 0;
    while (first < count && XValue(first) < left) ++first;
    if (first == count) return;
    FFirstVisible = first;
    if (XValue(count - 1) <= right) {
        FLastVisible = count - 1;
        return;
    }
    int last = first;
    while (last < count && XValue(last) < right) ++last;
    if (last == count) {
        last = count - 1;
    } else if (!IncludesNextPoint() && XValue(last) > right) {
        --last;
    }
    FLastVisible = last;
}

void TChartSeries::NotifyBeforeDrawValues() {
    if (FBeforeDrawValues) FBeforeDrawValues(*this);
}

void TChartSeries::NotifyAfterDrawValues() {
    if (FAfterDrawValues) FAfterDrawValues(*this);
}

void CopyPoints(const TChartSeries& source, TChartSeries& target) {
    target.ClearPoints();
    for (int i = 0; i < source.PointCount(); ++i) target.AddPoint(source.XValue(i), source.YValue(i));
}

}  // namespace wellenschau
