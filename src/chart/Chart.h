// TChart: the chart panel. It owns five axes and a drawing surface, holds
// the attached series (in attaching order) and paints background, border,
// back wall, axes and series into an off-screen RGB32 image:
// - every property change invalidates the chart (marks it Dirty); nothing
//   paints until Paint() (or RepaintNow), so several changes between two
//   paints cost one redraw;
// - Paint() redraws only when Dirty and otherwise hands back the image of
//   the last paint;
// - what lies behind the series (panel, back wall, axes with their grid
//   and labels) is kept as a layer of its own: a change of the points
//   alone costs a copy of the layer and the series, and the layer is
//   drawn again only after another change, or when the layout (plot
//   rectangle, axis scales, number format) comes out different;
// - the image is reused while the size stays the same;
// - at a pixel ratio r the image has r times the device pixels of the
//   chart's size and carries r as its device pixel ratio; every position
//   the chart takes or reports stays in logical pixels.
// The chart is fully usable without a window: SetSize, Paint, Image. A
// widget (TChartWidget) shows it and registers callbacks through which
// invalidation reaches the screen.
// A chart counts as placed in a window (HasParentControl) unless told
// otherwise, so that a chart rendered without a window looks the same as
// the one on screen. UI thread only.
#pragma once

#include "chart/Canvas3D.h"
#include "chart/ChartAxis.h"
#include "chart/ChartTypes.h"
#include "chart/ChartWall.h"
#include "chart/ChartZoom.h"
#include "core/Colors.h"

#include <QImage>
#include <QLocale>

#include <array>
#include <functional>
#include <vector>

namespace wellenschau {

class TChartSeries;

// Notifications of the mouse zoom: after a zoom, an undo, a pan step.
using TChartNotifyEvent = std::function<void(TChart&)>;
// Asked for every axis a pan moves: may change the proposed bounds or
// forbid the move (allow := false).
using TChartAllowScrollEvent = std::function<void(TCustomChartAxis& axis, double& minimum, double& maximum, bool& allow)>;

class TChart {
public:
    TChart();
    TChart(const TChart&) = delete;
    TChart& operator=(const TChart&) = delete;
    // Detaches the series that are still attached.
    ~TChart();

