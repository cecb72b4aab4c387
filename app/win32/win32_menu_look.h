#pragma once

#include <optional>

#include "menulook/look_environment.h"
#include "menulook/menu_look_rules.h"

struct HWND__;

namespace vintrel {

/// The desktop as the menu look sees it on Windows: GetSysColor, the
/// non-client metrics' menu font, the NT family.
class Win32LookEnvironment final : public LookEnvironment {
public:
    Color SysColor(int index) const override;
    std::optional<FontFace> MenuFont() const override;
    bool NtFamily() const override { return true; }
};

/// The one environment of the running desktop.
const LookEnvironment& DesktopLookEnvironment();

/// The flat menu look on a Win32 window: the drawing rules as they are, hooked
/// into the window's menus (which then draw through WM_MEASUREITEM and
/// WM_DRAWITEM on a GDI canvas).
class Win32MenuLook final : public MenuLookRules {
public:
    Win32MenuLook(HWND__* host, TMenu& mainMenu);

    /// Turns the look on or off for each of the menus.
    void SetActive(bool active, std::initializer_list<TMenu*> menus);

protected:
    void RedrawMenuBar() override;
    const TMenu* HostMainMenu() const override { return &mainMenu_; }

private:
    HWND__* host_;
    TMenu& mainMenu_;
};

}  // namespace vintrel
