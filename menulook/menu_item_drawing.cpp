// The paint steps of the menu look: one menu item, its check mark, image,
// text, the menu bar highlight, the gradient and the flat popup border.
#include <algorithm>
#include <string>

#include "menulook/color_math.h"
#include "menulook/image_list.h"
#include "menulook/image_recolor.h"
#include "menulook/menu_look_rules.h"

namespace vintrel {
namespace {

struct ItemImageSource {
    TImageList* list = nullptr;
    bool subMenuList = false;
};

ItemImageSource ImageSourceOf(const TMenuItem& item, const TMenu* menu) {
    const TMenuItem* parent = item.Parent();
    if (parent != nullptr && parent->SubMenuImages() != nullptr)
        return {parent->SubMenuImages(), true};
    return {menu != nullptr ? menu->Images() : nullptr, false};
}

}  // namespace

void MenuLookRules::DrawMenuItem(TMenuItem& item, Canvas& canvas, const Rect& itemRect,
                                 bool selected) {
    if (!active_) return;
    ApplyWorkingPalette(canvas);
    TMenu* menu = item.GetParentMenu();
    const bool barItem = menu != nullptr && menu->IsMainMenu() && item.Parent() == &menu->Items();
    const bool rtl = menu != nullptr && menu->IsRightToLeft();
    FontFace font = s_.Font;
    if (rtl) font.Charset = ARABIC_CHARSET;
    canvas.SetFont(font);

    Rect rect = itemRect;
    rect.bottom += 1;
    const int iconWidth = s_.IconWidth;
    const ItemImageSource source = ImageSourceOf(item, menu);
    const bool fromList = source.list != nullptr && item.ImageIndex() != -1;

    const Rect column = rtl ? Rect{rect.right - iconWidth, rect.top, rect.right, rect.bottom}
                            : Rect{rect.left, rect.top, rect.left + iconWidth, rect.bottom};
    Rect checkBox;
    if (fromList) {
        checkBox = {column.left + 1, column.top + 2, column.right - 3, column.bottom - 2};
    } else {
        checkBox.left = column.left + (column.Width() - 10) / 2;
        checkBox.top = column.top + (column.Height() - 10) / 2;
        checkBox.right = checkBox.left + 10;
        checkBox.bottom = checkBox.top + 10;
    }

    Rect textBox = rtl ? Rect{rect.left, rect.top, rect.right - iconWidth, rect.bottom}
                       : Rect{rect.left + iconWidth, rect.top, rect.right, rect.bottom};
    // Measured from the item's own left edge: the original compares the edge's
    // coordinate itself, which is the same where items start at x 0.
    const int imageWidth = fromList ? source.list->Width() : item.GetBitmap().ShownWidth();
    if (!rtl && iconWidth < imageWidth) textBox.left = rect.left + imageWidth + 4;
    if (rtl && imageWidth > iconWidth) textBox.right = rect.right - imageWidth - 4;

    if (barItem) {
        if (fromList) {
            if (rtl) {
                textBox.right += 5;
            } else {
                textBox.left -= 5;
            }
        } else {
            if (env_.NtFamily()) {
                if (rtl) {
                    rect.left -= 5;
                } else {
                    rect.right += 8;
                }
            }
            textBox = rect;
        }
    }

    // Background.
    if (barItem) {
        const Color background = Ink(canvas, palette_.WorkingMenuBarColor);
        canvas.FillRect(rect, background);
        BarItemDrawn(canvas, background);
    } else if (deepColor_ && s_.Gradient) {
        FillGradient(canvas, {rect.left, rect.top, rect.right + 2, rect.bottom}, rtl);
    } else if (item.Enabled() || !selected) {
        canvas.FillRect(rect, Ink(canvas, palette_.WorkingColor));
        canvas.FillRect(column, Ink(canvas, palette_.WorkingIconBackColor));
    }

    // Highlight.
    if (selected && s_.DrawSelect) {
        if (barItem) {
            DrawBarItemHighlight(LookOwner::MenuItem, canvas, rtl, s_.MenuBarColor, rect);
        } else if (item.Enabled()) {
            const Rect box{rect.left, rect.top + 1, rect.right - (s_.FlatMenu ? 1 : 0),
                           rect.bottom - 1};
            canvas.FillRect(box, Ink(canvas, palette_.WorkingSelectColor));
            canvas.RoundRect(box, 0, 0, Ink(canvas, palette_.WorkingSelectBorderColor),
                             std::nullopt);
        }
    }

    DrawCheckMark(item, selected, checkBox, canvas, fromList);

    Bitmap work;
    if (fromList) {
        const Color background = source.subMenuList ? canvas.BrushColor() : canvas.Pixel(2, 2);
        work = Bitmap(source.list->Width(), source.list->Height(), background);
        source.list->Draw(work, 0, 0, item.ImageIndex());
    } else {
        work = item.GetBitmap();
    }
    DrawItemImage(LookOwner::MenuItem, canvas, rtl, barItem, item.Checked(), item.Enabled(), false,
                  selected, column, &work);

    DrawSeparatorOrText(item, canvas, textBox, rtl, barItem, selected);
    if (!barItem && item.Count() > 0) {
        Color arrow = s_.Font.Color;
        if (selected) arrow = palette_.WorkingSelectFontColor;
        if (!item.Enabled()) arrow = palette_.WorkingDisabledColor;
        DrawSubmenuArrow(canvas, itemRect, rtl, Ink(canvas, arrow));
    }

    if (!barItem) PopupItemDrawn(canvas);
    RehookSiblings(item);
}

void MenuLookRules::DrawSeparatorOrText(TMenuItem& item, Canvas& canvas, Rect textBox,
                                        bool rightToLeft, bool barItem, bool selected) {
    if (item.IsSeparator()) {
        const int y = textBox.top + RoundHalfEven((textBox.bottom - textBox.top) / 2.0);
        const Color pen = Ink(canvas, palette_.WorkingSeparatorColor);
        if (rightToLeft) {
            canvas.Line({textBox.left, y}, {textBox.right - 7, y}, pen);
        } else {
            canvas.Line({textBox.left + 7, y}, {textBox.right, y}, pen);
        }
        return;
    }
    unsigned format = DT_LEFT;
    if (rightToLeft) {
        textBox.right -= 5;
        format = DT_RIGHT | DT_RTLREADING;
    } else {
        textBox.left += 5;
    }
    DrawItemText(LookOwner::MenuItem, " " + item.Caption(), format, canvas.Font(), rightToLeft,
                 barItem, item.Default(), item.Enabled(), selected, textBox, canvas,
                 item.ShortCutText());
}

// The system draws this arrow over an owner-drawn parent item, in the room it
// adds at the item's right for a check mark: a solid triangle seven pixels
// high in the text colour, pointing to where the submenu opens.
void MenuLookRules::DrawSubmenuArrow(Canvas& canvas, const Rect& itemRect, bool rightToLeft,
                                     Color ink) {
    const int middle = itemRect.top + itemRect.Height() / 2;
    const int base = rightToLeft ? itemRect.left + 9 : itemRect.right - 10;
    for (int i = 0; i < 4; ++i) {
        const int x = rightToLeft ? base - i : base + i;
        canvas.Line({x, middle - 3 + i}, {x, middle + 4 - i}, ink);
    }
}

void MenuLookRules::DrawCheckMark(const TMenuItem& item, bool selected, const Rect& box,
                                  Canvas& canvas, bool fromList) {
    if (!item.Checked()) return;
    const Color fill =
        Ink(canvas, selected ? palette_.CheckBoxSelectColor : palette_.CheckBoxColor);
    if (item.RadioItem()) {
        const Color pen = Ink(canvas, palette_.WorkingSelectBorderColor);
        if (fromList) {
            canvas.RoundRect(box, 6, 6, pen, fill);
        } else {
            canvas.Ellipse(box, pen, fill);
        }
        return;
    }
    if (fromList) {
        canvas.FrameRect(box, Ink(canvas, palette_.WorkingSelectBorderColor), fill);
        return;
    }
    canvas.FrameRect(box, Ink(canvas, palette_.WorkingCheckedColor), fill);
    const Color tick = canvas.NearestColor(clBlack);
    const int l = box.left, t = box.top, r = box.right, b = box.bottom;
    canvas.Line({l + 1, t + 5}, {l + 4, b - 2}, tick);
    canvas.Line({l + 2, t + 5}, {l + 4, b - 3}, tick);
    canvas.Line({l + 2, t + 4}, {l + 5, b - 3}, tick);
    canvas.Line({l + 4, b - 3}, {r + 2, t - 1}, tick);
    canvas.Line({l + 4, b - 2}, {r - 2, t + 3}, tick);
}

void MenuLookRules::DrawItemImage(LookOwner owner, Canvas& canvas, bool rightToLeft, bool barItem,
                                  bool checked, bool enabled, bool pressed, bool selected,
                                  const Rect& column, Bitmap* image) {
    if (image == nullptr || image->IsEmpty()) return;
    int x = column.left;
    int y = column.top + 2;
    if (owner == LookOwner::MenuItem) {
        const int w = image->ShownWidth();
        y = column.top + 4;
        if (w <= s_.IconWidth) {
            x = column.left + (s_.IconWidth - w) / 2 - 1;
        } else {
            x = rightToLeft ? column.right - w - 2 : column.left + 2;
        }
    }
    if (selected && !barItem && enabled && !checked && !pressed) {
        --x;
        --y;
    }
    if (!selected && enabled && !checked && deepColor_) LightenBitmap(*image, s_.DimLevel, env_);
    if (!enabled) {
        GrayOutBitmap(*image, s_.GrayLevel, env_);
        LightenBitmap(*image, 40, env_);
    }
    if (selected && enabled && !checked) {
        const Color base = deepColor_ && !s_.UseSystemColors && owner == LookOwner::ToolButton
                               ? Lighten(s_.SelectColor, 68)
                               : palette_.WorkingSelectColor;
        DrawIconShadow(*image, canvas, x + 2, y + 2, Ink(canvas, Darken(base, 50)));
    }
    canvas.DrawImage(x, y, *image, image->Pixel(0, image->Height() - 1));
}

void MenuLookRules::DrawItemText(LookOwner owner, std::string_view text, unsigned format,
                                 const FontFace& font, bool rightToLeft, bool barItem,
                                 bool isDefault, bool enabled, bool selected, Rect box,
                                 Canvas& canvas, std::string_view shortCut) {
    canvas.SetFont(font);
    Color textColor = font.Color;
    if (selected) textColor = palette_.WorkingSelectFontColor;
    if (!enabled) {
        textColor = palette_.WorkingDisabledColor;
        if (owner == LookOwner::ToolButton) {
            // An off-screen image in the brush colour, copied to the box.
            canvas.FillRect(box, canvas.BrushColor());
            canvas.DrawText(text, box, format, Ink(canvas, textColor));
            return;
        }
    }
    if (selected && barItem && s_.UseSystemColors)
        textColor = ContrastTextColor(palette_.WorkingIconBackColor, s_.Font.Color, env_);

    box.top += (box.Height() - canvas.TextHeight("W")) / 2;
    if (isDefault && enabled) {
        const Color p = canvas.Pixel(box.left, box.top);
        const struct {
            Rect box;
            int level;
        } halo[] = {{{box.left + 1, box.top, box.right, box.bottom}, 30},
                    {{box.left + 1, box.top + 2, box.right + 1, box.bottom}, 30},
                    {{box.left, box.top + 1, box.right, box.bottom}, 40},
                    {{box.left + 1, box.top + 1, box.right + 1, box.bottom}, 60}};
        for (const auto& h : halo)
            canvas.DrawText(text, h.box, format, Ink(canvas, Darken(p, h.level)));
    }
    canvas.DrawText(text, box, format, Ink(canvas, textColor));

    if (shortCut.empty()) return;
    const Color shortCutColor = deepColor_ ? Darken(textColor, -40) : textColor;
    Rect shortCutBox = box;
    unsigned shortCutFormat = DT_RIGHT;
    if (rightToLeft) {
        shortCutBox.left += 10;
        shortCutFormat = DT_LEFT;
    } else {
        shortCutBox.right -= 10;
    }
    canvas.DrawText(std::string(shortCut) + " ", shortCutBox, shortCutFormat,
                    Ink(canvas, shortCutColor));
}

void MenuLookRules::DrawBarItemHighlight(LookOwner owner, Canvas& canvas, bool rightToLeft,
                                         Color barColor, const Rect& rect) {
    canvas.FillRect(rect, Ink(canvas, palette_.WorkingSelectColor));
    const Color pen = Ink(canvas, palette_.WorkingSelectBorderColor);
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    if (rightToLeft || !deepColor_ || owner != LookOwner::MenuItem) {
        canvas.Polyline({{l, b - 1}, {l, t}, {r - 3, t}, {r - 3, b}}, pen);
        canvas.FillRect({r - 2, t + 2, r, b}, Ink(canvas, Darken(barColor, 70)));
        canvas.FillRect({r - 2, t, r, t + 2}, Ink(canvas, barColor));
        return;
    }
    canvas.Polyline({{l, b - 1}, {l, t}, {r - 8, t}, {r - 8, b}}, pen);
    const Color c = palette_.WorkingMenuBarColor;
    canvas.FillRect({r - 7, t, r, b}, Ink(canvas, Darken(c, 10)));
    canvas.FillRect({r - 7, t + 3, r - 2, b}, Ink(canvas, Darken(c, 30)));
    canvas.FillRect({r - 7, t + 5, r - 3, b}, Ink(canvas, Darken(c, 60)));
    canvas.FillRect({r - 7, t + 6, r - 5, b}, Ink(canvas, Darken(c, 100)));
    const Color bar = Ink(canvas, c);
    canvas.Polyline({{r - 5, t + 1}, {r - 1, t + 1}, {r - 1, t + 6}}, bar);
    canvas.Polyline({{r - 3, t + 2}, {r - 2, t + 2}, {r - 2, t + 3}, {r - 3, t + 3}}, bar);
    canvas.Polyline(
        {{r - 6, t + 3}, {r - 3, t + 3}, {r - 3, t + 6}, {r - 4, t + 6}, {r - 4, t + 3}},
        Ink(canvas, Darken(c, 10)));
    canvas.Polyline({{r - 5, t + 5}, {r - 4, t + 5}, {r - 4, t + 9}}, Ink(canvas, Darken(c, 30)));
    canvas.Line({r - 6, t + 5}, {r - 6, t + 7}, Ink(canvas, Darken(c, 40)));
}

void MenuLookRules::FillGradient(Canvas& canvas, const Rect& rect, bool rightToLeft) {
    const int columns = rect.right - rect.left + 1;
    int k = 0;
    for (int i = 0; i < columns; ++i) {
        const int x = rightToLeft ? rect.right - 1 - i : rect.left + i;
        const bool steep = rightToLeft ? rect.right - s_.IconWidth + 5 < x && x < rect.right
                                       : rect.left < x && x < rect.left + s_.IconWidth + 5;
        k = std::min(k + (steep ? 3 : 1), 96);
        canvas.FillRect({x, rect.top, x + 1, rect.bottom},
                        Ink(canvas, Lighten(palette_.WorkingIconBackColor, k)));
    }
}

void MenuLookRules::DrawPopupMargin(Canvas& canvas, const Rect& inner, bool rightToLeft) {
    if (inner.Width() < 4 || inner.Height() < 4) return;
    const Color itemColor = Ink(canvas, palette_.WorkingColor);
    const Color iconColor = Ink(canvas, palette_.WorkingIconBackColor);
    // The icon column carried on to the edge, past the margin on its side.
    const int columnLeft = rightToLeft ? inner.right - 2 - s_.IconWidth : inner.left;
    const int columnRight = rightToLeft ? inner.right : inner.left + 2 + s_.IconWidth;
    if (deepColor_ && s_.Gradient) {
        FillGradient(canvas, {inner.left, inner.top, inner.right, inner.top + 2}, rightToLeft);
    } else {
        canvas.FillRect({inner.left, inner.top, inner.right, inner.top + 2}, itemColor);
        canvas.FillRect({columnLeft, inner.top, columnRight, inner.top + 2}, iconColor);
    }
    canvas.FillRect({inner.left, inner.bottom - 2, inner.right, inner.bottom}, itemColor);
    canvas.FillRect({columnLeft, inner.bottom - 2, columnRight, inner.bottom}, iconColor);
    const Rect leading{inner.left, inner.top, inner.left + 2, inner.bottom};
    const Rect trailing{inner.right - 2, inner.top, inner.right, inner.bottom};
    canvas.FillRect(rightToLeft ? trailing : leading, iconColor);
    canvas.FillRect(rightToLeft ? leading : trailing, itemColor);
}

void MenuLookRules::DrawFlatBorder(Canvas& canvas, const Rect& window) {
    const Rect frame{window.left, window.top, window.right - 2, window.bottom - 2};
    if (frame.Width() < 6 || frame.Height() < 6) return;
    DrawPopupMargin(canvas, {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1},
                    false);
    canvas.FrameRect(frame, Ink(canvas, palette_.PopupBorderColor), std::nullopt);
    const Color shadow = Ink(canvas, palette_.PopupShadowColor);
    canvas.FillRect({frame.right, frame.top + 2, window.right, window.bottom}, shadow);
    canvas.FillRect({frame.left + 2, frame.bottom, window.right, window.bottom}, shadow);
    const Color face = Ink(canvas, clBtnFace);
    canvas.FillRect({frame.right, window.top, window.right, frame.top + 2}, face);
    canvas.FillRect({window.left, frame.bottom, frame.left + 2, window.bottom}, face);
}

}  // namespace vintrel
