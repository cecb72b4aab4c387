#include "menulook/menu_look_rules.h"

#include <algorithm>
#include <string>

#include "menulook/color_math.h"
#include "menulook/image_list.h"

namespace vintrel {

MenuLookRules::MenuLookRules(const LookEnvironment& environment) : env_(environment) {
    LoadSystemMenuFont(s_.Font);
    s_.SelectFontColor = s_.Font.Color;
    palette_ = PaletteFromSettings(s_, deepColor_, env_);
}

MenuLookRules::~MenuLookRules() = default;

void MenuLookRules::SetFont(const FontFace& font) {
    s_.Font = font;
    RedrawMenuBar();
}

void MenuLookRules::SetMenuBarColor(Color c) {
    s_.MenuBarColor = c;
    RedrawMenuBar();
}

void MenuLookRules::SetUseSystemColors(bool on) {
    s_.UseSystemColors = on;
    RedrawMenuBar();
}

void MenuLookRules::SetOverrideOwnerDraw(bool on) {
    s_.OverrideOwnerDraw = on;
    if (active_) RunActivationWalk();
}

Color MenuLookRules::Ink(const Canvas& canvas, Color c) const {
    return canvas.NearestColor(ColorToRGB(c, env_));
}

Color MenuLookRules::Darken(Color c, int n) const {
    return DarkenColor(c, n, env_);
}

Color MenuLookRules::Lighten(Color c, int percent) const {
    return LightenColor(c, percent, env_);
}

void MenuLookRules::ApplyWorkingPalette(Canvas& canvas) {
    deepColor_ = canvas.BitsPerPixel() >= 16;
    palette_ = PaletteFromSettings(s_, deepColor_, env_);
    if (!s_.UseSystemColors) return;
    const FontFace measuredWith = s_.Font;
    LoadSystemMenuFont(s_.Font);
    if (!(s_.Font == measuredWith)) MenuFontChanged();
    ApplySystemColors(palette_, deepColor_, s_.Font.Color, env_);
}

void MenuLookRules::LoadSystemMenuFont(FontFace& font) const {
    std::optional<FontFace> menuFont = env_.MenuFont();
    if (!menuFont) return;
    font = *menuFont;
    font.Color = clMenuText;
    if (font.Name == "MS Sans Serif") font.Name = "Tahoma";
}

void MenuLookRules::ApplyToMenu(TMenu& menu, bool activate) {
    if (menu.Items().Count() > 0) menu.SetOwnerDraw(activate);
    for (int i = 0; i < menu.Items().Count(); ++i)
        ForEachItem(menu.Items().Item(i), [&](TMenuItem& item) { HookMenuItem(item, activate); });
}

void MenuLookRules::HookMenuItem(TMenuItem& item, bool activate) {
    if (!activate) {
        if (item.OnDrawItem.IsFrom(this)) item.OnDrawItem = {};
        if (item.OnMeasureItem.IsFrom(this)) item.OnMeasureItem = {};
        return;
    }
    if (!item.OnDrawItem || s_.OverrideOwnerDraw) {
        item.OnDrawItem =
            DrawItemHandler([this](TMenuItem& i, Canvas& c, const Rect& r,
                                   bool selected) { DrawMenuItem(i, c, r, selected); },
                            this);
    }
    if (!item.OnMeasureItem || s_.OverrideOwnerDraw) {
        item.OnMeasureItem = MeasureItemHandler(
            [this](TMenuItem& i, Canvas& c, int& w, int& h) { MeasureMenuItem(i, c, w, h); }, this);
    }
}

void MenuLookRules::HookIfNotOurs(TMenuItem& item) {
    if (!IsHooked(item)) HookMenuItem(item, true);
}

// Hooking is idempotent, so one pass over the item, its siblings and all that
// lies below them ends where the nested sibling walks would, at linear cost.
void MenuLookRules::RehookSiblings(TMenuItem& item) {
    HookIfNotOurs(item);
    TMenuItem* parent = item.Parent();
    if (parent == nullptr) return;
    for (int i = 0; i < parent->Count(); ++i)
        ForEachItem(parent->Item(i), [this](TMenuItem& each) { HookIfNotOurs(each); });
}

ImageSize MenuLookRules::ItemImageSize(const TMenuItem& item) const {
    const TMenuItem* parent = item.Parent();
    const TMenu* menu = item.GetParentMenu();
    const TMenu* hostMenu = HostMainMenu();
    // The original compares the names of the parent component and the main
    // menu; identity says the same for named components and cannot mistake
    // two unnamed ones for each other.
    const bool barItem = hostMenu != nullptr && parent == &hostMenu->Items();
    TImageList* subList = parent != nullptr ? parent->SubMenuImages() : nullptr;
    TImageList* menuList = menu != nullptr ? menu->Images() : nullptr;
    ImageSize size;
    if (menuList != nullptr || subList != nullptr) {
        if (item.ImageIndex() != -1) {
            const TImageList* list = subList != nullptr ? subList : menuList;
            size = {list->Width(), list->Height()};
        }
    } else if (item.GetBitmap().ShownWidth() > 0) {
        size = {item.GetBitmap().ShownWidth(), item.GetBitmap().ShownHeight()};
    }
    if (!barItem) size.width = std::max(size.width, s_.IconWidth);
    return size;
}

void MenuLookRules::MeasureMenuItem(TMenuItem& item, Canvas& canvas, int& width, int& height) {
    if (!active_) return;
    const bool separator = item.IsSeparator();
    std::string text = separator ? std::string() : item.Caption();
    const std::string shortCut = item.ShortCutText();
    if (!shortCut.empty()) text += shortCut + "WWW";
    canvas.SetFont(s_.Font);
    int w = canvas.TextWidth(text);
    if (text.find('&') != std::string::npos) w -= canvas.TextWidth("&");
    const ImageSize image = ItemImageSize(item);
    w += image.width + 10;
    if (w > width) width = w;
    if (separator) {
        height = 4;
        return;
    }
    const int th = canvas.TextHeight(text);
    const int h = std::max(th + RoundHalfEven(th * 0.75), image.height + 6);
    if (h > height) height = h;
}

}  // namespace vintrel
