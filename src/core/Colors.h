// Colours as the program stores them: 32-bit values $00BBGGRR (red in the
// low byte). Values with the high bit set name a system colour; clDefault
// and clNone are markers, not colours.
#pragma once

#include <cstdint>

namespace wellenschau {

using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours: the high bit plus the index of the system colour.
inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clBtnFace = clSystemColor | 15;

// "The owner's own colour" and "no colour".
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clNone = 0x1FFFFFFF;

// Builds a TColor from its three channels.
constexpr TColor RGBColor(int red, int green, int blue) {
    return static_cast<TColor>((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}

// Channel B's colour on the white oscilloscope and on the black one, apart
// from channel A's black and green trace; its readout line takes the white
// scheme's, as it runs on the window's white background.
inline constexpr TColor ChannelBWhiteSchemeColor = clBlue;
inline constexpr TColor ChannelBBlackSchemeColor = clAqua;
constexpr TColor ChannelBColor(bool whiteScheme) {
    return whiteScheme ? ChannelBWhiteSchemeColor : ChannelBBlackSchemeColor;
}

}  // namespace wellenschau
