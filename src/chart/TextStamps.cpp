#include "chart/TextStamps.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace wellenschau {

size_t qHash(const TTextStamps::TKey& key, size_t seed) {
    return qHashMulti(seed, key.Text, key.FontIndex, key.Color, key.Angle, static_cast<int>(key.Horiz),
                      static_cast<int>(key.Vert));
}

namespace {

// The text drawn onto a square scratch image of one colour, its reference
// point in the middle.
QImage Render(int reach, std::uint32_t background, const TTextPainter& painter) {
    const int side = 2 * reach + 1;
    QImage scratch(side, side, QImage::Format_RGB32);
    scratch.fill(background);
    QPainter p(&scratch);
    p.setRenderHint(QPainter::Antialiasing, false);
    painter.Paint(p, QPoint(reach, reach));
    p.end();
    return scratch;
}

const std::uint32_t* Row(const QImage& image, int y) {
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
}

}  // namespace

// The box is where the text changes a black or a white background: any
// pixel a glyph covers changes at least one of the two.
TTextStamps::TEntry TTextStamps::MakeEntry(int reach, const TTextPainter& painter) const {
    const QImage onBlack = Render(reach, 0xFF000000u, painter);
    const QImage onWhite = Render(reach, 0xFFFFFFFFu, painter);
    const int side = onBlack.width();
    TRect box{side, side, 0, 0};
    for (int y = 0; y < side; ++y) {
        const std::uint32_t* black = Row(onBlack, y);
        const std::uint32_t* white = Row(onWhite, y);
        for (int x = 0; x < side; ++x) {
            if (black[x] == 0xFF000000u && white[x] == 0xFFFFFFFFu) continue;
            box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
        }
    }
    TEntry entry;
    entry.Stampable = box.IsEmpty() || (box.Left > 1 && box.Top > 1 && box.Right < side - 1 && box.Bottom < side - 1);
    // One pixel of margin around what the two backgrounds showed.
    if (!box.IsEmpty()) entry.Box = {box.Left - reach - 1, box.Top - reach - 1, box.Right - reach + 1, box.Bottom - reach + 1};
    return entry;
}

const TTextStamps::TStamp& TTextStamps::StampOn(TEntry& entry, std::uint32_t background, int reach,
                                                const TTextPainter& painter) const {
    for (const TStamp& stamp : entry.Stamps)
        if (stamp.Background == background) return stamp;
    if (entry.Stamps.size() >= MaxStampsPerEntry) entry.Stamps.clear();
    const QImage scratch = Render(reach, background, painter);
    TStamp stamp{background, {}};
    for (int dy = entry.Box.Top; dy < entry.Box.Bottom; ++dy) {
        const std::uint32_t* row = Row(scratch, reach + dy);
        for (int dx = entry.Box.Left; dx < entry.Box.Right; ++dx) {
            const std::uint32_t rgb = row[reach + dx];
            if (rgb != background)
                stamp.Pixels.push_back({static_cast<std::int16_t>(dx), static_cast<std::int16_t>(dy), rgb});
        }
    }
    entry.Stamps.push_back(std::move(stamp));
    return entry.Stamps.back();
}

bool TTextStamps::UniformUnder(const TPixelTarget& target, const TRect& box, std::uint32_t rgb) {
    for (int y = box.Top; y < box.Bottom; ++y) {
        const std::uint32_t* row = target.Bits + y * target.Stride;
        if (!std::all_of(row + box.Left, row + box.Right, [rgb](std::uint32_t p) { return p == rgb; })) return false;
    }
    return true;
}

bool TTextStamps::Draw(const TPixelTarget& target, const TKey& key, QPoint reference, int reach,
                       const TTextPainter& painter) {
    // Scratch images beyond this size cost more than they save.
    constexpr int MaxReach = 1000;
    if (reach <= 0 || reach > MaxReach) return false;
    auto found = FEntries.find(key);
    if (found == FEntries.end()) {
        if (FEntries.size() >= MaxEntries) FEntries.clear();
        found = FEntries.insert(key, MakeEntry(reach, painter));
    }
    TEntry& entry = *found;
    if (!entry.Stampable) return false;
    if (entry.Box.IsEmpty()) return true;
    // Clipped pixels are left alone, as the QPainter would leave them.
    const TRect& clip = target.Clip;
    const TRect box{std::max(entry.Box.Left + reference.x(), clip.Left), std::max(entry.Box.Top + reference.y(), clip.Top),
                    std::min(entry.Box.Right + reference.x(), clip.Right),
                    std::min(entry.Box.Bottom + reference.y(), clip.Bottom)};
    if (box.IsEmpty()) return true;
    const std::uint32_t background = target.Bits[box.Top * target.Stride + box.Left];
    if (!UniformUnder(target, box, background)) return false;
    const TStamp& stamp = StampOn(entry, background, reach, painter);
    for (const TPixel& pixel : stamp.Pixels) {
        const int x = reference.x() + pixel.Dx;
        const int y = reference.y() + pixel.Dy;
        if (box.Contains(x, y)) target.Bits[y * target.Stride + x] = pixel.Rgb;
    }
    return true;
}

}  // namespace wellenschau
