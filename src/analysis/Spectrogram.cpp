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

}  // namespace

void PrepareIndexedBitmap(QImage& Image, int Width, int Height, TRowAddresses& Lines) {
    CheckPictureSize(Width, 1, Height);
    Image = QImage(Width, Height, QImage::Format_Indexed8);
    Image.setColorTable(QList<QRgb>(ColourCount, qRgb(0, 0, 0)));
    for (int y = 0; y < Height; ++y) {
        Lines[y] = Image.scanLine(y);
        std::memset(Lines[y], 0, static_cast<std::size_t>(Width));
    }
}

void FillLegend(const TRowAddresses& Lines, int Width, int Height) {
    CheckPictureSize(Width, 1, Height);
    for (int y = 1; y <= Height - 2; ++y) {
        const double level = -LegendLevelSpan * (y - 1) / (Height - 2);
        const int index = LimitToColourIndex(Round((1.0 - level / -LevelRange) * TopColourIndex));
        std::uint8_t* const row = Lines[y];
        for (int x = 1; x <= Width - 2; ++x) row[x] = static_cast<std::uint8_t>(index);
    }
}

int LevelColourIndex(double Level) {
    return LimitToColourIndex(Round(Level * TopColourIndex / LevelRange) + TopColourIndex);
}

void WriteSpectrogramColumn(const AnalysisState& State, int Width, int Height) {
    CheckPictureSize(Width, 3, Height);
    std::uint8_t* const* const lines = State.SpectrogramLines.data();
    if (std::find(lines, lines + Height, nullptr) != lines + Height) throw ERangeError();

    // Every row moves right by two; memmove copies overlapping bytes as if
    // from the right end leftward, so no source pixel is lost.
    for (int y = 0; y < Height; ++y) std::memmove(lines[y] + 2, lines[y], static_cast<std::size_t>(Width - 2));

    for (int k = 0; k < Height; ++k) {
        const std::int32_t p = State.PixelRow[k];
        const std::int32_t q = p + State.PixelRowStep[k];
        const double w = State.PixelRowWeight[k];
        const double level = State.RowLevel[p] * w + (1.0 - w) * State.RowLevel[q];
        const int index = LevelColourIndex(level);
        std::uint8_t* const row = lines[Height - 1 - k];
        row[0] = static_cast<std::uint8_t>(index);
        row[1] = static_cast<std::uint8_t>((index + row[2]) / 2);
    }
}

}  // namespace wellenschau
