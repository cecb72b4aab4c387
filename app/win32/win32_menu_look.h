#pragma once

#include <memory>
#include <optional>

#include "app/win32/win32_control_look.h"
#include "menulook/look_environment.h"
#include "menulook/menu_look_rules.h"

struct HBRUSH__;
struct HWND__;
struct tagLOGFONTW;

namespace vintrel {

/// The desktop as the menu look sees it on Windows: GetSysColor, the
/// non-client metrics' menu font, the NT family.
class Win32LookEnvironment final : public LookEnvironment {
public:
    Color SysColor(int index) const override;
    std::optional<FontFace> MenuFont() const override;
    bool NtFamily() const override { return true; }
};

/// A GDI font's description as the look's font face (its colour left as is).
FontFace FontFaceOfLogFont(const tagLOGFONTW& font);

/// The one environment of the running desktop.
const LookEnvironment& DesktopLookEnvironment();

/// The flat menu look on a Win32 window: the drawing rules as they are, hooked
/// into the window's menus (which then draw through WM_MEASUREITEM and
/// WM_DRAWITEM on a GDI canvas), and the restyling of the window's standard
/// controls that its sets hold.
class Win32MenuLook final : public MenuLookRules {
public:
    Win32MenuLook(HWND__* host, TMenu& mainMenu);
    ~Win32MenuLook() override;

    /// Turns the look on or off for each of the menus and for the host's
    /// standard controls.
    void SetActive(bool active, std::initializer_list<TMenu*> menus);
    LookSet LookContainers() const { return containers_; }
    void SetLookContainers(LookSet containers);
    LookSet LookControls() const { return controls_; }
    void SetLookControls(LookSet controls);

protected:
    void RedrawMenuBar() override;
    const TMenu* HostMainMenu() const override { return &mainMenu_; }
    void BarItemDrawn(Canvas& canvas, Color background) override;

private:
    void ApplyToControls();
    void SetBarBackground(HBRUSH__* brush);

    HWND__* host_;
    TMenu& mainMenu_;
    LookSet containers_ = kDefaultLookContainers;
    LookSet controls_ = kDefaultLookControls;
    Win32ControlLook controlLook_{*this};
    HBRUSH__* barBrush_ = nullptr;
    std::optional<Color> barColor_;  // the bar's background as last set
};

}  // namespace vintrel
