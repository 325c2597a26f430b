// TCanvas3D: the chart's drawing surface. It draws into an off-screen
// RGB32 QImage with the semantics the chart engine relies on:
// - a line from A to B leaves B unset (move-to/line-to), so a polyline sets
//   every vertex exactly once;
// - cosmetic dashed, dotted and dash-dot-dot pens with fixed run lengths,
//   their gaps filled with the background colour in opaque mode;
// - rectangles exclude their right and bottom edges;
// - text anchored at a reference point (left/centre/right, top/bottom of
//   the text cell), also rotated by 90 or 270 degrees;
// - one clip rectangle.
// Lines and fills are written straight into the image's pixels (no
// antialiasing, exact pixels); text is stamped from pixels a QPainter drew
// once (TTextStamps), images go through a QPainter.
// In 2D, which is all this program draws, positions pass through unchanged.
// Positions are logical pixels. On an image with a device pixel ratio
// other than 1 everything goes through the QPainter, which maps them onto
// the device pixels (a 1-pixel pen covers ratio device pixels, text is laid
// out at the device's resolution); the direct pixel paths assume one device
// pixel per logical pixel.
// UI thread only; the surface is bound to an image between Begin and End.
#pragma once

#include "chart/ChartPen.h"
#include "chart/ChartTypes.h"
#include "chart/TextMeasure.h"
#include "chart/TextStamps.h"
#include "core/Colors.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStaticText>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace wellenschau {

class TCanvas3D {
public:
    TCanvas3D();
    TCanvas3D(const TCanvas3D&) = delete;
    TCanvas3D& operator=(const TCanvas3D&) = delete;

    // Binds the surface to image (which must not be null) until End. The
    // image must stay unshared meanwhile: pixels are written through a
    // pointer taken here. Its logical size is its device size divided by
    // its device pixel ratio, rounded down.
    void Begin(QImage& image);
    void End();
    // The rows (logical pixels) anything was drawn on since Begin or the
    // last call, within the clip.
    TRows TakeTouchedRows() { return std::exchange(FTouchedRows, TRows{}); }
    bool IsActive() const { return FBits != nullptr; }

    // Selects a chart pen: an invisible one draws nothing, a visible
    // SmallDots pen of width 1 sets every other pixel, otherwise colour,
    // width and style are taken over. fallback replaces clDefault.
    void SetPen(const TChartPen& pen, TColor fallback = clBlack);
    void SetPen(TColor color, int width = 1, TPenStyle style = psSolid);
    void SetBrush(TColor color, TBrushStyle style);
    // Transparent: the gaps of patterned pens stay untouched; opaque: they
    // take the background colour.
    void SetBackModeTransparent(bool transparent) { FBackTransparent = transparent; }
    void SetBackColor(TColor color);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Line(int x0, int y0, int x1, int y1);
    // Outline with the pen on the rectangle's outer pixels, inside with the brush.
    void Rectangle(const TRect& r);
    void FillRect(const TRect& r, TColor color);
    // Fills r except where it overlaps hole.
    void FillRectAround(const TRect& r, const TRect& hole, TColor color);

    // Selects the font for measuring and drawing (it may be set before Begin).
    void SetFont(const TChartFont& font);
    int TextWidth(const QString& text) { return Prepared(text).Width; }
    // Height of a text cell ("W") in the current font.
    int FontHeight() const { return FMetrics.height(); }
    void TextOut(int x, int y, const QString& text, THorizTextAlign horiz, TVertTextAlign vert);
    // Text rotated counter-clockwise by angle degrees about (x, y); the
    // alignment applies in the rotated frame.
    void RotatedTextOut(int x, int y, const QString& text, int angle, THorizTextAlign horiz, TVertTextAlign vert);

    void ClipRectangle(const TRect& r);
    void UnClipRectangle();

    void Draw(int x, int y, const QImage& graphic);
    void StretchDraw(const TRect& r, const QImage& graphic);

    // Back to the neutral state: black solid pen of width 1, white solid
    // brush, white transparent background. Every user of the surface sets
    // its own font before drawing text.
    void Reset();

