#include "PaletteChannels.h"

#include "core/CheckedMath.h"

namespace wellenschau {

namespace {

std::size_t CheckedIndex(int index) {
    if (index < 0 || index >= static_cast<int>(ColourTableSize)) throw ERangeError();
    return static_cast<std::size_t>(index);
}

}  // namespace

void TPaletteChannels::SetEntry(TPaletteChannel Channel, int Index, int Value) {
    ChannelOf(Channel)[CheckedIndex(Index)] = CheckedNarrow<std::uint8_t>(Value);
}

void TPaletteChannels::InterpolateSegment(TPaletteChannel Channel, int StartValue, int EndValue, int StartIndex,
                                          int EndIndex) {
    if (StartIndex == EndIndex) return;
    const double span = EndIndex - StartIndex;
    const int rise = CheckedSub(EndValue, StartValue);
    for (int i = StartIndex; i <= EndIndex; ++i)
        SetEntry(Channel, i, CheckedAdd(StartValue, RoundToInt(CheckedMul(i - StartIndex, rise) / span)));
}

std::uint8_t TPaletteChannels::Entry(TPaletteChannel Channel, int Index) const {
    return FChannels[static_cast<std::size_t>(Channel)][CheckedIndex(Index)];
}

TColourTable TPaletteChannels::ToColourTable() const {
    TColourTable table;
    for (std::size_t i = 0; i < ColourTableSize; ++i)
        table[i] = TColourTableEntry{.Blue = FChannels[2][i], .Green = FChannels[1][i], .Red = FChannels[0][i]};
    return table;
}

}  // namespace wellenschau
