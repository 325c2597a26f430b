#include "chart/RubberBand.h"

#include <algorithm>
#include <array>

namespace wellenschau {

namespace {

// The outline as up to four disjoint strips: the top and bottom rows, then
// the left and right columns between them.
std::array<TRect, 4> OutlineStrips(const TRect& band) {
    if (band.IsEmpty()) return {};
    const TRect top{band.Left, band.Top, band.Right, band.Top + 1};
    const TRect bottom = band.Height() > 1 ? TRect{band.Left, band.Bottom - 1, band.Right, band.Bottom} : TRect{};
    const TRect left{band.Left, band.Top + 1, band.Left + 1, band.Bottom - 1};
    const TRect right = band.Width() > 1 ? TRect{band.Right - 1, band.Top + 1, band.Right, band.Bottom - 1} : TRect{};
    return {top, bottom, left, right};
}

TRect Intersection(const TRect& a, const TRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

}  // namespace

// A strip of the band is inverted in device pixels: on a chart image with
// a device pixel ratio it covers as many device pixels as the chart's lines.
void DrawRubberBand(QPainter& painter, const QImage& chartImage, const TRect& band, QRgb pen) {
    const QSize logicalSize = chartImage.deviceIndependentSize().toSize();
    const TRect imageRect{0, 0, logicalSize.width(), logicalSize.height()};
    const qreal ratio = chartImage.devicePixelRatio();
    for (const TRect& strip : OutlineStrips(band)) {
        const TRect r = Intersection(strip, imageRect);
        if (r.IsEmpty()) continue;
        const QRect device = QRectF(r.Left * ratio, r.Top * ratio, r.Width() * ratio, r.Height() * ratio).toRect();
        QImage inverted = chartImage.copy(device);
        for (int y = 0; y < inverted.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(inverted.scanLine(y));
            for (int x = 0; x < inverted.width(); ++x) row[x] = ~(row[x] ^ pen) | 0xFF000000u;
        }
        painter.drawImage(QPointF(r.Left, r.Top), inverted);
    }
}

QRegion RubberBandRegion(const TRect& band) {
    QRegion region;
    for (const TRect& strip : OutlineStrips(band))
        if (!strip.IsEmpty()) region += QRect(strip.Left, strip.Top, strip.Width(), strip.Height());
    return region;
}

}  // namespace wellenschau
