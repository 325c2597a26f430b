// TChartCursors: measuring lines across a chart's plot that the user drags
// with the mouse. A vertical line stands at a value of the bottom axis, a
// horizontal one at a value of the left axis; each is a two-point line
// series of the chart reaching `reach` beyond zero both ways (beyond every
// range the chart shows; the plot clips it). A widget offers its presses
// to Grab first: a press within GrabPixels of a shown line drags that line
// until the release, any other press is left to the zoom. Positions are
// pixels of the chart's client area, mapped by the last paint.
// UI thread only.
#pragma once

#include "chart/FastLineSeries.h"

#include <array>
#include <functional>
#include <optional>

namespace wellenschau {

class TChart;

class TChartCursors {
public:
    // Pixels from a line within which a press grabs it.
    static constexpr int GrabPixels = 4;
    // Lines 0 and 1 are vertical, 2 and 3 horizontal.
    static constexpr std::size_t Count = 4;
    static bool IsVertical(std::size_t line) { return line < 2; }

    TChartCursors(TChart& chart, double reach, TColor color);

    // Shows the lines at a quarter and three quarters of the axes' ranges,
    // or hides them.
    void SetVisible(bool visible);
    bool Visible() const { return FVisible; }
    double Value(std::size_t line) const { return FValues.at(line); }
    void SetValue(std::size_t line, double value);
    // Called after a line moved.
    void SetOnChange(std::function<void()> handler) { FOnChange = std::move(handler); }

    // --- Mouse ---
    // Starts dragging the shown line nearest to (x, y) within GrabPixels
    // inside the plot; false (nothing starts) elsewhere.
    bool Grab(int x, int y);
    bool Dragging() const { return FDragged.has_value(); }
    // Moves the dragged line under the pointer.
    void DragTo(int x, int y);
    void Release() { FDragged.reset(); }

private:
    // The pixel of a line's value on its axis.
    int Pixel(std::size_t line) const;

    TChart& FChart;
    double FReach;
    std::array<TFastLineSeries, Count> FLines;
    std::array<double, Count> FValues{};
    std::optional<std::size_t> FDragged;
    bool FVisible = false;
    std::function<void()> FOnChange;
};

}  // namespace wellenschau
