// The working table of a palette conversion: red, green and blue channels
// of 256 bytes each, filled point by point and segment by segment, then
// turned into a colour table. A plain value; used on one thread at a time.
#pragma once

#include "palette/ColourTable.h"

#include <array>
#include <cstdint>

namespace wellenschau {

enum class TPaletteChannel { Red = 0, Green = 1, Blue = 2 };

class TPaletteChannels {
public:
    // Sets one entry. Index and Value must lie in 0..255, else ERangeError.
    void SetEntry(TPaletteChannel Channel, int Index, int Value);

    // Fills entries StartIndex..EndIndex (both included) of the channel on
    // the straight line from StartValue to EndValue, each entry rounded to
    // the nearest integer with ties to even. Equal indices write nothing,
    // and so does a segment that runs downward (EndIndex < StartIndex).
    void InterpolateSegment(TPaletteChannel Channel, int StartValue, int EndValue, int StartIndex, int EndIndex);

    std::uint8_t Entry(TPaletteChannel Channel, int Index) const;

    TColourTable ToColourTable() const;

private:
    using TChannel = std::array<std::uint8_t, ColourTableSize>;
    TChannel& ChannelOf(TPaletteChannel Channel) { return FChannels[static_cast<std::size_t>(Channel)]; }

    std::array<TChannel, 3> FChannels{};  // red, green, blue; all 0 at start
};

}  // namespace wellenschau
