#include "menulook/system_colors.h"

namespace vintrel {

ClassicSystemColors::ClassicSystemColors()
    : table_{RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
             RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
             RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
             RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
             RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
             RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
             RGB(255, 255, 225), RGB(180, 180, 180), RGB(0, 0, 128),     RGB(166, 202, 240),
             RGB(192, 192, 192), RGB(10, 36, 106),   RGB(212, 208, 200)} {}

Color ClassicSystemColors::SysColor(int index) const {
    if (index < 0 || index >= kSystemColorCount) return clBlack;
    return table_[static_cast<std::size_t>(index)];
}

void ClassicSystemColors::Set(int index, Color rgb) {
    if (index < 0 || index >= kSystemColorCount) return;
    table_[static_cast<std::size_t>(index)] = rgb & 0xFFFFFF;
}

Color ColorToRGB(Color c, const SystemColors& system) {
    return IsSystemColor(c) ? system.SysColor(SystemColorIndex(c)) & 0xFFFFFF : c & 0xFFFFFF;
}

}  // namespace vintrel
