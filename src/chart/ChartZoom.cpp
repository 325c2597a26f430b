#include "chart/ChartZoom.h"

#include "chart/Chart.h"
#include "chart/ChartSeries.h"
#include "chart/QtColor.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace wellenschau {

namespace {

// The narrowest range a zoom, pan or undo leaves on an axis.
constexpr double MinimumAxisRange = 1e-10;
// A wheel step scrolls by this percentage of the range.
constexpr double WheelScrollPercent = 3.0;

// The band across a visible axis from AxisClickGap pixels inside its line
// to the labels' edge, along it from StartPixel to EndPixel.
bool InAxisClickBand(const TCustomChartAxis& axis, int x, int y) {
    const int along = axis.IsHorizontal() ? x : y;
    const int across = axis.IsHorizontal() ? y : x;
    if (along < axis.StartPixel() || along > axis.EndPixel()) return false;
    // Bottom and right axes have the plot on the smaller side of their line.
    const bool plotBefore = axis.IsHorizontal() != axis.IsOtherSide();
    const int inside = axis.AxisLinePos() + (plotBefore ? -TChartZoom::AxisClickGap : TChartZoom::AxisClickGap);
    const int outside = axis.Labels() ? axis.LabelsPos() : axis.AxisLinePos();
    return std::min(inside, outside) <= across && across <= std::max(inside, outside);
}

bool HasActiveSeries(const TChart& chart) {
    return std::ranges::any_of(chart.SeriesList(), [](const TChartSeries* s) { return s->Active(); });
}

void Fire(const TChartNotifyEvent& event, TChart& chart) {
    if (event) event(chart);
}

}  // namespace

void TZoomPanData::Activate(int x, int y) {
    X0 = X1 = x;
    Y0 = Y1 = y;
    Active = true;
}

void TZoomPanData::OrderCorners() {
    if (X0 > X1) std::swap(X0, X1);
    if (Y0 > Y1) std::swap(Y0, Y1);
}

void StoreAxisBounds(TCustomChartAxis& axis, double a, double b) {
    const double minimum = std::min(a, b);
    double maximum = std::max(a, b);
    if (maximum - minimum < MinimumAxisRange) maximum = minimum + MinimumAxisRange;
    axis.SetMinMax(minimum, maximum);
}

void SetAxisBounds(TCustomChartAxis& axis, double a, double b) {
    axis.SwitchAutomaticOff();
    StoreAxisBounds(axis, a, b);
}

TChartZoom::TChartZoom(TChart& chart) : FChart(chart) {}

std::array<TChartAxis*, TChartZoom::ZoomAxisCount> TChartZoom::ZoomAxes() const {
    return {&FChart.LeftAxis(), &FChart.RightAxis(), &FChart.TopAxis(), &FChart.BottomAxis()};
}

// --- Mouse entry points ---

void TChartZoom::MouseDown(TMouseButton button, int x, int y) {
    if (FZoom.Active || FPanning.Active) return;
    if (CalcClickedPart(x, y).Part == TChartClickedPart::None) return;
    if (button == mbLeft && FChart.AllowZoom())
        FZoom.Activate(x, y);
    else if (button == mbRight && FChart.AllowPanning() != pmNone)
        FPanning.Activate(x, y);
}

void TChartZoom::MouseMove(int x, int y) {
    if (FZoom.Active) {
        FZoom.X1 = x;
        FZoom.Y1 = y;
        return;
    }
    if (!FPanning.Active) return;
    if (!FChart.PlotRect().Contains(x, y)) {
        FPanning.Active = false;
        return;
    }
    if (x == FPanning.X1 && y == FPanning.Y1) return;
    if (FScalesRestored) SaveScales();
    // The record keeps the last position unordered: each step pans by the
    // pointer's own movement, so the value under it stays under it.
    const bool horizontalMoved = ShiftAxesForPan(true, x, FPanning.X1);
    const bool verticalMoved = ShiftAxesForPan(false, y, FPanning.Y1);
    FPanning.X1 = x;
    FPanning.Y1 = y;
    if (!horizontalMoved && !verticalMoved) return;
    Fire(FChart.OnScroll(), FChart);
    FChart.InvalidateChart();
}

void TChartZoom::MouseUp(TMouseButton button, int x, int y) {
    if (FZoom.Active && button == mbLeft) {
        FZoom.Active = false;
        FZoom.X1 = x;
        FZoom.Y1 = y;
        if (std::abs(FZoom.X1 - FZoom.X0) > MinimumDragPixels && std::abs(FZoom.Y1 - FZoom.Y0) > MinimumDragPixels) {
            if (FZoom.X0 < FZoom.X1 && FZoom.Y0 < FZoom.Y1)
                ZoomIn();
            else
                UndoZoom();
            FChart.InvalidateChart();
        }
    }
    FPanning.Active = false;
}

void TChartZoom::MouseLeave() { FPanning.Active = false; }

void TChartZoom::MouseWheel(bool down) {
    for (TChartAxis* axis : {&FChart.LeftAxis(), &FChart.RightAxis()}) {
        const double shift = (axis->Maximum() - axis->Minimum()) * WheelScrollPercent / 100.0;
        const double s = down ? shift : -shift;
        axis->SwitchAutomaticOff();
        axis->SetMinMax(axis->Minimum() + s, axis->Maximum() + s);
    }
    FChart.RepaintNow();
}

// --- Operations ---