    // Line segments drawn since construction (segments that set no pixel
    // because they start and end on one pixel included).
    std::int64_t LinesDrawn() const { return FLinesDrawn; }

private:
    static constexpr int MaxDashRuns = 6;
    struct TDash {
        std::array<std::uint8_t, MaxDashRuns> Runs{};
        int Count = 0;  // 0: solid
        int Length = 0;
    };

    // Notes that rows top..bottom (excluded) may be drawn on.
    void TouchRows(int top, int bottom);
    void SelectDash(TPenStyle style);
    void FillPixels(const TRect& r, std::uint32_t rgb);
    // A line's walk along its major axis (x when |dx| >= |dy|), clipped to
    // the steps First..Stop; the minor coordinate is kept inside
    // MinorLow..MinorHigh (exclusive) pixel by pixel.
    struct TLineWalk {
        bool XMajor = true;
        long long N = 0;
        long long DMinor = 0;
        int MajorStep = 1;
        int MinorStep = 1;
        long long Major0 = 0;
        long long Minor0 = 0;
        long long MinorLow = 0;
        long long MinorHigh = 0;
        long long First = 0;
        long long Stop = 0;
        void Start(long long& minorOffset, long long& remainder) const;
    };
    void RasterLine(int x0, int y0, int x1, int y1, bool includeEnd);
    void WalkStraight(const TLineWalk& walk);
    void WalkSolid(const TLineWalk& walk);
    void WalkDashed(const TLineWalk& walk);
    // The pixels RasterLine sets, stroked by the QPainter in logical coordinates.
    void PainterLine(int x0, int y0, int x1, int y1);
    QPen PainterPen(std::uint32_t rgb) const;
    void ApplyPainterClip();
    // The painter on the bound image, begun on first use.
    QPainter& EnsurePainter();
    TPixelTarget PixelTarget() const;
    int TextReach(int width) const;
    // Texts laid out once per font: the labels of a chart repeat from paint
    // to paint, so measuring and drawing them allocates nothing after the
    // first paint.
    struct TPreparedText {
        QStaticText Text;
        int Width = 0;
    };
    struct TFontTexts {
        QFont Font;
        QHash<QString, TPreparedText> Texts;
    };
    static constexpr qsizetype MaxPreparedTexts = 1000;
    const TPreparedText& Prepared(const QString& text);
    QPoint TextOrigin(int width, THorizTextAlign horiz, TVertTextAlign vert) const;

    QPainter FPainter;
    QImage* FImage = nullptr;
    TTextStamps FStamps;
    QFont FFont;
    QFontMetrics FMetrics;
    std::vector<TFontTexts> FFontTexts;
    std::size_t FCurrentFontTexts = 0;
    std::uint32_t* FBits = nullptr;
    qsizetype FStride = 0;  // pixels per image row
    // The bound image has a device pixel ratio other than 1: no direct pixel paths.
    bool FScaled = false;
    TRect FBounds;
    TRect FClip;
    bool FClipped = false;
    TRows FTouchedRows;

    std::uint32_t FPenRgb = 0xFF000000;
    int FPenWidth = 1;
    bool FPenVisible = true;
    TDash FDash;
    bool FBackTransparent = false;
    std::uint32_t FBackRgb = 0xFFFFFFFF;
    std::uint32_t FBrushRgb = 0xFFFFFFFF;
    bool FBrushSolid = true;
    QColor FTextColor = Qt::black;
    int FPenX = 0;
    int FPenY = 0;
    std::int64_t FLinesDrawn = 0;
};

// Measures text in a font on a canvas: selects the font when made.
class TCanvasTextMeasure final : public TTextMeasure {
public:
    TCanvasTextMeasure(TCanvas3D& canvas, const TChartFont& font) : FCanvas(canvas) { FCanvas.SetFont(font); }
    int TextWidth(const QString& text) override { return FCanvas.TextWidth(text); }
    int FontHeight() override { return FCanvas.FontHeight(); }

private:
    TCanvas3D& FCanvas;
};

}  // namespace wellenschau
