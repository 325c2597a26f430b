// The pens and fonts of a chart's parts (axis line, ticks, grid, series
// line, wall outline, label texts). Every change calls the owner's change
// handler, which invalidates the chart. UI thread only.
#pragma once

#include "chart/ChartTypes.h"
#include "core/Colors.h"

#include <QFont>

#include <functional>

namespace wellenschau {

// A line style: colour, width, style, visibility and the one-pixel dotted
// variant (SmallDots). Not copyable: it belongs to one owner; Assign copies
// the look.
class TChartPen {
public:
    explicit TChartPen(std::function<void()> onChange = {}, TColor color = clBlack, int width = 1,
                       TPenStyle style = psSolid, bool visible = true);
    TChartPen(const TChartPen&) = delete;
    TChartPen& operator=(const TChartPen&) = delete;

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool SmallDots() const { return FSmallDots; }
    void SetSmallDots(bool value);

    // Copies colour, width, style, visibility and SmallDots; one change call.
    void Assign(const TChartPen& source);

private:
    template <typename T>
    void Store(T& field, T value);

    std::function<void()> FOnChange;
    TColor FColor;
    int FWidth;
    TPenStyle FStyle;
    bool FVisible;
    bool FSmallDots = false;
};

// A text font with its colour. Sizes are pixel sizes, so that layout does
// not depend on the screen's resolution. The default is the charts' "Arial"
// 8 pt at 96 dpi: Liberation Sans, 11 pixels, black.
class TChartFont {
public:
    explicit TChartFont(std::function<void()> onChange = {});
    TChartFont(const TChartFont&) = delete;
    TChartFont& operator=(const TChartFont&) = delete;

    const QFont& Font() const { return FFont; }
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int PixelSize() const { return FFont.pixelSize(); }
    void SetPixelSize(int value);
    QString Name() const { return FFont.family(); }
    void SetName(const QString& value);
    bool Bold() const { return FFont.bold(); }
    void SetBold(bool value);

private:
    void Changed();

    std::function<void()> FOnChange;
    QFont FFont;
    TColor FColor = clBlack;
};

}  // namespace wellenschau
