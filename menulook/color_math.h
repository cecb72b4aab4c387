#pragma once

#include "menulook/color.h"
#include "menulook/system_colors.h"

namespace vintrel {

/// Rounds to the nearest integer, a half going to the even neighbour.
int RoundHalfEven(double value);

/// Lowers red and blue by `n` and green by `n` − 2, each clamped to 0..255;
/// a negative `n` lightens.
Color DarkenColor(Color c, int n, const SystemColors& system);

/// Moves every channel `percent` of the way towards 255 (`percent` capped at 100).
Color LightenColor(Color c, int percent, const SystemColors& system);

/// Moves every channel `percent` of the way towards the desktop's paper colour
/// (clWindow, the ground text is written on; `percent` capped at 100). On a
/// light desktop that is LightenColor; on a dark or high-contrast one the tint
/// stays on the dark side, under the light text the desktop writes there.
Color TintColor(Color c, int percent, const SystemColors& system);

/// The grey of the channels' mean plus `n`, capped at 240.
Color GrayOutColor(Color c, int n, const SystemColors& system);

/// `fontColor` on light colours; otherwise `c` lightened by 90 %.
Color ContrastTextColor(Color c, Color fontColor, const SystemColors& system);

}  // namespace vintrel
