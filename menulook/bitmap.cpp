#include "menulook/bitmap.h"

#include <limits>

namespace vintrel {

Bitmap::Bitmap(int width, int height, Color fill)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              fill & 0xFFFFFF) {}

Color Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void Bitmap::SetPixel(int x, int y, Color rgb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = NearestColor(rgb & 0xFFFFFF);
}

void Bitmap::Fill(Color rgb) {
    const Color c = NearestColor(rgb & 0xFFFFFF);
    for (Color& p : pixels_) p = c;
}

void Bitmap::SetColorTable(std::vector<Color> table) {
    table_ = std::move(table);
    for (Color& c : table_) c &= 0xFFFFFF;
    for (Color& p : pixels_) p = NearestColor(p);
}

Color Bitmap::NearestColor(Color rgb) const {
    return NearestColorIn(table_, rgb);
}

Color NearestColorIn(const std::vector<Color>& table, Color rgb) {
    if (table.empty()) return rgb & 0xFFFFFF;
    Color best = table.front();
    long long bestDistance = std::numeric_limits<long long>::max();
    for (Color c : table) {
        const long long dr = GetRValue(c) - GetRValue(rgb);
        const long long dg = GetGValue(c) - GetGValue(rgb);
        const long long db = GetBValue(c) - GetBValue(rgb);
        const long long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    return best;
}

}  // namespace vintrel
