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
    return FontFaceOfLogFont(metrics.lfMenuFont);
}

FontFace FontFaceOfLogFont(const LOGFONTW& font) {
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

Win32MenuLook::~Win32MenuLook() {
    controlLook_.Apply(host_, false, controls_, containers_);
    SetBarBackground(nullptr);
}

void Win32MenuLook::SetActive(bool active, std::initializer_list<TMenu*> menus) {
    SetActiveFlag(active);
    for (TMenu* menu : menus) ApplyToMenu(*menu, active);
    controlLook_.Apply(host_, active, controls_, containers_);
    // Off, the bar goes back to the system's colour with its items.
    if (!active) SetBarBackground(nullptr);
    RedrawMenuBar();
}

void Win32MenuLook::SetLookContainers(LookSet containers) {
    containers_ = containers;
    ApplyToControls();
}

void Win32MenuLook::SetLookControls(LookSet controls) {
    controls_ = controls;
    ApplyToControls();
}

// The walk takes what the sets now hold and lets go of what they no longer do.
void Win32MenuLook::ApplyToControls() {
    if (Active()) controlLook_.Apply(host_, true, controls_, containers_);
}

void Win32MenuLook::RedrawMenuBar() {
    if (host_ != nullptr) DrawMenuBar(host_);
}

// The system fills the bar beyond its items with the menu colour, which
// differs from the items' face under many palettes; the bar takes the items'
// colour. Redrawn only on a change: the redraw draws the items again.
void Win32MenuLook::BarItemDrawn(Canvas& /*canvas*/, Color background) {
    if (host_ == nullptr || barColor_ == background) return;
    HBRUSH brush = CreateSolidBrush(background & 0xFFFFFF);
    if (brush == nullptr) return;
    SetBarBackground(brush);
    barColor_ = background;
    DrawMenuBar(host_);
}

// The bar's brush is the look's: freed once the bar no longer uses it.
void Win32MenuLook::SetBarBackground(HBRUSH brush) {
    if (brush == nullptr && barBrush_ == nullptr) return;
    HMENU bar = host_ != nullptr && IsWindow(host_) ? GetMenu(host_) : nullptr;
    if (bar != nullptr) {
        MENUINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIM_BACKGROUND;
        info.hbrBack = brush;
        SetMenuInfo(bar, &info);
    }
    if (barBrush_ != nullptr) DeleteObject(barBrush_);
    barBrush_ = brush;
    barColor_.reset();
}

}  // namespace vintrel
