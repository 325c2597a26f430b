#include "chart/ChartPen.h"

#include <utility>

namespace wellenschau {

TChartPen::TChartPen(std::function<void()> onChange, TColor color, int width, TPenStyle style, bool visible)
    : FOnChange(std::move(onChange)), FColor(color), FWidth(width), FStyle(style), FVisible(visible) {}

template <typename T>
void TChartPen::Store(T& field, T value) {
    if (field == value) return;
    field = value;
    if (FOnChange) FOnChange();
}

void TChartPen::SetColor(TColor value) { Store(FColor, value); }
void TChartPen::SetWidth(int value) { Store(FWidth, value); }
void TChartPen::SetStyle(TPenStyle value) { Store(FStyle, value); }
void TChartPen::SetVisible(bool value) { Store(FVisible, value); }
void TChartPen::SetSmallDots(bool value) { Store(FSmallDots, value); }

void TChartPen::Assign(const TChartPen& source) {
    FColor = source.FColor;
    FWidth = source.FWidth;
    FStyle = source.FStyle;
    FVisible = source.FVisible;
    FSmallDots = source.FSmallDots;
    if (FOnChange) FOnChange();
}

TChartFont::TChartFont(std::function<void()> onChange) : FOnChange(std::move(onChange)), FFont("Liberation Sans") {
    FFont.setPixelSize(11);
}

void TChartFont::Changed() {
    if (FOnChange) FOnChange();
}

void TChartFont::SetColor(TColor value) {
    if (FColor == value) return;
    FColor = value;
    Changed();
}

void TChartFont::SetPixelSize(int value) {
    if (FFont.pixelSize() == value) return;
    FFont.setPixelSize(value);
    Changed();
}

void TChartFont::SetName(const QString& value) {
    if (FFont.family() == value) return;
    FFont.setFamily(value);
    Changed();
}

void TChartFont::SetBold(bool value) {
    if (FFont.bold() == value) return;
    FFont.setBold(value);
    Changed();
}

}  // namespace wellenschau
