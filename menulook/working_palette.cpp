#include "menulook/working_palette.h"

#include "menulook/color_math.h"

namespace vintrel {

WorkingPalette PaletteFromSettings(const MenuLookSettings& s, bool deep,
                                   const SystemColors& system) {
    WorkingPalette p;
    p.WorkingColor = s.Color;
    p.WorkingIconBackColor = s.IconBackColor;
    p.WorkingSelectColor = deep ? LightenColor(s.SelectColor, 68, system) : s.SelectColor;
    p.WorkingSelectBorderColor = s.SelectBorderColor;
    p.WorkingSelectFontColor = s.SelectFontColor;
    p.CheckBoxColor = deep ? LightenColor(s.SelectColor, 80, system) : clWhite;
    p.CheckBoxSelectColor = deep ? LightenColor(s.SelectColor, 50, system) : clSilver;
    p.WorkingCheckedColor = s.CheckedColor;
    p.WorkingMenuBarColor = s.MenuBarColor;
    p.WorkingDisabledColor = s.DisabledColor;
    p.WorkingSeparatorColor = s.SeparatorColor;
    p.PopupBorderColor = deep ? DarkenColor(clBtnFace, 90, system) : clBtnShadow;
    p.PopupShadowColor = deep ? DarkenColor(clBtnFace, 76, system) : clBtnShadow;
    return p;
}

void ApplySystemColors(WorkingPalette& p, bool deep, Color fontColor, const SystemColors& system) {
    p.WorkingColor = deep ? LightenColor(clBtnFace, 86, system) : clWhite;
    p.WorkingIconBackColor = deep ? LightenColor(clBtnFace, 16, system) : clBtnFace;
    p.WorkingSelectColor = deep ? LightenColor(clHighlight, 68, system) : clWhite;
    p.WorkingSelectBorderColor = clHighlight;
    p.WorkingSelectFontColor = fontColor;
    p.CheckBoxColor = deep ? LightenColor(clHighlight, 80, system) : clWhite;
    p.CheckBoxSelectColor = deep ? LightenColor(clHighlight, 50, system) : clWhite;
    p.WorkingCheckedColor = clHighlight;
    p.WorkingMenuBarColor = clBtnFace;
    p.WorkingDisabledColor = deep ? LightenColor(clBtnShadow, 10, system) : clBtnShadow;
    p.WorkingSeparatorColor = deep ? LightenColor(clBtnShadow, 25, system) : clBtnShadow;
}

}  // namespace vintrel
