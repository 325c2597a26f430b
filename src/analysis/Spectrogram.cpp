#include "Spectrogram.h"

#include "core/CheckedMath.h"

#include <QImage>

#include <algorithm>
#include <cstring>

namespace wellenschau {

namespace {

constexpr int ColourCount = TopColourIndex + 1;
// The legend's bar spans this many dB from its top row to its bottom row.
constexpr double LegendLevelSpan = 100.0;

void CheckPictureSize(int width, int minimumWidth, int height) {
    if (width < minimumWidth || width > MaxPictureWidth || height < 1 || height > static_cast<int>(PixelTableSize))
        throw ERangeError();
}

int LimitToColourIndex(std::int64_t index) {
    return static_cast<int>(std::clamp<std::int64_t>(index, 0, TopColourIndex));
}

// Moves every row right by two pixels; memmove copies overlapping bytes as
// if from the right end leftward, so no source pixel is lost. When the rows
// follow each other at one stride, as a picture's rows do, the whole block
// moves at once: each row's first two pixels then take the end of the row
// above (or the padding after it), and the caller overwrites them.
void ScrollRight(std::uint8_t* const* lines, int width, int height) {
    const std::ptrdiff_t stride = height > 1 ? lines[1] - lines[0] : width;
    bool evenlySpaced = stride >= width;
    for (int y = 1; y < height && evenlySpaced; ++y) evenlySpaced = lines[y] - lines[y - 1] == stride;
    if (evenlySpaced) {
        std::memmove(lines[0] + 2, lines[0], static_cast<std::size_t>((height - 1) * stride + width - 2));
        return;
    }
    for (int y = 0; y < height; ++y) std::memmove(lines[y] + 2, lines[y], static_cast<std::size_t>(width - 2));
}

}  // namespace

void PrepareIndexedBitmap(QImage& image, int width, int height, TRowAddresses& lines) {
    CheckPictureSize(width, 1, height);
    image = QImage(width, height, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(ColourCount, qRgb(0, 0, 0)));
    for (int y = 0; y < height; ++y) {
        lines[y] = image.scanLine(y);
        std::memset(lines[y], 0, static_cast<std::size_t>(width));
    }
}

void FillLegend(const TRowAddresses& lines, int width, int height) {
    CheckPictureSize(width, 1, height);
    for (int y = 1; y <= height - 2; ++y) {
        const double level = -LegendLevelSpan * (y - 1) / (height - 2);
        const int index = LimitToColourIndex(Round((1.0 - level / -LevelRange) * TopColourIndex));
        std::uint8_t* const row = lines[y];
        for (int x = 1; x <= width - 2; ++x) row[x] = static_cast<std::uint8_t>(index);
    }
}

int LevelColourIndex(double level) {
    return LimitToColourIndex(Round(level * TopColourIndex / LevelRange) + TopColourIndex);
}

void WriteSpectrogramColumn(const AnalysisState& state, int width, int height) {
    CheckPictureSize(width, 3, height);
    std::uint8_t* const* const lines = state.SpectrogramLines.data();
    if (std::find(lines, lines + height, nullptr) != lines + height) throw ERangeError();

    ScrollRight(lines, width, height);

    for (int k = 0; k < height; ++k) {
        const std::int32_t p = state.PixelRow[k];
        const std::int32_t q = p + state.PixelRowStep[k];
        const double w = state.PixelRowWeight[k];
        const double level = state.RowLevel[p] * w + (1.0 - w) * state.RowLevel[q];
        const int index = LevelColourIndex(level);
        std::uint8_t* const row = lines[height - 1 - k];
        row[0] = static_cast<std::uint8_t>(index);
        row[1] = static_cast<std::uint8_t>((index + row[2]) / 2);
    }
}

}  // namespace wellenschau
