// The back wall behind a chart's plot area: its colour, its brush (clear:
// transparent; solid: filled with the wall's colour) and its outline pen,
// which is also the chart's Frame. UI thread only.
#pragma once

#include "chart/ChartPen.h"
#include "chart/ChartTypes.h"
#include "core/Colors.h"

#include <functional>

namespace wellenschau {

class TChartBrush {
public:
    explicit TChartBrush(std::function<void()> onChange, TBrushStyle style)
        : FOnChange(std::move(onChange)), FStyle(style) {}

    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value) {
        if (FStyle == value) return;
        FStyle = value;
        FOnChange();
    }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) {
        if (FColor == value) return;
        FColor = value;
        FOnChange();
    }

private:
    std::function<void()> FOnChange;
    TBrushStyle FStyle;
    TColor FColor = clDefault;
};

class TChartWall {
public:
    TChartWall(const std::function<void()>& onChange, TColor color, TBrushStyle brushStyle)
        : FOnChange(onChange), FColor(color), FBrush(onChange, brushStyle), FPen(onChange) {}

    TColor Color() const { return FColor; }
    void SetColor(TColor value) {
        if (FColor == value) return;
        FColor = value;
        FOnChange();
    }
    TChartBrush& Brush() { return FBrush; }
    const TChartBrush& Brush() const { return FBrush; }
    TChartPen& Pen() { return FPen; }
    const TChartPen& Pen() const { return FPen; }

private:
    std::function<void()> FOnChange;
    TColor FColor;
    TChartBrush FBrush;
    TChartPen FPen;
};

}  // namespace wellenschau
