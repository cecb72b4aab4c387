#pragma once

#include <cstdint>
#include <string_view>

#include "menulook/bitmap.h"
#include "menulook/canvas.h"
#include "menulook/look_environment.h"
#include "menulook/menu_look_settings.h"
#include "menulook/menu_model.h"
#include "menulook/working_palette.h"

namespace vintrel {

/// Whom an image, a text or a highlight is drawn for; tool buttons and the
/// other controls differ from menu items in a few places.
enum class LookOwner { MenuItem, ToolButton, Control };

struct ImageSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

/// The flat menu look without any toolkit: the published painting
/// properties, the working palette, and the measure, draw and hook steps,
/// which reach pixels only through a Canvas and menus only through the menu
/// model. The component that sits on a window (TMenuLook) derives from it and
/// adds the walks over its owner.
class MenuLookRules {
public:
    explicit MenuLookRules(const LookEnvironment& environment);
    MenuLookRules(const MenuLookRules&) = delete;
    MenuLookRules& operator=(const MenuLookRules&) = delete;
    virtual ~MenuLookRules();

    // Published properties.
    std::uint8_t DimLevel() const { return s_.DimLevel; }
    void SetDimLevel(std::uint8_t level) { s_.DimLevel = level; }
    std::uint8_t GrayLevel() const { return s_.GrayLevel; }
    void SetGrayLevel(std::uint8_t level) { s_.GrayLevel = level; }
    const FontFace& Font() const { return s_.Font; }
    /// Copies the font and redraws the host's menu bar.
    void SetFont(const FontFace& font);
    Color GetColor() const { return s_.Color; }
    void SetColor(Color c) { s_.Color = c; }
    Color IconBackColor() const { return s_.IconBackColor; }
    void SetIconBackColor(Color c) { s_.IconBackColor = c; }
    Color MenuBarColor() const { return s_.MenuBarColor; }
    /// Stores the colour and redraws the host's menu bar.
    void SetMenuBarColor(Color c);
    Color SelectColor() const { return s_.SelectColor; }
    void SetSelectColor(Color c) { s_.SelectColor = c; }
    Color SelectBorderColor() const { return s_.SelectBorderColor; }
    void SetSelectBorderColor(Color c) { s_.SelectBorderColor = c; }
    Color SelectFontColor() const { return s_.SelectFontColor; }
    void SetSelectFontColor(Color c) { s_.SelectFontColor = c; }
    Color DisabledColor() const { return s_.DisabledColor; }
    void SetDisabledColor(Color c) { s_.DisabledColor = c; }
    Color SeparatorColor() const { return s_.SeparatorColor; }
    void SetSeparatorColor(Color c) { s_.SeparatorColor = c; }
    Color CheckedColor() const { return s_.CheckedColor; }
    void SetCheckedColor(Color c) { s_.CheckedColor = c; }
    std::int32_t IconWidth() const { return s_.IconWidth; }
    void SetIconWidth(std::int32_t width) { s_.IconWidth = width; }
    bool DrawSelect() const { return s_.DrawSelect; }
    void SetDrawSelect(bool on) { s_.DrawSelect = on; }
    bool UseSystemColors() const { return s_.UseSystemColors; }
    /// Stores the flag and redraws the host's menu bar.
    void SetUseSystemColors(bool on);
    bool OverrideOwnerDraw() const { return s_.OverrideOwnerDraw; }
    /// Stores the flag; an active look runs its activation walk again.
    void SetOverrideOwnerDraw(bool on);
    bool Gradient() const { return s_.Gradient; }
    void SetGradient(bool on) { s_.Gradient = on; }
    bool FlatMenu() const { return s_.FlatMenu; }
    void SetFlatMenu(bool on) { s_.FlatMenu = on; }
    bool AutoDetect() const { return s_.AutoDetect; }
    void SetAutoDetect(bool on) { s_.AutoDetect = on; }
    const MenuLookSettings& Settings() const { return s_; }

    bool Active() const { return active_; }
    /// True when the surface last painted has 16 or more bits per pixel.
    bool DeepColor() const { return deepColor_; }
    const WorkingPalette& Palette() const { return palette_; }
    const LookEnvironment& Environment() const { return env_; }

