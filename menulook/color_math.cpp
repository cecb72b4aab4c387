#include "menulook/color_math.h"

#include <algorithm>
#include <cmath>

namespace vintrel {
namespace {

// The arithmetic never wraps a channel, whatever the level it is given.
int Channel(int value) {
    return std::clamp(value, 0, 255);
}

}  // namespace

int RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    auto result = static_cast<long long>(floor);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
    return static_cast<int>(result);
}

Color DarkenColor(Color c, int n, const SystemColors& system) {
    const Color rgb = ColorToRGB(c, system);
    return RGB(Channel(GetRValue(rgb) - n), Channel(GetGValue(rgb) - n + 2),
               Channel(GetBValue(rgb) - n));
}

Color LightenColor(Color c, int percent, const SystemColors& system) {
    const int p = std::min(percent, 100);
    const Color rgb = ColorToRGB(c, system);
    auto lighten = [p](int ch) { return Channel(ch + RoundHalfEven((255 - ch) * p / 100.0)); };
    return RGB(lighten(GetRValue(rgb)), lighten(GetGValue(rgb)), lighten(GetBValue(rgb)));
}

Color TintColor(Color c, int percent, const SystemColors& system) {
    const int p = std::min(percent, 100);
    const Color rgb = ColorToRGB(c, system);
    const Color paper = ColorToRGB(clWindow, system);
    auto tint = [p](int ch, int to) { return Channel(ch + RoundHalfEven((to - ch) * p / 100.0)); };
    return RGB(tint(GetRValue(rgb), GetRValue(paper)), tint(GetGValue(rgb), GetGValue(paper)),
               tint(GetBValue(rgb), GetBValue(paper)));
}

Color GrayOutColor(Color c, int n, const SystemColors& system) {
    const Color rgb = ColorToRGB(c, system);
    const int g =
        Channel(std::min((GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3 + n, 240));
    return RGB(g, g, g);
}

Color ContrastTextColor(Color c, Color fontColor, const SystemColors& system) {
    const Color rgb = ColorToRGB(c, system);
    if ((GetRValue(rgb) + GetBValue(rgb)) / 2 > 150 || GetGValue(rgb) > 200) return fontColor;
    return LightenColor(rgb, 90, system);
}

}  // namespace vintrel
