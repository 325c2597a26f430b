// TFastLineSeries: a series drawn as one polyline with a single pen. Points
// that land on the pixel of the last drawn vertex cost nothing, and only
// the points inside the horizontal scale (plus the neighbours that lead
// into and out of it) are drawn. UI thread only.
#pragma once

#include "chart/ChartPen.h"
#include "chart/ChartSeries.h"

namespace wellenschau {

class TFastLineSeries : public TChartSeries {
public:
    TFastLineSeries();

    // True: adding a point invalidates the chart; False: the new segment is
    // drawn at once onto the chart's last image.
    bool AutoRepaint() const { return FAutoRepaint; }
    void SetAutoRepaint(bool value) { FAutoRepaint = value; }
    TChartPen& LinePen() { return FLinePen; }
    // Copies the pen's look and takes its colour as the series colour.
    void SetLinePen(const TChartPen& pen);
    bool IncludeNextPoint() const { return FIncludeNextPoint; }
    void SetIncludeNextPoint(bool value) { FIncludeNextPoint = value; }
    int LastDrawnX() const { return FLastDrawnX; }
    int LastDrawnY() const { return FLastDrawnY; }

    // Also colours the line.
    void SetSeriesColor(TColor value) override;
    // The first point of the drawn segment through (x, y).
    int Clicked(int x, int y) const override;
    void DrawAllPoints() override;
    void DrawPoint(int index) override;

protected:
    bool IncludesNextPoint() const override { return FIncludeNextPoint; }
    void PointAdded(int index) override;

private:
    // Pixels a press may lie off the line and still hit it.
    static constexpr int ClickTolerance = 3;

    bool FAutoRepaint = true;
    bool FIncludeNextPoint = true;
    TChartPen FLinePen;
    int FLastDrawnX = 0;
    int FLastDrawnY = 0;
};

}  // namespace wellenschau
