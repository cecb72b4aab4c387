#pragma once

#include <array>
#include <functional>
#include <initializer_list>

#include "app/time_servers.h"
#include "menulook/bitmap.h"
#include "menulook/color.h"
#include "menulook/menu_model.h"

namespace vintrel {

class TzMain;

/// The 16×16 glyphs of the menu items, as each front end loads them.
struct MenuGlyphs {
    Bitmap ping;
    Bitmap dateTime;
    Bitmap readme;
    Bitmap web;
    Bitmap about;
};

/// Fills MainMenu1 (`bar`) and PopupMenu1 (`popup`) with their items: names,
/// captions, glyphs, the server radio group and the handlers, which reach the
/// window's behaviour through `handlers` when clicked. Both front ends build
/// their menus here; `servers` receives the Time Servers items in menu order.
void FillMainMenus(TMenuItem& bar, TMenuItem& popup, std::function<TzMain&()> handlers,
                   const MenuGlyphs& glyphs, std::array<TMenuItem*, kTimeServers.size()>& servers);

/// Gives the window's menu look (MenuLook1) its stored properties; both front
/// ends' looks have the same setters.
template <typename Look>
void SetMainMenuLook(Look& look) {
    look.SetDimLevel(30);
    look.SetGrayLevel(10);
    look.SetFont({"Tahoma", -11, clMenuText});
    look.SetColor(clBtnFace);
    look.SetIconBackColor(clBtnFace);
    look.SetMenuBarColor(clBtnFace);
    look.SetSelectColor(clHighlight);
    look.SetSelectBorderColor(clHighlight);
    look.SetSelectFontColor(clMenuText);
    look.SetDisabledColor(clInactiveCaption);
    look.SetSeparatorColor(clBtnFace);
    look.SetCheckedColor(clHighlight);
    look.SetIconWidth(24);
    look.SetDrawSelect(true);
    look.SetUseSystemColors(true);
    look.SetOverrideOwnerDraw(false);
    look.SetGradient(false);
    look.SetFlatMenu(false);
    look.SetAutoDetect(false);
}

/// The item named `name` in the first of `menus` that has one. Throws
/// std::out_of_range when none has.
TMenuItem& FindMenuItem(std::initializer_list<TMenu*> menus, const char* name);

}  // namespace vintrel
