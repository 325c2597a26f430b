// The two 8-bit palette-indexed pictures of the analysis: the scrolling
// spectrogram and its colour legend. Makes the bitmaps and takes their row
// addresses once, fills the legend, and writes one spectrogram column per
// buffer through the stored addresses. User-interface thread only; writing
// a column allocates nothing.
//
// The row addresses point into the QImage's own pixel data. That image
// must never be copied (into another QImage, a QPixmap, a by-value
// parameter...) while the addresses are in use: Qt shares pixel data
// between copies and moves it on the next write through the image, so
// the stored addresses would then write into a picture nobody shows.
// Paint from the image directly (QPainter::drawImage takes a reference).
#pragma once

#include "AnalysisState.h"

#include <cstdint>

class QImage;

namespace wellenschau {

using TRowAddresses = TFixedArray<std::uint8_t*, PixelTableSize>;

// Widest picture the spectrogram column can scroll.
inline constexpr int MaxPictureWidth = 32768;
// Colour index of 0 dB; -LevelRange dB and below give index 0.
inline constexpr int TopColourIndex = 255;
inline constexpr double LevelRange = 70.0;

// Makes image an 8-bit indexed bitmap of width x height pixels, all 0,
// with an all-black colour table until a palette is installed, and stores
// the address of each pixel row (row 0 at the top) in lines. width must lie
// in 1..MaxPictureWidth and height in 1..PixelTableSize, else ERangeError.
void PrepareIndexedBitmap(QImage& image, int width, int height, TRowAddresses& lines);

// Fills the legend bar inside a one-pixel frame of index 0: from 0 dB at
// row 1 down to -100 dB at row height - 2, on the spectrogram's
// level-to-colour scale.
void FillLegend(const TRowAddresses& lines, int width, int height);

// Colour index of a level in dB: Round(level x 255 / 70) + 255 (ties to
// even), limited to 0..255.
int LevelColourIndex(double level);

// Moves the spectrogram width x height two pixels to the right and writes
// the current row levels into the freed columns: column 0 the new index of
// each pixel row, column 1 the mean (rounded down) of the new index and the
// previous buffer's one. Pixel row k counted from the bottom blends its
// nearest spectrum row with the chosen neighbour. width must lie in
// 3..MaxPictureWidth and height in 1..PixelTableSize, with every row address
// set, else ERangeError before any pixel changes.
void WriteSpectrogramColumn(const AnalysisState& state, int width, int height);

}  // namespace wellenschau
