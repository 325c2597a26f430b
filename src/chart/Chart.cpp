#include "chart/Chart.h"

#include "chart/ChartSeries.h"
#include "core/CheckedMath.h"

#include <QtMath>

#include <algorithm>
#include <cstring>
#include <utility>

namespace wellenschau {

namespace {

// The look of a raised bevel's lit and shaded edges.
constexpr TColor BevelHighlight = clWhite;
constexpr TColor BevelShadow = 0xA0A0A0;

}  // namespace

TChart::TChart()
    : FBackWall([this] { InvalidateChart(); }, clDefault, bsClear),
      FBottomAxis(*this, true, false, false),
      FTopAxis(*this, true, true, false),
      FLeftAxis(*this, false, false, false),
      FRightAxis(*this, false, true, false),
      FDepthAxis(*this),
      FAxisList{&FBottomAxis, &FTopAxis, &FLeftAxis, &FRightAxis, &FDepthAxis},
      FZoom(*this) {}

TChart::~TChart() {
    for (TChartSeries* series : FSeriesList) {
        series->FParentChart = nullptr;
        series->ResolveAxes();
    }
}

template <typename T>
void TChart::Store(T& field, T value) {
    if (field == value) return;
    field = value;
    InvalidateChart();
}

void TChart::SetSize(int width, int height) {
    if (FWidth == width && FHeight == height) return;
    FWidth = width;
    FHeight = height;
    InvalidateChart();
}

void TChart::SetPixelRatio(qreal value) { Store(FPixelRatio, value); }
void TChart::SetColor(TColor value) { Store(FColor, value); }
void TChart::SetBorderWidth(int value) { Store(FBorderWidth, value); }
void TChart::SetBevelOuter(TBevelCut value) { Store(FBevelOuter, value); }
void TChart::SetBevelInner(TBevelCut value) { Store(FBevelInner, value); }
void TChart::SetBevelWidth(int value) { Store(FBevelWidth, value); }
void TChart::SetMarginLeft(int value) { Store(FMarginLeft, value); }
void TChart::SetMarginTop(int value) { Store(FMarginTop, value); }
void TChart::SetMarginRight(int value) { Store(FMarginRight, value); }
void TChart::SetMarginBottom(int value) { Store(FMarginBottom, value); }
void TChart::SetBackImageInside(bool value) { Store(FBackImageInside, value); }
void TChart::SetBackImageMode(TOrbaBackImageMode value) { Store(FBackImageMode, value); }
void TChart::SetAxisVisible(bool value) { Store(FAxisVisible, value); }
void TChart::SetClipPoints(bool value) { Store(FClipPoints, value); }

void TChart::SetBackImage(const QImage& image) {
    FBackImage = image;
    InvalidateChart();
}

void TChart::SetBackColor(TColor value) {
    FBackWall.SetColor(value);
    if (FHasParentControl && !FLoading) FBackWall.Brush().SetStyle(bsSolid);
}

void TChart::InvalidatePointsOf(TChartSeries& series) {
    series.FPointsChanged = true;
    MarkDirty();
}

bool TChart::ChangedPointsShowInLayer() {
    bool shown = false;
    for (TChartSeries* series : FSeriesList)
        if (std::exchange(series->FPointsChanged, false)) shown = shown || LayerShowsPointsOf(*series);
    return shown;
}

// Points reach the layer through labels: their own, or the positions a
// text-labelled axis takes from them. The scales they give automatic axes
// are caught by comparing the layout.
bool TChart::LayerShowsPointsOf(const TChartSeries& series) const {
    return series.HasLabels() || std::ranges::any_of(FAxisList, [&series](const TCustomChartAxis* axis) {
               return series.UsesAxis(*axis) && axis->EffectiveLabelStyle() == talText;
           });
}

void TChart::AddSeries(TChartSeries& series) {
    FSeriesList.push_back(&series);
    InvalidateChart();
}

void TChart::RemoveSeries(TChartSeries& series) {
    std::erase(FSeriesList, &series);
    InvalidateChart();
}

void TChart::RepaintNow() {
    InvalidateChart();
    if (FLoading) return;
    if (FOnRepaintRequest)
        FOnRepaintRequest();
    else
        Paint();
}

const QImage& TChart::Paint() {
    if (FDirty) Draw();
    return FImage;
}

namespace {

// Gives image the device size and pixel ratio; true when it had to be made anew.
bool FitImage(QImage& image, const QSize& deviceSize, qreal ratio) {
    if (image.size() == deviceSize && image.devicePixelRatio() == ratio) return false;
    image = QImage(deviceSize, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return true;
}

}  // namespace

void TChart::Draw() {
    FDirty = false;
    if (FWidth <= 0 || FHeight <= 0) {
        FImage = QImage();
        return;
    }
    // Rounded up, so that the image covers the whole chart at any ratio.
    const QSize deviceSize(qCeil(FWidth * FPixelRatio), qCeil(FHeight * FPixelRatio));
    bool wholeImage = FitImage(FImage, deviceSize, FPixelRatio);
    if (FitImage(FLayer, deviceSize, FPixelRatio)) FLayerValid = false;
    FPanelBounds = {0, 0, FWidth, FHeight};
    const auto margin = [](int percent, int size) { return RoundToInt(percent * size / 100.0); };
    FPlotRect = {FPanelBounds.Left + FBorderWidth + margin(FMarginLeft, FWidth),
                 FPanelBounds.Top + FBorderWidth + margin(FMarginTop, FHeight),
                 FPanelBounds.Right - FBorderWidth - margin(FMarginRight, FWidth),
                 FPanelBounds.Bottom - FBorderWidth - margin(FMarginBottom, FHeight)};
    NormalizePlotRect();
    // The layout is measured on the layer, at the resolution it is drawn at.
    FCanvas.Begin(FLayer);
    LayoutAxes();
    TLayerLayout layout = CurrentLayout();
    if (ChangedPointsShowInLayer() || !FLayerValid || !(layout == FLayerLayout)) {
        DrawLayer();
        FLayerLayout = std::move(layout);
        FLayerValid = true;
        ++FLayerDrawCount;
        wholeImage = true;
    }
    FCanvas.End();
    RestoreLayer(wholeImage ? TRows{0, FHeight} : FSeriesRows);
    FCanvas.Begin(FImage);
    DrawSeries();
    FSeriesRows = FCanvas.TakeTouchedRows();
    FCanvas.Reset();
    FCanvas.End();
    ++FDrawCount;
}

// Copies the layer's rows (logical pixels) into the image.
void TChart::RestoreLayer(const TRows& rows) {
    if (rows.IsEmpty()) return;
    const int top = std::clamp(qFloor(rows.Top * FPixelRatio), 0, FLayer.height());
    const int bottom = std::clamp(qCeil(rows.Bottom * FPixelRatio), top, FLayer.height());
    const qsizetype line = FLayer.bytesPerLine();
    std::memcpy(FImage.bits() + top * line, FLayer.constBits() + top * line, static_cast<std::size_t>((bottom - top) * line));
}

TChart::TLayerLayout TChart::CurrentLayout() const {
    TLayerLayout layout{FPlotRect, {}, QLocale()};
    for (std::size_t i = 0; i < FAxisList.size(); ++i) layout.Scales[i] = FAxisList[i]->Scale();
    return layout;
}

namespace {

TRect CentredSquare(const TRect& r) {
    const int side = std::min(r.Width(), r.Height());
    const int left = r.Left + (r.Width() - side) / 2;
    const int top = r.Top + (r.Height() - side) / 2;
    return {left, top, left + side, top + side};
}

}  // namespace

void TChart::NormalizePlotRect() {
    FPlotRect.Left = std::max(FPlotRect.Left, FPanelBounds.Left);
    FPlotRect.Top = std::max(FPlotRect.Top, FPanelBounds.Top);
    if (FPlotRect.Right < FPlotRect.Left)
        FPlotRect.Right = FPlotRect.Left + 1;
    else if (FPlotRect.Right == FPlotRect.Left)
        FPlotRect.Right = FPlotRect.Left + FWidth;
    if (FPlotRect.Bottom < FPlotRect.Top)
        FPlotRect.Bottom = FPlotRect.Top + 1;
    else if (FPlotRect.Bottom == FPlotRect.Top)
        FPlotRect.Bottom = FPlotRect.Top + FHeight;
}

// The layer, back to front: panel, back wall, axes (behind the series).
// The axes are laid out first (which draws nothing), so that the panel's
// fill can leave out what a solid back wall covers anyway. Titles, legend,
// 3D and series margins play no part in 2D charts whose series are fast lines.
void TChart::DrawLayer() {
    PaintPanelBackground();
    DrawBackWall();
    if (FAxisVisible)
        for (TCustomChartAxis* axis : FAxisList)
            if (axis->IsVisible()) axis->DrawAxis();
}

bool TChart::BackWallSolid() const {
    return FBackWall.Brush().Style() != bsClear && FBackWall.Color() != clDefault;
}

TRect TChart::BackWallRect() const { return {FPlotRect.Left, FPlotRect.Top, FPlotRect.Right + 1, FPlotRect.Bottom + 1}; }

// Only opaque fills happen between this fill and the back wall's, so the
// pixels a solid wall covers need not be filled here (unless an outside
// image is drawn onto them first).
void TChart::PaintPanelBackground() {
    const bool outsideImage = !FBackImage.isNull() && !FBackImageInside;
    if (BackWallSolid() && !outsideImage)
        FCanvas.FillRectAround(FPanelBounds, BackWallRect(), FColor);
    else
        FCanvas.FillRect(FPanelBounds, FColor);
    if (outsideImage) DrawBackImage(FPanelBounds);
    DrawPanelFrame();
}

// Draws one bevel ring set (width FBevelWidth) just inside r and shrinks r.
void TChart::DrawBevel(TRect& r, TBevelCut cut) {
    if (cut == bvNone) return;
    const TColor lit = cut == bvRaised ? BevelHighlight : BevelShadow;
    const TColor shaded = cut == bvRaised ? BevelShadow : BevelHighlight;
    for (int ring = 0; ring < FBevelWidth && !r.IsEmpty(); ++ring) {
        FCanvas.FillRect({r.Left, r.Top, r.Right - 1, r.Top + 1}, lit);
        FCanvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom - 1}, lit);
        FCanvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, shaded);
        FCanvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, shaded);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