TChartClicked TChartZoom::CalcClickedPart(int x, int y) const {
    const std::vector<TChartSeries*>& series = FChart.SeriesList();
    for (auto it = series.rbegin(); it != series.rend(); ++it) {
        if (!(*it)->Active()) continue;
        const int index = (*it)->Clicked(x, y);
        if (index >= 0) return {TChartClickedPart::Series, *it, index, nullptr};
    }
    for (TCustomChartAxis* axis : FChart.AxisList())
        if (axis->IsVisible() && InAxisClickBand(*axis, x, y)) return {TChartClickedPart::Axis, nullptr, -1, axis};
    if (HasActiveSeries(FChart) && FChart.PlotRect().Contains(x, y)) return {TChartClickedPart::ChartRect};
    return {};
}

void TChartZoom::ZoomIn() {
    FZoom.OrderCorners();
    const std::array<TChartAxis*, ZoomAxisCount> axes = ZoomAxes();
    std::array<TRange, ZoomAxisCount> targets;
    for (std::size_t i = 0; i < ZoomAxisCount; ++i) {
        const TChartAxis& axis = *axes[i];
        const double a = axis.PositionToValue(axis.IsHorizontal() ? FZoom.X0 : FZoom.Y1);
        const double b = axis.PositionToValue(axis.IsHorizontal() ? FZoom.X1 : FZoom.Y0);
        targets[i] = {std::min(a, b), std::max(a, b)};
    }
    if (FScalesRestored) SaveScales();
    if (FChart.AnimatedZoom()) {
        for (int step = 1; step < FChart.AnimatedZoomSteps(); ++step) {
            for (std::size_t i = 0; i < ZoomAxisCount; ++i) {
                TChartAxis& axis = *axes[i];
                const double maximum = axis.Maximum() - (axis.Maximum() - targets[i].Maximum) / AnimatedZoomFactor;
                const double minimum = axis.Minimum() + (targets[i].Minimum - axis.Minimum()) / AnimatedZoomFactor;
                SetAxisBounds(axis, minimum, maximum);
            }
            FChart.RepaintNow();
        }
    }
    for (std::size_t i = 0; i < ZoomAxisCount; ++i) SetAxisBounds(*axes[i], targets[i].Minimum, targets[i].Maximum);
    FZoomed = true;
    Fire(FChart.OnZoom(), FChart);
}

// The saved Automatic flags come back through the property setters; the
// saved bounds are written without clearing them again, so a partly
// automatic axis stays as it was saved.
void TChartZoom::UndoZoom() {
    if (!FScalesRestored) {
        const std::array<TChartAxis*, ZoomAxisCount> axes = ZoomAxes();
        for (std::size_t i = 0; i < ZoomAxisCount; ++i) {
            TChartAxis& axis = *axes[i];
            const TSavedScales& saved = FSavedScales[i];
            axis.SetAutomatic(saved.Automatic);
            axis.SetAutomaticMinimum(saved.AutomaticMinimum);
            axis.SetAutomaticMaximum(saved.AutomaticMaximum);
            if (!axis.Automatic()) StoreAxisBounds(axis, saved.Minimum, saved.Maximum);
        }
    }
    FScalesRestored = true;
    Fire(FChart.OnUndoZoom(), FChart);
    FChart.InvalidateChart();
    FZoomed = false;
}

void TChartZoom::SaveScales() {
    const std::array<TChartAxis*, ZoomAxisCount> axes = ZoomAxes();
    for (std::size_t i = 0; i < ZoomAxisCount; ++i) {
        const TChartAxis& axis = *axes[i];
        FSavedScales[i] = {axis.Automatic(), axis.AutomaticMinimum(), axis.AutomaticMaximum(), axis.Minimum(),
                           axis.Maximum()};
    }
    FScalesRestored = false;
}

bool TChartZoom::PanningAllowedFor(bool horizontal) const {
    const TPanningMode mode = FChart.AllowPanning();
    return mode == pmBoth || mode == (horizontal ? pmHorizontal : pmVertical);
}

bool TChartZoom::ShiftAxesForPan(bool horizontal, int toPixel, int fromPixel) {
    if (toPixel == fromPixel || !PanningAllowedFor(horizontal)) return false;
    bool moved = false;
    for (TCustomChartAxis* axis : FChart.AxisList()) {
        if (axis->IsDepthAxis() || axis->IsHorizontal() != horizontal) continue;
        const double d = axis->PositionToValue(fromPixel) - axis->PositionToValue(toPixel);
        double minimum = axis->Minimum() + d;
        double maximum = axis->Maximum() + d;
        bool allow = true;
        if (FChart.OnAllowScroll()) FChart.OnAllowScroll()(*axis, minimum, maximum, allow);
        if (!allow) continue;
        SetAxisBounds(*axis, minimum, maximum);
        moved = true;
    }
    return moved;
}

// --- Rubber band ---

TRect TChartZoom::RubberBand() const {
    if (!FZoom.Active) return {};
    return {std::min(FZoom.X0, FZoom.X1), std::min(FZoom.Y0, FZoom.Y1), std::max(FZoom.X0, FZoom.X1),
            std::max(FZoom.Y0, FZoom.Y1)};
}

QRgb TChartZoom::RubberBandPen() const {
    const QRgb rgb = ToQColor(FChart.Color()).rgb() & 0xFFFFFFu;
    return rgb == 0xFFFFFFu ? 0u : rgb;
}

}  // namespace wellenschau
