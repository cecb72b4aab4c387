#pragma once

#include "menulook/color.h"
#include "menulook/menu_look_settings.h"
#include "menulook/system_colors.h"

namespace vintrel {

/// The thirteen colours every paint works with, rebuilt before each paint.
struct WorkingPalette {
    Color WorkingColor = clBlack;
    Color WorkingIconBackColor = clBlack;
    Color WorkingSelectColor = clBlack;
    Color WorkingSelectBorderColor = clBlack;
    Color WorkingSelectFontColor = clBlack;
    Color CheckBoxColor = clBlack;
    Color CheckBoxSelectColor = clBlack;
    Color WorkingCheckedColor = clBlack;
    Color WorkingMenuBarColor = clBlack;
    Color WorkingDisabledColor = clBlack;
    Color WorkingSeparatorColor = clBlack;
    Color PopupBorderColor = clBlack;
    Color PopupShadowColor = clBlack;

    friend bool operator==(const WorkingPalette&, const WorkingPalette&) = default;
};

/// The palette from the properties, for a surface of 16 or more bits per pixel
/// (`deep`) or a shallower one.
WorkingPalette PaletteFromSettings(const MenuLookSettings& settings, bool deep,
                                   const SystemColors& system);

/// Overwrites the entries that follow the system colours when UseSystemColors
/// is set; `fontColor` is the colour of the freshly loaded system menu font.
void ApplySystemColors(WorkingPalette& palette, bool deep, Color fontColor,
                       const SystemColors& system);

}  // namespace vintrel
