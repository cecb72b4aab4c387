#pragma once

#include <string>

#include "menulook/color.h"

namespace vintrel {

inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int ARABIC_CHARSET = 178;

/// A font as a window stores it: face name, height in pixels (negative: the
/// character height without internal leading, as LOGFONT), colour, character set
/// and style.
struct FontFace {
    std::string Name = "MS Sans Serif";
    int Height = -11;
    vintrel::Color Color = clWindowText;
    int Charset = DEFAULT_CHARSET;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    friend bool operator==(const FontFace&, const FontFace&) = default;
};

}  // namespace vintrel
