// TTextStamps: texts kept as the pixels that drawing them changes. Text is
// drawn once through a QPainter into a scratch image filled with one
// background colour; the changed pixels are kept and later written straight
// into the target wherever the text lands on that same uniform background.
// As text rendering depends only on the pixel under each glyph pixel (and
// an integer translation moves glyphs without changing them), the result
// is the very pixels the QPainter would have drawn there. Where the
// background is not uniform, Draw declines and the caller draws through
// its QPainter. UI thread only.
#pragma once

#include "chart/ChartTypes.h"

#include <QHash>
#include <QPoint>
#include <QString>
#include <QtGui/qrgb.h>

#include <cstdint>
#include <vector>

class QPainter;

namespace wellenschau {

// Draws one text with its reference point at a given pixel.
class TTextPainter {
public:
    virtual ~TTextPainter() = default;
    virtual void Paint(QPainter& painter, QPoint reference) const = 0;
};

// Pixels of an RGB32 image and the rectangle that may be written.
struct TPixelTarget {
    std::uint32_t* Bits = nullptr;
    qsizetype Stride = 0;  // pixels per row
    TRect Clip;
};

class TTextStamps {
public:
    // What decides a text's pixels besides the background.
    struct TKey {
        QString Text;
        int FontIndex = 0;
        QRgb Color = 0;
        int Angle = 0;
        THorizTextAlign Horiz = THorizTextAlign::Left;
        TVertTextAlign Vert = TVertTextAlign::Top;
        friend bool operator==(const TKey&, const TKey&) = default;
    };

    // Writes the text's pixels with its reference point at reference and
    // returns true; false (nothing written) when the text cannot be stamped
    // there. reach: pixels the text may extend from its reference point.
    bool Draw(const TPixelTarget& target, const TKey& key, QPoint reference, int reach, const TTextPainter& painter);

private:
    struct TPixel {
        std::int16_t Dx;
        std::int16_t Dy;
        std::uint32_t Rgb;
    };
    struct TStamp {
        std::uint32_t Background = 0;
        std::vector<TPixel> Pixels;
    };
    // Box: every pixel the text may touch, relative to the reference point
    // (empty for a text that draws nothing).
    struct TEntry {
        // False when the text reached the scratch image's edge.
        bool Stampable = true;
        TRect Box;
        std::vector<TStamp> Stamps;
    };
    static constexpr qsizetype MaxEntries = 1000;
    static constexpr std::size_t MaxStampsPerEntry = 4;

    TEntry MakeEntry(int reach, const TTextPainter& painter) const;
    static bool UniformUnder(const TPixelTarget& target, const TRect& box, std::uint32_t rgb);
    const TStamp& StampOn(TEntry& entry, std::uint32_t background, int reach, const TTextPainter& painter) const;

    QHash<TKey, TEntry> FEntries;
};

size_t qHash(const TTextStamps::TKey& key, size_t seed = 0);

}  // namespace wellenschau
