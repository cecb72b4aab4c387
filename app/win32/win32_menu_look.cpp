#include "app/win32/win32_menu_look.h"

#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"

namespace vintrel {

Color Win32LookEnvironment::SysColor(int index) const {
    return GetSysColor(index) & 0xFFFFFF;
}

std::optional<FontFace> Win32LookEnvironment::MenuFont() const {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return std::nullopt;
    }
    const LOGFONTW& font = metrics.lfMenuFont;
    FontFace face;
    face.Name = NarrowWide(font.lfFaceName);
    face.Height = font.lfHeight;
    face.Charset = font.lfCharSet;
    face.Bold = font.lfWeight >= FW_BOLD;
    face.Italic = font.lfItalic != 0;
    face.Underline = font.lfUnderline != 0;
    face.StrikeOut = font.lfStrikeOut != 0;
    return face;
}

const LookEnvironment& DesktopLookEnvironment() {
    static const Win32LookEnvironment environment;
    return environment;
}

// The rules read the environment while they are built: it outlives them.
Win32MenuLook::Win32MenuLook(HWND host, TMenu& mainMenu)
    : MenuLookRules(DesktopLookEnvironment()), host_(host), mainMenu_(mainMenu) {}

void Win32MenuLook::SetActive(bool active, std::initializer_list<TMenu*> menus) {
    SetActiveFlag(active);
    for (TMenu* menu : menus) ApplyToMenu(*menu, active);
    RedrawMenuBar();
}

void Win32MenuLook::RedrawMenuBar() {
    if (host_ != nullptr) DrawMenuBar(host_);
}

}  // namespace vintrel