void TChart::DrawPanelFrame() {
    TRect r = FPanelBounds;
    DrawBevel(r, FBevelOuter);
    // The border strip shows the control's colour (over an outside image).
    for (int ring = 0; ring < FBorderWidth && !r.IsEmpty(); ++ring) {
        FCanvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, FColor);
        FCanvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, FColor);
        FCanvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, FColor);
        FCanvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, FColor);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    DrawBevel(r, FBevelInner);
}

void TChart::LayoutAxes() {
    for (TCustomChartAxis* axis : FAxisList) axis->UpdateScale();
    NormalizePlotRect();
    TRect current = FPlotRect;
    for (TCustomChartAxis* axis : FAxisList) {
        if (!axis->IsVisible()) continue;
        TRect r = current;
        axis->ReserveSpace(r);
        if (!r.IsEmpty()) current = r;
    }
    if (FSquarePlot) current = CentredSquare(current);
    FPlotRect = current;
    NormalizePlotRect();
    for (TCustomChartAxis* axis : FAxisList) axis->UpdatePixelRange(FPlotRect);
}

void TChart::DrawBackWall() {
    FCanvas.SetPen(FBackWall.Pen());
    FCanvas.SetBrush(FBackWall.Color(), BackWallSolid() ? bsSolid : bsClear);
    // Outline on the plot rectangle's edge pixels, right and bottom included.
    FCanvas.Rectangle(BackWallRect());
    if (FBackImage.isNull() || !FBackImageInside) return;
    TRect r = FPlotRect;
    if (FBackWall.Pen().Visible()) r = {r.Left, r.Top + 1, r.Right, r.Bottom - 1};
    DrawBackImage(r);
}

