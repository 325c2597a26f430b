// TChartWidget: shows one TChart on screen, or another one set later. The
// chart belongs to the caller and must outlive the widget or be replaced; the widget keeps the chart's size
// equal to its own from its first resize on, and in paintEvent copies the chart's image,
// redrawing it first only when the chart is Dirty; a subclass may draw over
// it (PaintOverChart). The chart's
// invalidations become update() calls, RepaintNow a synchronous repaint().
// Mouse presses, moves, releases, wheel turns and the pointer leaving go to
// the chart's zoom (TChartZoom); while a zoom drag is active the rubber
// band is painted over the copied image, and a move repaints only the
// band's old and new outline. With measuring lines (ChartCursors.h) set,
// a left press on one of them drags it instead. UI thread only.
#pragma once

#include "chart/Chart.h"
#include "chart/ChartCursors.h"

#include <QWidget>

class QPainter;

namespace wellenschau {

class TChartWidget : public QWidget {
public:
    // Wheel turn (in Qt's eighths of a degree) of one wheel step.
    static constexpr int WheelStepDelta = 120;

    explicit TChartWidget(TChart& chart, QWidget* parent = nullptr);
    // Leaves the chart without a window to paint it.
    ~TChartWidget() override;

    TChart& Chart() { return *FChart; }
    // Shows another chart from now on, at the widget's size.
    void SetChart(TChart& chart);
    // The measuring lines presses may grab (nullptr: none); they must
    // outlive the widget or be unset.
    void SetCursors(TChartCursors* cursors) { FCursors = cursors; }

    // Image copies to the screen since construction (with or without a redraw).
    int CopyCount() const { return FCopyCount; }

protected:
    // Draws over the copied chart image, under the rubber band: what a
    // widget shows on top of the chart (nothing here).
    virtual void PaintOverChart(QPainter& /*painter*/) {}

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Schedules a repaint of the band's outline where it was and where it is now.
    void UpdateRubberBand();

    // Lets the chart ask the widget for updates and repaints, or (false) stop.
    void Connect(bool on);

    TChart* FChart;
    TChartCursors* FCursors = nullptr;
    int FCopyCount = 0;
    TRect FShownBand;
    // Wheel turn not yet consumed by whole steps (high-resolution wheels).
    int FWheelDelta = 0;
};

}  // namespace wellenschau