    // --- The control ---
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetSize(int width, int height);
    // Device pixels per logical pixel of the image (1 by default): the
    // screen's device pixel ratio renders the chart sharp there.
    qreal PixelRatio() const { return FPixelRatio; }
    void SetPixelRatio(qreal value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    // Margins in percent of the chart's width (left, right) or height.
    int MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(int value);
    int MarginTop() const { return FMarginTop; }
    void SetMarginTop(int value);
    int MarginRight() const { return FMarginRight; }
    void SetMarginRight(int value);
    int MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(int value);

    // --- Walls and images ---
    // The back wall's colour. Writing it on a placed chart outside loading
    // also makes the wall solid; otherwise the wall keeps its brush.
    TColor BackColor() const { return FBackWall.Color(); }
    void SetBackColor(TColor value);
    TChartWall& BackWall() { return FBackWall; }
    // The outline of the back wall (the same pen as BackWall().Pen()).
    TChartPen& Frame() { return FBackWall.Pen(); }
    const QImage& BackImage() const { return FBackImage; }
    void SetBackImage(const QImage& image);
    bool BackImageInside() const { return FBackImageInside; }
    void SetBackImageInside(bool value);
    TOrbaBackImageMode BackImageMode() const { return FBackImageMode; }
    void SetBackImageMode(TOrbaBackImageMode value);
    bool AxisVisible() const { return FAxisVisible; }
    void SetAxisVisible(bool value);
    bool ClipPoints() const { return FClipPoints; }
    void SetClipPoints(bool value);

    // --- Axes and series ---
    TChartAxis& BottomAxis() { return FBottomAxis; }
    TChartAxis& TopAxis() { return FTopAxis; }
    TChartAxis& LeftAxis() { return FLeftAxis; }
    const TChartAxis& LeftAxis() const { return FLeftAxis; }
    TChartAxis& RightAxis() { return FRightAxis; }
    TChartDepthAxis& DepthAxis() { return FDepthAxis; }
    // Bottom, top, left, right, depth: the order of layout and drawing.
    const std::array<TCustomChartAxis*, 5>& AxisList() const { return FAxisList; }
    const std::vector<TChartSeries*>& SeriesList() const { return FSeriesList; }

    // --- Mouse zoom and panning ---
    // A square plot: the axes' room taken, the longer side of the plot
    // shrinks to the shorter one, centred (for X-Y pictures).
    bool SquarePlot() const { return FSquarePlot; }
    void SetSquarePlot(bool value) {
        FSquarePlot = value;
        InvalidateChart();
    }
    bool AllowZoom() const { return FAllowZoom; }
    void SetAllowZoom(bool value) { FAllowZoom = value; }
    TPanningMode AllowPanning() const { return FAllowPanning; }
    void SetAllowPanning(TPanningMode value) { FAllowPanning = value; }
    bool AnimatedZoom() const { return FAnimatedZoom; }
    void SetAnimatedZoom(bool value) { FAnimatedZoom = value; }
    int AnimatedZoomSteps() const { return FAnimatedZoomSteps; }
    void SetAnimatedZoomSteps(int value) { FAnimatedZoomSteps = value; }
    const TChartNotifyEvent& OnZoom() const { return FOnZoom; }
    void SetOnZoom(TChartNotifyEvent handler) { FOnZoom = std::move(handler); }
    const TChartNotifyEvent& OnUndoZoom() const { return FOnUndoZoom; }
    void SetOnUndoZoom(TChartNotifyEvent handler) { FOnUndoZoom = std::move(handler); }
    const TChartNotifyEvent& OnScroll() const { return FOnScroll; }
    void SetOnScroll(TChartNotifyEvent handler) { FOnScroll = std::move(handler); }
    const TChartAllowScrollEvent& OnAllowScroll() const { return FOnAllowScroll; }
    void SetOnAllowScroll(TChartAllowScrollEvent handler) { FOnAllowScroll = std::move(handler); }
    // The drags, saved scales and mouse entry points.
    TChartZoom& Zoom() { return FZoom; }
    const TChartZoom& Zoom() const { return FZoom; }

    // --- Loading the stored layout ---
    // While loading, axis bounds are accepted in any order and BackColor
    // leaves the back wall's brush alone.
    void BeginLoading() { FLoading = true; }
    void EndLoading() { FLoading = false; }
    bool IsLoading() const { return FLoading; }
    bool HasParentControl() const { return FHasParentControl; }
    void SetHasParentControl(bool value) { FHasParentControl = value; }

    // --- Geometry of the last paint ---
    const TRect& PanelBounds() const { return FPanelBounds; }
    const TRect& PlotRect() const { return FPlotRect; }
    int PlotWidth() const { return FPlotRect.Width(); }
    int PlotHeight() const { return FPlotRect.Height(); }
    TCanvas3D& Canvas() { return FCanvas; }
    // Where series are drawn: the plot without its left column and its top
    // and bottom rows, where the axis lines and the wall's outline lie.
    TRect SeriesClipRect() const;

    // --- Invalidation and painting ---
    // Marks the chart Dirty; the first invalidation after a paint asks the
    // window (if any) for an update.
    // Inline: every added point calls it, and it is nearly always dirty already.
    void InvalidateChart() {
        FLayerValid = false;
        MarkDirty();
    }
    bool Dirty() const { return FDirty; }
    // Invalidates and paints at once: through the window when one is
    // registered, else straight into the image. Only invalidates while loading.
    void RepaintNow();
    // Called when the chart wants to be shown again (the widget's update()).
    void SetOnUpdateRequest(std::function<void()> handler) { FOnUpdateRequest = std::move(handler); }
    // Called by RepaintNow for a synchronous paint (the widget's repaint()).
    void SetOnRepaintRequest(std::function<void()> handler) { FOnRepaintRequest = std::move(handler); }
    // Redraws when Dirty; returns the image of the latest paint (null for
    // an empty size).
    const QImage& Paint();
    const QImage& Image() const { return FImage; }
    // Redraws since construction, and how many of them drew the layer
    // behind the series too.
    int DrawCount() const { return FDrawCount; }
    int LayerDrawCount() const { return FLayerDrawCount; }

    // Draws onto the latest image outside a paint (a series adding a point
    // without repainting); false when there is no image yet. EndDirectDraw
    // asks the window to show the image again.
    bool BeginDirectDraw();
    void EndDirectDraw();

private:
    friend class TChartSeries;
    void AddSeries(TChartSeries& series);
    void RemoveSeries(TChartSeries& series);
    // Invalidates after a change of series' points; the next paint keeps
    // the layer when the axes take neither labels nor positions from them.
    void InvalidatePointsOf(TChartSeries& series);
    bool LayerShowsPointsOf(const TChartSeries& series) const;
    // Whether a series whose points changed since the last paint shows in the layer.
    bool ChangedPointsShowInLayer();
    template <typename T>
    void Store(T& field, T value);
    void MarkDirty() {
        if (FDirty) return;
        FDirty = true;
        if (FOnUpdateRequest) FOnUpdateRequest();
    }

    // What the layer was drawn for, besides the properties whose changes
    // invalidate it.
    struct TLayerLayout {
        TRect Plot;
        std::array<TAxisScale, 5> Scales;
        QLocale Locale;
        friend bool operator==(const TLayerLayout&, const TLayerLayout&) = default;
    };
    TLayerLayout CurrentLayout() const;

    void Draw();
    void DrawLayer();
    void RestoreLayer(const TRows& rows);
    void PaintPanelBackground();
    void DrawPanelFrame();
    void DrawBevel(TRect& r, TBevelCut cut);
    void NormalizePlotRect();
    void LayoutAxes();
    void DrawBackWall();
    bool BackWallSolid() const;
    TRect BackWallRect() const;
    void DrawBackImage(const TRect& r);
    void DrawSeries();

    int FWidth = 0;
    int FHeight = 0;
    qreal FPixelRatio = 1;
    TColor FColor = clBtnFace;
    int FBorderWidth = 0;
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FMarginLeft = 3;
    int FMarginTop = 4;
    int FMarginRight = 3;
    int FMarginBottom = 4;
    TChartWall FBackWall;
    QImage FBackImage;
    bool FBackImageInside = false;
    TOrbaBackImageMode FBackImageMode = pbmStretch;
    bool FAxisVisible = true;
    bool FClipPoints = true;

    TChartAxis FBottomAxis;
    TChartAxis FTopAxis;
    TChartAxis FLeftAxis;
    TChartAxis FRightAxis;
    TChartDepthAxis FDepthAxis;
    std::array<TCustomChartAxis*, 5> FAxisList;
    std::vector<TChartSeries*> FSeriesList;

    bool FAllowZoom = true;
    bool FSquarePlot = false;
    TPanningMode FAllowPanning = pmBoth;
    bool FAnimatedZoom = false;
    int FAnimatedZoomSteps = 8;
    TChartNotifyEvent FOnZoom;
    TChartNotifyEvent FOnUndoZoom;
    TChartNotifyEvent FOnScroll;
    TChartAllowScrollEvent FOnAllowScroll;
    TChartZoom FZoom;

    bool FLoading = false;
    bool FHasParentControl = true;
    TRect FPanelBounds;
    TRect FPlotRect;
    TCanvas3D FCanvas;
    QImage FImage;
    QImage FLayer;
    bool FLayerValid = false;
    // Rows of the image the series drew on since the layer was copied whole.
    TRows FSeriesRows;
    TLayerLayout FLayerLayout;
    bool FDirty = true;
    int FDrawCount = 0;
    int FLayerDrawCount = 0;
    std::function<void()> FOnUpdateRequest;
    std::function<void()> FOnRepaintRequest;
};

}  // namespace wellenschau
