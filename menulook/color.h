#pragma once

#include <cstdint>

namespace vintrel {

/// A colour as 0x00BBGGRR (red in the low byte). With the top bit set the low
/// bits are a system colour index, resolved only when the colour is used.
using Color = std::uint32_t;

inline constexpr Color kSystemColorFlag = 0x80000000u;

inline constexpr Color RGB(int red, int green, int blue) {
    return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
inline constexpr int GetRValue(Color c) {
    return static_cast<int>(c & 0xFF);
}
inline constexpr int GetGValue(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int GetBValue(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline constexpr bool IsSystemColor(Color c) {
    return (c & kSystemColorFlag) != 0;
}
inline constexpr int SystemColorIndex(Color c) {
    return static_cast<int>(c & 0xFF);
}

// System colour indices (COLOR_*).
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int kSystemColorCount = 31;

inline constexpr Color clInactiveCaption = kSystemColorFlag | COLOR_INACTIVECAPTION;
inline constexpr Color clWindow = kSystemColorFlag | COLOR_WINDOW;
inline constexpr Color clMenuText = kSystemColorFlag | COLOR_MENUTEXT;
inline constexpr Color clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
inline constexpr Color clHighlight = kSystemColorFlag | COLOR_HIGHLIGHT;
inline constexpr Color clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
inline constexpr Color clBtnShadow = kSystemColorFlag | COLOR_BTNSHADOW;

inline constexpr Color clBlack = 0x000000;
inline constexpr Color clSilver = 0xC0C0C0;
inline constexpr Color clWhite = 0xFFFFFF;

/// What GetPixel answers for a point it cannot read.
inline constexpr Color CLR_INVALID = 0xFFFFFFFFu;

}  // namespace vintrel
