// TChartWidget: shows one TChart on screen. It owns the chart, keeps its
// size equal to the widget's, and in paintEvent copies the chart's image,
// redrawing it first only when the chart is Dirty. The chart's
// invalidations become update() calls, RepaintNow a synchronous repaint().
// UI thread only.
#pragma once

#include "chart/Chart.h"

#include <QWidget>

namespace wellenschau {

class TChartWidget : public QWidget {
public:
    explicit TChartWidget(QWidget* parent = nullptr);

    TChart& Chart() { return FChart; }

    // Image copies to the screen since construction (with or without a redraw).
    int CopyCount() const { return FCopyCount; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TChart FChart;
    int FCopyCount = 0;
};

}  // namespace wellenschau
