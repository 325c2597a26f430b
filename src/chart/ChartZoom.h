// TChartZoom: the mouse zoom and panning of one chart. It keeps the two
// drag records (zoom with the left button, pan with the right one), the
// scales saved for the undo and the Zoomed state, finds what a press hit,
// and changes the chart's axes:
// - a left drag to the right and downward zooms every axis to the value
//   range under the dragged rectangle; a left drag the other way restores
//   the scales saved at the first zoom or pan after the last undo; drags of
//   16 pixels or less in either direction change nothing;
// - a right drag shifts the scales so that the value under the pointer
//   stays under it, until the pointer leaves the plot rectangle;
// - a wheel step scrolls the vertical axes by 3 % of their range.
// Positions are pixels of the chart's client area; the mapping is the one
// of the chart's last paint. The chart owns its TChartZoom; a widget
// forwards its mouse events and draws the rubber band (RubberBand.h).
// UI thread only.
#pragma once

#include "chart/ChartTypes.h"

#include <QRgb>

#include <array>

namespace wellenschau {

class TChart;
class TChartAxis;
class TChartSeries;
class TCustomChartAxis;

// One drag: the press position (X0, Y0) and the current one (X1, Y1).
struct TZoomPanData {
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;
    bool Active = false;

    void Activate(int x, int y);
    // Swaps the corners so that X0 <= X1 and Y0 <= Y1.
    void OrderCorners();
};

// The part of the chart under a press, first match in this order.
enum class TChartClickedPart : std::uint8_t { None, Series, Axis, ChartRect };

struct TChartClicked {
    TChartClickedPart Part = TChartClickedPart::None;
    TChartSeries* Series = nullptr;
    int PointIndex = -1;
    TCustomChartAxis* Axis = nullptr;
};

class TChartZoom {
public:
    // Pixels the zoom drag must exceed in both directions.
    static constexpr int MinimumDragPixels = 16;
    // Pixels of an axis' click band on the plot's side of the axis line.
    static constexpr int AxisClickGap = 3;
    // An animated zoom step covers this fraction (1/3) of the way.
    static constexpr double AnimatedZoomFactor = 3.0;

    explicit TChartZoom(TChart& chart);
    TChartZoom(const TChartZoom&) = delete;
    TChartZoom& operator=(const TChartZoom&) = delete;

    // --- Mouse entry points ---
    // A press on a series, an axis or the plot starts the zoom (left
    // button, when allowed) or the pan drag (right button, when allowed);
    // presses elsewhere and presses during a drag start nothing.
    void MouseDown(TMouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(TMouseButton button, int x, int y);
    // The pointer left the control: the pan ends.
    void MouseLeave();
    // One wheel step: down (toward the user) scrolls the vertical axes up
    // the scale by 3 % of their range, up scrolls them down; then repaints.
    void MouseWheel(bool down);

    // --- Operations ---
    TChartClicked CalcClickedPart(int x, int y) const;
    // Zooms every axis to the range under the zoom record's rectangle.
    void ZoomIn();
    // Restores the saved scales (if any were saved since the last undo).
    void UndoZoom();

    // --- State ---
    const TZoomPanData& ZoomDrag() const { return FZoom; }
    const TZoomPanData& PanDrag() const { return FPanning; }
    bool Zoomed() const { return FZoomed; }
    // True while no scales are saved (at creation and after every undo).
    bool ScalesRestored() const { return FScalesRestored; }
    // The rubber band while a zoom drag is active (empty otherwise), and
    // the colour it is combined with: not(pixel xor pen).
    TRect RubberBand() const;
    QRgb RubberBandPen() const;

private:
    struct TSavedScales {
        bool Automatic = true;
        bool AutomaticMinimum = true;
        bool AutomaticMaximum = true;
        double Minimum = 0.0;
        double Maximum = 0.0;
    };
    struct TRange {
        double Minimum = 0.0;
        double Maximum = 0.0;
    };
    static constexpr std::size_t ZoomAxisCount = 4;

    // Left, right, top, bottom: the axes a zoom changes.
    std::array<TChartAxis*, ZoomAxisCount> ZoomAxes() const;
    void SaveScales();
    // Shifts the horizontal or the vertical axes so that the value at pixel
    // fromPixel moves to pixel toPixel; true when an axis moved.
    bool ShiftAxesForPan(bool horizontal, int toPixel, int fromPixel);
    // True when the chart's AllowPanning lets the pan move these axes.
    bool PanningAllowedFor(bool horizontal) const;

    TChart& FChart;
    TZoomPanData FZoom;
    TZoomPanData FPanning;
    std::array<TSavedScales, ZoomAxisCount> FSavedScales;
    bool FScalesRestored = true;
    bool FZoomed = false;
};

// Sets both bounds of an axis for a zoom, pan or undo: the smaller value
// becomes Minimum and a range below 1e-10 is widened to 1e-10, so no bound
// check can fail. SetAxisBounds also switches the automatic scale off.
void StoreAxisBounds(TCustomChartAxis& axis, double a, double b);
void SetAxisBounds(TCustomChartAxis& axis, double a, double b);

}  // namespace wellenschau