void TChart::DrawBackImage(const TRect& r) {
    const int imageWidth = FBackImage.width();
    const int imageHeight = FBackImage.height();
    if (imageWidth == 0 || imageHeight == 0) return;
    switch (FBackImageMode) {
        case pbmStretch: FCanvas.StretchDraw(r, FBackImage); break;
        case pbmTile:
            FCanvas.ClipRectangle(r);
            for (int y = r.Top; y < r.Top + r.Height(); y += imageHeight)
                for (int x = r.Left; x < r.Left + r.Width(); x += imageWidth) FCanvas.Draw(x, y, FBackImage);
            FCanvas.UnClipRectangle();
            break;
        case pbmCenter:
            FCanvas.ClipRectangle(r);
            FCanvas.FillRect(r, FColor);
            FCanvas.Draw(r.Left + (r.Width() - imageWidth) / 2, r.Top + (r.Height() - imageHeight) / 2, FBackImage);
            FCanvas.UnClipRectangle();
            break;
    }
}

TRect TChart::SeriesClipRect() const {
    return {FPlotRect.Left + 1, FPlotRect.Top + 1, FPlotRect.Right, FPlotRect.Bottom - 1};
}

void TChart::DrawSeries() {
    for (TChartSeries* series : FSeriesList) {
        if (!series->Active()) continue;
        series->FindVisibleRange();
        if (series->FirstVisible() == -1) continue;
        series->NotifyBeforeDrawValues();
        if (FClipPoints) FCanvas.ClipRectangle(SeriesClipRect());
        series->DrawAllPoints();
        FCanvas.UnClipRectangle();
        series->NotifyAfterDrawValues();
    }
}

bool TChart::BeginDirectDraw() {
    if (FImage.isNull() || FCanvas.IsActive()) return false;
    FCanvas.Begin(FImage);
    if (FClipPoints) FCanvas.ClipRectangle(SeriesClipRect());
    return true;
}

void TChart::EndDirectDraw() {
    FSeriesRows = FSeriesRows.JoinedWith(FCanvas.TakeTouchedRows());
    FCanvas.End();
    if (FOnUpdateRequest) FOnUpdateRequest();
}

}  // namespace wellenschau