    /// Samples the surface's depth and rebuilds the palette (and, with
    /// UseSystemColors, the font); first step of every paint.
    void ApplyWorkingPalette(Canvas& canvas);
    /// Replaces `font` by the desktop's menu font in clMenuText ("MS Sans
    /// Serif" becoming "Tahoma"); leaves it alone when that font cannot be read.
    void LoadSystemMenuFont(FontFace& font) const;

    /// Marks `menu` owner-drawn (when it has items) and hooks or unhooks every item.
    void ApplyToMenu(TMenu& menu, bool activate);
    /// Installs (or removes) this look's measure and draw handlers on `item`;
    /// the application's own handlers stay unless OverrideOwnerDraw is set.
    void HookMenuItem(TMenuItem& item, bool activate);
    /// Hooks the item, its siblings and everything below them that does not
    /// draw through this look yet, so items added after activation are taken over.
    void RehookSiblings(TMenuItem& item);
    /// Whether `item` draws through this look.
    bool IsHooked(const TMenuItem& item) const { return item.OnDrawItem.IsFrom(this); }

    ImageSize ItemImageSize(const TMenuItem& item) const;
    void MeasureMenuItem(TMenuItem& item, Canvas& canvas, int& width, int& height);
    void DrawMenuItem(TMenuItem& item, Canvas& canvas, const Rect& rect, bool selected);
    void DrawCheckMark(const TMenuItem& item, bool selected, const Rect& box, Canvas& canvas,
                       bool fromList);
    /// The arrow of a parent item, at the item's right (left when right to left).
    void DrawSubmenuArrow(Canvas& canvas, const Rect& itemRect, bool rightToLeft, Color ink);
    /// Places, recolours and draws `image` (which it may change) in `column`.
    void DrawItemImage(LookOwner owner, Canvas& canvas, bool rightToLeft, bool barItem,
                       bool checked, bool enabled, bool pressed, bool selected, const Rect& column,
                       Bitmap* image);
    void DrawItemText(LookOwner owner, std::string_view text, unsigned format, const FontFace& font,
                      bool rightToLeft, bool barItem, bool isDefault, bool enabled, bool selected,
                      Rect box, Canvas& canvas, std::string_view shortCut);
    void DrawBarItemHighlight(LookOwner owner, Canvas& canvas, bool rightToLeft, Color barColor,
                              const Rect& rect);
    void FillGradient(Canvas& canvas, const Rect& rect, bool rightToLeft);
    /// The two-pixel margin just inside `inner`, between a popup's frame and
    /// its items, matched to the items it surrounds: the icon column runs on
    /// to the frame on its side.
    void DrawPopupMargin(Canvas& canvas, const Rect& inner, bool rightToLeft);
    /// Frames a flat popup whose window covers `window` on `canvas`.
    void DrawFlatBorder(Canvas& canvas, const Rect& window);

    /// `c` resolved and mapped to the nearest colour the canvas can show.
    Color Ink(const Canvas& canvas, Color c) const;
    Color Darken(Color c, int n) const;
    Color Lighten(Color c, int percent) const;

protected:
    void SetActiveFlag(bool active) { active_ = active; }
    /// DrawMenuBar on the host window; nothing without one.
    virtual void RedrawMenuBar() {}
    /// The menus were measured with another font than the one they are now
    /// painted with (the system menu font, loaded at the first paint).
    virtual void MenuFontChanged() {}
    /// The activation walk over the host window, run again by OverrideOwnerDraw.
    virtual void RunActivationWalk() {}
    /// The host window's main menu, if it has one.
    virtual const TMenu* HostMainMenu() const { return nullptr; }
    /// A popup item was painted on `canvas`: the popup window that owns it
    /// gets its border from the look (the flat frame, or the margin around
    /// its items) unless it is the host window.
    virtual void PopupItemDrawn(Canvas& /*canvas*/) {}
    /// A menu-bar item was painted on `canvas` over `background`: the bar
    /// beyond its items takes the same colour.
    virtual void BarItemDrawn(Canvas& /*canvas*/, Color /*background*/) {}

private:
    void HookIfNotOurs(TMenuItem& item);
    void DrawSeparatorOrText(TMenuItem& item, Canvas& canvas, Rect textBox, bool rightToLeft,
                             bool barItem, bool selected);

    const LookEnvironment& env_;
    MenuLookSettings s_;
    WorkingPalette palette_;
    bool deepColor_ = false;
    bool active_ = false;
};

}  // namespace vintrel
