// The 256-entry colour table of an 8-bit palette-indexed bitmap: entry i is
// the colour of pixel value i. Used on the user-interface thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class QImage;

namespace wellenschau {

inline constexpr std::size_t ColourTableSize = 256;

// One colour-table entry, bytes in the order of palette-indexed bitmaps.
struct TColourTableEntry {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    std::uint8_t Reserved = 0;  // always 0

    friend bool operator==(const TColourTableEntry&, const TColourTableEntry&) = default;
};

using TColourTable = std::array<TColourTableEntry, ColourTableSize>;

// Replaces the colour table of an 8-bit indexed image (opaque colours).
// The pixels stay as they are, so every pixel drawn so far takes its new
// colour at the next paint. The image must not be shared with another
// QImage: its pixel data then stays where it is, and row addresses taken
// earlier stay valid.
void InstallColourTable(QImage& image, const TColourTable& table);

}  // namespace wellenschau
