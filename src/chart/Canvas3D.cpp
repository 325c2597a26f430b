#include "chart/Canvas3D.h"
#include "chart/QtColor.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

namespace wellenschau {

namespace {

std::uint32_t PixelOf(TColor color) { return ToQColor(color).rgb() | 0xFF000000u; }

// Run lengths (on, off, on, ...) of the cosmetic pen styles.
constexpr std::uint8_t DashRuns[] = {18, 6};
constexpr std::uint8_t DotRuns[] = {3, 3};
constexpr std::uint8_t DashDotRuns[] = {9, 6, 3, 6};
constexpr std::uint8_t DashDotDotRuns[] = {9, 3, 3, 3, 3, 3};
constexpr std::uint8_t SmallDotRuns[] = {1, 1};

__extension__ typedef __int128 TWideInt;

// Cuts line to its part inside rect (Liang-Barsky) and returns the length
// cut off at its start; nothing when no part of it lies inside.
std::optional<qreal> ClipLine(QLineF& line, const QRectF& rect) {
    const QPointF start = line.p1();
    const QPointF d = line.p2() - start;
    qreal enter = 0;
    qreal leave = 1;
    // Inside each edge: p * t <= q at the line's point start + t * d.
    const std::pair<qreal, qreal> edges[] = {{-d.x(), start.x() - rect.left()},
                                             {d.x(), rect.right() - start.x()},
                                             {-d.y(), start.y() - rect.top()},
                                             {d.y(), rect.bottom() - start.y()}};
    for (const auto& [p, q] : edges) {
        if (p == 0) {
            if (q < 0) return std::nullopt;
        } else if (p < 0) {
            enter = std::max(enter, q / p);
        } else {
            leave = std::min(leave, q / p);
        }
    }
    if (enter > leave) return std::nullopt;
    line = QLineF(start + enter * d, start + leave * d);
    return enter * std::hypot(d.x(), d.y());
}

}  // namespace

// The QPainter is begun only when something needs it (see EnsurePainter):
// begun, it costs time and allocations on every paint.
void TCanvas3D::Begin(QImage& image) {
    FImage = &image;
    FBits = reinterpret_cast<std::uint32_t*>(image.bits());
    FStride = image.bytesPerLine() / 4;
    const qreal ratio = image.devicePixelRatio();
    FScaled = ratio != 1;
    FBounds = {0, 0, static_cast<int>(image.width() / ratio), static_cast<int>(image.height() / ratio)};
    FClip = FBounds;
    FClipped = false;
    TakeTouchedRows();
}

void TCanvas3D::TouchRows(int top, int bottom) {
    FTouchedRows = FTouchedRows.JoinedWith({std::max(top, FClip.Top), std::min(bottom, FClip.Bottom)});
}

void TCanvas3D::End() {
    if (FPainter.isActive()) FPainter.end();
    FImage = nullptr;
    FBits = nullptr;
}

QPainter& TCanvas3D::EnsurePainter() {
    if (FPainter.isActive()) return FPainter;
    FPainter.begin(FImage);
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    FPainter.setFont(FFont);
    ApplyPainterClip();
    return FPainter;
}

void TCanvas3D::SelectDash(TPenStyle style) {
    const auto use = [this](const auto& runs) {
        FDash.Count = static_cast<int>(std::size(runs));
        FDash.Length = 0;
        for (int i = 0; i < FDash.Count; ++i) {
            FDash.Runs[static_cast<std::size_t>(i)] = runs[i];
            FDash.Length += runs[i];
        }
    };
    switch (style) {
        case psDash: use(DashRuns); break;
        case psDot: use(DotRuns); break;
        case psDashDot: use(DashDotRuns); break;
        case psDashDotDot: use(DashDotDotRuns); break;
        default: FDash.Count = 0; break;
    }
}

void TCanvas3D::SetPen(const TChartPen& pen, TColor fallback) {
    if (!pen.Visible()) {
        SetPen(clBlack, 1, psClear);
        return;
    }
    SetPen(pen.Color() == clDefault ? fallback : pen.Color(), pen.Width(), pen.Style());
    if (pen.SmallDots() && pen.Width() == 1) {
        FDash.Count = 2;
        FDash.Length = 2;
        FDash.Runs[0] = SmallDotRuns[0];
        FDash.Runs[1] = SmallDotRuns[1];
    }
}

void TCanvas3D::SetPen(TColor color, int width, TPenStyle style) {
    FPenRgb = PixelOf(color);
    FPenWidth = std::max(width, 1);
    FPenVisible = style != psClear;
    // Wide pens are geometric and draw solid.
    SelectDash(FPenWidth == 1 ? style : psSolid);
}

void TCanvas3D::SetBrush(TColor color, TBrushStyle style) {
    FBrushRgb = PixelOf(color);
    FBrushSolid = style == bsSolid;
}

void TCanvas3D::SetBackColor(TColor color) { FBackRgb = PixelOf(color); }

void TCanvas3D::MoveTo(int x, int y) {
    FPenX = x;
    FPenY = y;
}

void TCanvas3D::LineTo(int x, int y) {
    Line(FPenX, FPenY, x, y);
    FPenX = x;
    FPenY = y;
}

void TCanvas3D::Line(int x0, int y0, int x1, int y1) {
    ++FLinesDrawn;
    if (!FPenVisible || !IsActive()) return;
    // The end pixel and a wide pen's reach included.
    TouchRows(std::min(y0, y1) - FPenWidth, std::max(y0, y1) + FPenWidth + 1);
    if (FScaled) {
        PainterLine(x0, y0, x1, y1);
        return;
    }
    if (FPenWidth == 1) {
        RasterLine(x0, y0, x1, y1, false);
        return;
    }
    // A wide pen: parallel one-pixel lines across the line's direction,
    // ends included (the pen's round caps cover them); an even width
    // reaches one pixel further to the left or top.
    const bool steep = std::abs(static_cast<long long>(y1) - y0) > std::abs(static_cast<long long>(x1) - x0);
    for (int offset = -(FPenWidth / 2); offset <= (FPenWidth - 1) / 2; ++offset) {
        if (steep)
            RasterLine(x0 + offset, y0, x1 + offset, y1, true);
        else
            RasterLine(x0, y0 + offset, x1, y1 + offset, true);
    }
}

// The stroke covers the pixels RasterLine sets: through the pixel centres,
// along the major axis from half a pixel before the first pixel to half a
// pixel before the end pixel (with a wide pen: after it); across the line,
// an even width reaches one pixel further to the left or top. The stroke
// is cut down to the clip rectangle first (and the pattern moved on by
// what was cut): Qt's dashing draws far too long lines solid.
void TCanvas3D::PainterLine(int x0, int y0, int x1, int y1) {
    const qreal dx = static_cast<qreal>(x1) - x0;
    const qreal dy = static_cast<qreal>(y1) - y0;
    const qreal steps = std::max(std::abs(dx), std::abs(dy));
    const bool wide = FPenWidth > 1;
    if (steps == 0 && !wide) return;
    const QPointF halfStep = steps > 0 ? QPointF(dx, dy) / (2 * steps) : QPointF(0.5, 0);
    QPointF centre(0.5, 0.5);
    if (FPenWidth % 2 == 0) (std::abs(dx) >= std::abs(dy) ? centre.ry() : centre.rx()) = 0;
    QLineF stroke(QPointF(x0, y0) + centre - halfStep, QPointF(x1, y1) + centre + (wide ? halfStep : -halfStep));
    // The margin keeps the cut ends outside the clip rectangle.
    const int margin = FPenWidth + 1;
    const QRectF clip(FClip.Left - margin, FClip.Top - margin, FClip.Width() + 2 * margin, FClip.Height() + 2 * margin);
    const std::optional<qreal> cut = ClipLine(stroke, clip);
    if (!cut) return;
    QPainter& painter = EnsurePainter();
    if (FDash.Count == 0) {
        painter.setPen(PainterPen(FPenRgb));
        painter.drawLine(stroke);
        return;
    }
    if (!FBackTransparent) {
        painter.setPen(PainterPen(FBackRgb));
        painter.drawLine(stroke);
    }
    QPen dashed = PainterPen(FPenRgb);
    QList<qreal> runs;
    for (int i = 0; i < FDash.Count; ++i) runs.append(FDash.Runs[static_cast<std::size_t>(i)]);
    dashed.setDashPattern(runs);
    dashed.setDashOffset(*cut);  // in pen widths, which is 1 for patterned pens
    painter.setPen(dashed);
    painter.drawLine(stroke);
}

// Flat caps: the stroke ends where the line's pixels end.
QPen TCanvas3D::PainterPen(std::uint32_t rgb) const {
    return QPen(QColor::fromRgb(rgb), FPenWidth, Qt::SolidLine, Qt::FlatCap);
}

// Midpoint rasterisation along the major axis: pixel i (0 <= i < n, plus n
// itself when includeEnd) lies at major + i and minor + round(i * dMinor / n),
// halves rounded away from the start. Only the part of the line inside the
// clip rectangle is walked, so far-away end points cost nothing.
void TCanvas3D::RasterLine(int x0, int y0, int x1, int y1, bool includeEnd) {
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    TLineWalk walk;
    walk.XMajor = xMajor;
    walk.N = xMajor ? std::llabs(dx) : std::llabs(dy);
    if (walk.N == 0 && !includeEnd) return;
    walk.DMinor = xMajor ? std::llabs(dy) : std::llabs(dx);
    walk.MajorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    walk.MinorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    walk.Major0 = xMajor ? x0 : y0;
    walk.Minor0 = xMajor ? y0 : x0;
    walk.MinorLow = xMajor ? FClip.Top : FClip.Left;
    walk.MinorHigh = xMajor ? FClip.Bottom : FClip.Right;
    const long long clipMajorLow = xMajor ? FClip.Left : FClip.Top;
    const long long clipMajorHigh = xMajor ? FClip.Right : FClip.Bottom;

    walk.First = 0;
    walk.Stop = includeEnd ? walk.N : walk.N - 1;
    if (walk.MajorStep > 0) {
        walk.First = std::max(walk.First, clipMajorLow - walk.Major0);
        walk.Stop = std::min(walk.Stop, clipMajorHigh - 1 - walk.Major0);
    } else {
        walk.First = std::max(walk.First, walk.Major0 - (clipMajorHigh - 1));
        walk.Stop = std::min(walk.Stop, walk.Major0 - clipMajorLow);
    }
    if (walk.First > walk.Stop) return;
    if (FDash.Count > 0)
        WalkDashed(walk);
    else if (walk.DMinor == 0)
        WalkStraight(walk);
    else
        WalkSolid(walk);
}

// The minor offset and the remainder of the midpoint rule at step First:
// (2 * First * DMinor + N) divided by 2N. Products of two int-sized
// distances fit 64 bits; only lines with far-away end points need 128.
void TCanvas3D::TLineWalk::Start(long long& minorOffset, long long& remainder) const {
    const long long twoN = std::max(2 * N, 1LL);
    constexpr long long Small = 1LL << 30;
    if (First < Small && DMinor < Small) {
        const long long acc = 2 * First * DMinor + N;
        minorOffset = acc / twoN;
        remainder = acc % twoN;
        return;
    }
    const TWideInt acc = static_cast<TWideInt>(2) * First * DMinor + N;
    minorOffset = static_cast<long long>(acc / twoN);
    remainder = static_cast<long long>(acc % twoN);
}

// A solid horizontal or vertical line: one run of pixels on one row or column.
void TCanvas3D::WalkStraight(const TLineWalk& walk) {
    if (walk.Minor0 < walk.MinorLow || walk.Minor0 >= walk.MinorHigh) return;
    const long long a = walk.Major0 + walk.MajorStep * walk.First;
    const long long b = walk.Major0 + walk.MajorStep * walk.Stop;
    const long long low = std::min(a, b);
    const long long count = std::max(a, b) - low + 1;
    const std::uint32_t rgb = FPenRgb;
    if (walk.XMajor) {
        std::uint32_t* row = FBits + walk.Minor0 * FStride + low;
        std::fill(row, row + count, rgb);
        return;
    }
    std::uint32_t* pixel = FBits + low * FStride + walk.Minor0;
    for (long long i = 0; i < count; ++i, pixel += FStride) *pixel = rgb;
}

// A solid sloped line.
void TCanvas3D::WalkSolid(const TLineWalk& walk) {
    long long minorOffset = 0;
    long long remainder = 0;
    walk.Start(minorOffset, remainder);
    const long long twoN = std::max(2 * walk.N, 1LL);
    const long long twoDMinor = 2 * walk.DMinor;
    const std::uint32_t rgb = FPenRgb;
    std::uint32_t* const bits = FBits;
    const long long stride = FStride;
    long long major = walk.Major0 + walk.MajorStep * walk.First;
    for (long long i = walk.First; i <= walk.Stop; ++i) {
        const long long minor = walk.Minor0 + walk.MinorStep * minorOffset;
        if (minor >= walk.MinorLow && minor < walk.MinorHigh)
            bits[walk.XMajor ? minor * stride + major : major * stride + minor] = rgb;
        major += walk.MajorStep;
        remainder += twoDMinor;
        if (remainder >= twoN) {
            remainder -= twoN;
            ++minorOffset;
        }
    }
}

// A patterned line: the pattern starts at the line's first pixel; gaps take
// the background colour unless the background mode is transparent.
void TCanvas3D::WalkDashed(const TLineWalk& walk) {
    long long minorOffset = 0;
    long long remainder = 0;
    walk.Start(minorOffset, remainder);
    const long long twoN = std::max(2 * walk.N, 1LL);
    long long major = walk.Major0 + walk.MajorStep * walk.First;
    int dashIndex = 0;
    long long phase = walk.First % FDash.Length;
    while (phase >= FDash.Runs[static_cast<std::size_t>(dashIndex)]) {
        phase -= FDash.Runs[static_cast<std::size_t>(dashIndex)];
        dashIndex = (dashIndex + 1) % FDash.Count;
    }
    int dashLeft = FDash.Runs[static_cast<std::size_t>(dashIndex)] - static_cast<int>(phase);
    for (long long i = walk.First; i <= walk.Stop; ++i) {
        const long long minor = walk.Minor0 + walk.MinorStep * minorOffset;
        const bool on = dashIndex % 2 == 0;
        if ((on || !FBackTransparent) && minor >= walk.MinorLow && minor < walk.MinorHigh) {
            const long long x = walk.XMajor ? major : minor;
            const long long y = walk.XMajor ? minor : major;
            FBits[y * FStride + x] = on ? FPenRgb : FBackRgb;
        }
        if (--dashLeft == 0) {
            dashIndex = (dashIndex + 1) % FDash.Count;
            dashLeft = FDash.Runs[static_cast<std::size_t>(dashIndex)];
        }
        major += walk.MajorStep;
        remainder += 2 * walk.DMinor;
        if (remainder >= twoN) {
            remainder -= twoN;
            ++minorOffset;
        }
    }
}

void TCanvas3D::Rectangle(const TRect& r) {
    if (FBrushSolid) FillPixels(r, FBrushRgb);
    if (!FPenVisible || r.IsEmpty()) return;
    MoveTo(r.Left, r.Top);
    LineTo(r.Right - 1, r.Top);
    LineTo(r.Right - 1, r.Bottom - 1);
    LineTo(r.Left, r.Bottom - 1);
    LineTo(r.Left, r.Top);
}

void TCanvas3D::FillRect(const TRect& r, TColor color) { FillPixels(r, PixelOf(color)); }

void TCanvas3D::FillRectAround(const TRect& r, const TRect& hole, TColor color) {
    const std::uint32_t rgb = PixelOf(color);
    const TRect h{std::clamp(hole.Left, r.Left, r.Right), std::clamp(hole.Top, r.Top, r.Bottom),
                  std::clamp(hole.Right, r.Left, r.Right), std::clamp(hole.Bottom, r.Top, r.Bottom)};
    if (h.IsEmpty()) {
        FillPixels(r, rgb);
        return;
    }
    FillPixels({r.Left, r.Top, r.Right, h.Top}, rgb);
    FillPixels({r.Left, h.Top, h.Left, h.Bottom}, rgb);
    FillPixels({h.Right, h.Top, r.Right, h.Bottom}, rgb);
    FillPixels({r.Left, h.Bottom, r.Right, r.Bottom}, rgb);
}

void TCanvas3D::FillPixels(const TRect& r, std::uint32_t rgb) {
    if (!IsActive()) return;
    const int left = std::max(r.Left, FClip.Left);
    const int right = std::min(r.Right, FClip.Right);
    const int top = std::max(r.Top, FClip.Top);
    const int bottom = std::min(r.Bottom, FClip.Bottom);
    if (left >= right || top >= bottom) return;
    TouchRows(top, bottom);
    if (FScaled) {
        EnsurePainter().fillRect(QRect(left, top, right - left, bottom - top), QColor::fromRgb(rgb));
        return;
    }
    // One row filled, the others copied from it: a block copy is much faster
    // than a pixel loop.
    std::uint32_t* const first = FBits + top * FStride + left;
    std::fill(first, first + (right - left), rgb);
    const std::size_t bytes = static_cast<std::size_t>(right - left) * sizeof(std::uint32_t);
    for (int y = top + 1; y < bottom; ++y) std::memcpy(FBits + y * FStride + left, first, bytes);
}

void TCanvas3D::ApplyPainterClip() {
    if (FClipped)
        FPainter.setClipRect(QRect(FClip.Left, FClip.Top, FClip.Width(), FClip.Height()));
    else
        FPainter.setClipping(false);
}

void TCanvas3D::ClipRectangle(const TRect& r) {
    FClip = {std::max(r.Left, FBounds.Left), std::max(r.Top, FBounds.Top), std::min(r.Right, FBounds.Right),
             std::min(r.Bottom, FBounds.Bottom)};
    if (FClip.Right < FClip.Left) FClip.Right = FClip.Left;
    if (FClip.Bottom < FClip.Top) FClip.Bottom = FClip.Top;
    FClipped = true;
    if (FPainter.isActive()) ApplyPainterClip();
}

void TCanvas3D::UnClipRectangle() {
    FClip = FBounds;
    FClipped = false;
    if (FPainter.isActive()) ApplyPainterClip();
}

void TCanvas3D::Draw(int x, int y, const QImage& graphic) {
    if (!IsActive()) return;
    TouchRows(y, y + qCeil(graphic.height() / graphic.devicePixelRatio()));
    EnsurePainter().drawImage(x, y, graphic);
}

void TCanvas3D::StretchDraw(const TRect& r, const QImage& graphic) {
    if (!IsActive()) return;
    TouchRows(r.Top, r.Bottom);
    EnsurePainter().drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), graphic);
}

void TCanvas3D::Reset() {
    SetPen(clBlack);
    SetBrush(clWhite, bsSolid);
    SetBackColor(clWhite);
    SetBackModeTransparent(true);
}

}  // namespace wellenschau
