#include "menulook/working_palette.h"

#include "menulook/color_math.h"

namespace vintrel {

WorkingPalette PaletteFromSettings(const MenuLookSettings& s, bool deep,
                                   const SystemColors& system) {
    WorkingPalette p;
    p.WorkingColor = s.Color;
    p.WorkingIconBackColor = s.IconBackColor;
    p.WorkingSelectColor = deep ? TintColor(s.SelectColor, 68, system) : s.SelectColor;
    p.WorkingSelectBorderColor = s.SelectBorderColor;
    p.WorkingSelectFontColor = s.SelectFontColor;
    p.CheckBoxColor = deep ? TintColor(s.SelectColor, 80, system) : clWhite;
    p.CheckBoxSelectColor = deep ? TintColor(s.SelectColor, 50, system) : clSilver;
    p.WorkingCheckedColor = s.CheckedColor;
    p.WorkingMenuBarColor = s.MenuBarColor;
    p.WorkingDisabledColor = s.DisabledColor;
    p.WorkingSeparatorColor = s.SeparatorColor;
    p.PopupBorderColor = deep ? DarkenColor(clBtnFace, 90, system) : clBtnShadow;
    p.PopupShadowColor = deep ? DarkenColor(clBtnFace, 76, system) : clBtnShadow;
    return p;
}

// The tints go towards the desktop's paper colour, not towards white, so
// that the menu text, which has the desktop's text colour, stays readable on
// them under any palette (dark, high contrast); on a light desktop they are
// the same colours.
void ApplySystemColors(WorkingPalette& p, bool deep, Color fontColor, const SystemColors& system) {
    const Color paper = ColorToRGB(clWindow, system);
    p.WorkingColor = deep ? TintColor(clBtnFace, 86, system) : paper;
    p.WorkingIconBackColor = deep ? TintColor(clBtnFace, 16, system) : clBtnFace;
    p.WorkingSelectColor = deep ? TintColor(clHighlight, 68, system) : paper;
    p.WorkingSelectBorderColor = clHighlight;
    p.WorkingSelectFontColor = fontColor;
    p.CheckBoxColor = deep ? TintColor(clHighlight, 80, system) : paper;
    p.CheckBoxSelectColor = deep ? TintColor(clHighlight, 50, system) : paper;
    p.WorkingCheckedColor = clHighlight;
    p.WorkingMenuBarColor = clBtnFace;
    p.WorkingDisabledColor = deep ? TintColor(clBtnShadow, 10, system) : clBtnShadow;
    p.WorkingSeparatorColor = deep ? TintColor(clBtnShadow, 25, system) : clBtnShadow;
}

}  // namespace vintrel
