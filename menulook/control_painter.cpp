#include "menulook/control_painter.h"

#include <algorithm>

namespace vintrel {
namespace {

constexpr int kDropDownArrowWidth = 13;

Rect LeadingCell(const ControlFace& face, int size) {
    const Rect& c = face.client;
    const int top = c.top + (c.Height() - size) / 2;
    if (face.rightToLeft) return {c.right - size, top, c.right, top + size};
    return {c.left, top, c.left + size, top + size};
}

}  // namespace

void ControlPainter::DrawArrow(Canvas& canvas, const Rect& area, Color color) {
    const int x = area.left + (area.Width() - 5) / 2;
    const int y = area.top + (area.Height() - 3) / 2;
    for (int row = 0; row < 3; ++row)
        canvas.Line({x + row, y + row}, {x + 5 - row, y + row}, color);
}

void ControlPainter::PaintToolButton(Canvas& canvas, ToolButtonFace& face) {
    rules_.ApplyWorkingPalette(canvas);
    const WorkingPalette& p = rules_.Palette();
    const bool deep = rules_.DeepColor();
    const Color hotColor = deep && !rules_.UseSystemColors()
                               ? rules_.Lighten(rules_.SelectColor(), 68)
                               : p.WorkingSelectColor;
    const Rect& b = face.bounds;
    if (!face.transparentToolbar) {
        canvas.FillRect(
            b, Ink(canvas, deep ? rules_.Lighten(face.toolbarColor, 16) : face.toolbarColor));
    }
    const Rect body{b.left, b.top + 1, b.right, b.bottom};
    const bool framed = face.hot || face.checked;
    if (face.hot) {
        const bool sunk = face.checked || face.down;
        canvas.FillRect(body, Ink(canvas, sunk ? p.CheckBoxSelectColor : hotColor));
    } else if (face.checked) {
        canvas.FillRect(body, Ink(canvas, p.CheckBoxColor));
    }
    if (framed) {
        const Color pen = Ink(canvas, p.WorkingSelectBorderColor);
        if (face.dropDown) {
            canvas.FrameRect(
                {body.left, body.top, body.right - kDropDownArrowWidth + 1, body.bottom}, pen,
                std::nullopt);
            canvas.FrameRect({body.right - kDropDownArrowWidth, body.top, body.right, body.bottom},
                             pen, std::nullopt);
        } else {
            canvas.FrameRect(body, pen, std::nullopt);
        }
    }
    if (face.opensMenu && face.down)
        rules_.DrawBarItemHighlight(LookOwner::ToolButton, canvas, false, face.toolbarColor, b);
    Rect content = b;
    if (face.dropDown) {
        content.right -= kDropDownArrowWidth;
        DrawArrow(canvas, {content.right, b.top, b.right, b.bottom},
                  canvas.NearestColor(face.enabled ? clBlack : rules_.Ink(canvas, clBtnShadow)));
    }
    const int imageWidth = face.image.ShownWidth();
    const int imageLeft =
        face.captionsBelow ? content.left + (content.Width() - imageWidth) / 2 : content.left + 3;
    rules_.DrawItemImage(LookOwner::ToolButton, canvas, false, false, face.checked, face.enabled,
                         face.down, face.hot, {imageLeft, b.top, imageLeft + imageWidth, b.bottom},
                         &face.image);
    if (face.caption.empty()) return;
    canvas.SetFont(face.font);
    Rect box;
    unsigned format = DT_LEFT;
    if (face.captionsBelow) {
        box = {content.left, content.bottom - canvas.TextHeight("W") - 2, content.right,
               content.bottom};
        format = DT_CENTER;
    } else {
        box = {imageLeft + imageWidth + (imageWidth > 0 ? 3 : 0), b.top, content.right, b.bottom};
    }
    rules_.DrawItemText(LookOwner::ToolButton, face.caption, format, face.font, false, false, false,
                        face.enabled, face.hot, box, canvas, {});
}

void ControlPainter::PaintToolSeparator(Canvas& canvas, const Rect& bounds, Color toolbarColor,
                                        int tag) {
    rules_.ApplyWorkingPalette(canvas);
    canvas.FillRect(bounds, Ink(canvas, toolbarColor));
    if (tag <= 0) return;
    const int x = bounds.left + bounds.Width() / 2;
    canvas.Line({x, bounds.top}, {x, bounds.bottom}, Ink(canvas, rules_.Darken(toolbarColor, 30)));
}

void ControlPainter::PaintBand(Canvas& canvas, const Rect& band, Color barColor) {
    rules_.ApplyWorkingPalette(canvas);
    canvas.FillRect(band, Ink(canvas, rules_.DeepColor() ? rules_.Lighten(barColor, 6) : barColor));
    int k = 0;
    for (int y = band.top + 5; y <= band.bottom - 5; ++y) {
        if (y % 2 != 0) continue;
        canvas.Line({band.left + 3, y}, {band.left + 6, y},
                    Ink(canvas, rules_.Darken(barColor, 30 + 7 * k)));
        ++k;
    }
}

void ControlPainter::PaintComboOverlay(Canvas& canvas, const ControlFace& face) {
    rules_.ApplyWorkingPalette(canvas);
    const WorkingPalette& p = rules_.Palette();
    const Rect& c = face.client;
    const Color edge = Ink(canvas, rules_.Lighten(clBtnFace, 16));
    canvas.FrameRect(c, edge, std::nullopt);
    canvas.FrameRect({c.left + 1, c.top + 1, c.right - 1, c.bottom - 1}, edge, std::nullopt);
    canvas.FrameRect({c.left + 1, c.top + 1, c.right - 1, c.bottom - 1},
                     Ink(canvas, face.controlColor), std::nullopt);
    Color border = face.controlColor;
    if (face.hot) {
        border = p.WorkingSelectBorderColor;
    } else if (face.focused) {
        border = rules_.Lighten(p.WorkingSelectBorderColor, 60);
    }
    canvas.FrameRect(c, Ink(canvas, border), std::nullopt);

    const int buttonWidth = face.thumbSize + 1;
    const Rect button = face.rightToLeft
                            ? Rect{c.left + 1, c.top + 1, c.left + 1 + buttonWidth, c.bottom - 1}
                            : Rect{c.right - 1 - buttonWidth, c.top + 1, c.right - 1, c.bottom - 1};
    Color fill = clBtnFace;
    if (face.droppedDown) {
        fill = p.CheckBoxSelectColor;
    } else if (face.hot) {
        fill = p.WorkingSelectColor;
    } else if (face.focused) {
        fill = p.CheckBoxColor;
    }
    canvas.FillRect(button, Ink(canvas, fill));
    const bool light = !face.enabled || face.droppedDown;
    DrawArrow(canvas, button, canvas.NearestColor(light ? clWhite : clBlack));
}

void ControlPainter::PaintEditOverlay(Canvas& canvas, const ControlFace& face) {
    rules_.ApplyWorkingPalette(canvas);
    Color outline = clWindow;
    if (face.hot || face.focused) {
        outline = rules_.Lighten(rules_.Palette().WorkingSelectBorderColor, 60);
    } else if (face.singleBorder) {
        outline = rules_.Darken(clBtnFace, 30);
    }
    canvas.FrameRect(face.client, Ink(canvas, outline), std::nullopt);
}

void ControlPainter::PaintCheckBoxOverlay(Canvas& canvas, const ControlFace& face) {
    rules_.ApplyWorkingPalette(canvas);
    const WorkingPalette& p = rules_.Palette();
    const Rect box = LeadingCell(face, face.thumbSize);
    const bool lit = face.hot || face.focused;
    const bool pressed = face.buttonDown || face.spaceDown;
    Color fill = lit ? p.WorkingSelectColor : clWindow;
    if (pressed) fill = p.CheckBoxSelectColor;
    canvas.FrameRect(box, Ink(canvas, lit ? p.WorkingSelectBorderColor : clBtnShadow),
                     Ink(canvas, fill));
    if (!face.checked) return;
    Color tickColor = clHighlight;
    if (pressed) tickColor = clWindow;
    if (!face.enabled) tickColor = p.WorkingDisabledColor;
    const Color tick = Ink(canvas, tickColor);
    // The menu's tick, in a 10-pixel box set one pixel in from the frame.
    const int l = box.left + 1, t = box.top + (box.Height() - 10) / 2 + 1;
    const int r = std::min(l + 10, box.right - 3), b = t + 10;
    canvas.Line({l + 1, t + 5}, {l + 4, b - 2}, tick);
    canvas.Line({l + 2, t + 5}, {l + 4, b - 3}, tick);
    canvas.Line({l + 2, t + 4}, {l + 5, b - 3}, tick);
    canvas.Line({l + 4, b - 3}, {r + 2, t - 1}, tick);
    canvas.Line({l + 4, b - 2}, {r - 2, t + 3}, tick);
}

void ControlPainter::PaintRadioOverlay(Canvas& canvas, const ControlFace& face) {
    rules_.ApplyWorkingPalette(canvas);
    const WorkingPalette& p = rules_.Palette();
    const Rect cell = LeadingCell(face, 14);
    const bool lit = face.hot || face.focused;
    Color fill = lit ? p.WorkingSelectColor : clWindow;
    if (face.buttonDown || face.spaceDown) fill = p.CheckBoxSelectColor;
    const Rect circle{cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2};
    canvas.FillRect(cell, Ink(canvas, face.controlColor));
    canvas.Ellipse(circle, Ink(canvas, lit ? p.WorkingSelectBorderColor : clBtnShadow),
                   Ink(canvas, fill));
    if (!face.checked) return;
    const Color dot = Ink(canvas, face.enabled ? clHighlight : p.WorkingDisabledColor);
    canvas.Ellipse({circle.left + 2, circle.top + 2, circle.right - 2, circle.bottom - 2}, dot,
                   dot);
}

void ControlPainter::PaintPushButton(Canvas& canvas, ControlFace& face) {
    rules_.ApplyWorkingPalette(canvas);
    const WorkingPalette& p = rules_.Palette();
    const Rect& c = face.client;
    canvas.FillRect(c, Ink(canvas, clBtnFace));
    const bool lit = face.hot || face.focused || face.spaceDown;
    const Color b = lit ? rules_.Lighten(p.WorkingSelectBorderColor, 60) : clBtnShadow;
    const Color fill =
        face.hot || face.spaceDown ? rules_.Lighten(clBtnFace, 60) : p.WorkingIconBackColor;
    canvas.RoundRect(c, 6, 6, Ink(canvas, rules_.Lighten(b, 30)), Ink(canvas, fill));
    if (face.enabled) {
        const Color bevel = Ink(canvas, rules_.Darken(b, 50));
        if ((face.buttonDown && face.hot) || face.spaceDown) {
            canvas.Line({c.left + 2, c.top + 1}, {c.right - 2, c.top + 1}, bevel);
            canvas.Line({c.left + 1, c.top + 2}, {c.left + 1, c.bottom - 2}, bevel);
        } else {
            canvas.Line({c.left + 2, c.bottom - 2}, {c.right - 2, c.bottom - 2}, bevel);
            canvas.Line({c.right - 2, c.top + 2}, {c.right - 2, c.bottom - 2}, bevel);
        }
    }
    canvas.SetFont(face.font);
    const int glyphWidth = face.glyph.Width();
    const int spacing = glyphWidth > 0 && !face.caption.empty() ? 4 : 0;
    const std::string& shown = face.caption;
    int textWidth = canvas.TextWidth(shown);
    if (shown.find('&') != std::string::npos) textWidth -= canvas.TextWidth("&");
    const int left = c.left + std::max(0, (c.Width() - glyphWidth - spacing - textWidth) / 2);
    const int glyphTop = c.top + (c.Height() - face.glyph.Height()) / 2 - 2;
    rules_.DrawItemImage(LookOwner::Control, canvas, face.rightToLeft, false, false, face.enabled,
                         face.buttonDown && face.hot, face.hot,
                         {left, glyphTop, left + glyphWidth, glyphTop + face.glyph.Height()},
                         &face.glyph);
    if (shown.empty()) return;
    const Rect box{left + glyphWidth + spacing, c.top, c.right, c.bottom};
    rules_.DrawItemText(LookOwner::Control, shown, DT_LEFT, face.font, face.rightToLeft, false,
                        face.isDefault, face.enabled, false, box, canvas, {});
}

bool RestylesControl(LookSet controls, LookSet containers, std::optional<TLookControl> kind,
                     std::optional<TLookContainer> parent) {
    return kind && controls.Has(*kind) && parent && containers.Has(*parent);
}

bool PaintsOverControl(TLookControl kind) {
    return kind == xcCombo || kind == xcEdit || kind == xcCheckBox || kind == xcRadioButton;
}

void ControlPainter::PaintControl(Canvas& canvas, TLookControl kind, ControlFace& face) {
    switch (kind) {
        case xcCombo:
            PaintComboOverlay(canvas, face);
            break;
        case xcEdit:
            PaintEditOverlay(canvas, face);
            break;
        case xcCheckBox:
            PaintCheckBoxOverlay(canvas, face);
            break;
        case xcRadioButton:
            PaintRadioOverlay(canvas, face);
            break;
        default:
            PaintPushButton(canvas, face);
            break;
    }
}

}  // namespace vintrel
