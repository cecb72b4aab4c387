#pragma once

#include <optional>
#include <string>

#include "menulook/bitmap.h"
#include "menulook/canvas.h"
#include "menulook/menu_look_rules.h"
#include "menulook/menu_look_settings.h"

namespace vintrel {

/// One tool button as the toolbar describes it to its painter.
struct ToolButtonFace {
    Rect bounds;
    Color toolbarColor = clBtnFace;
    bool transparentToolbar = false;
    bool hot = false;
    bool checked = false;
    bool down = false;
    bool enabled = true;
    bool dropDown = false;      // split into a button and an arrow part
    bool opensMenu = false;     // pressed while it opens its menu
    bool captionsBelow = true;  // captions under the images, else beside them
    std::string caption;
    FontFace font;
    Bitmap image;  // already filled with the brush colour behind the list entry
};

/// The state an intercepted standard control is painted in.
struct ControlFace {
    Rect client;
    Color controlColor = clWindow;  // the control's own background
    bool hot = false;
    bool focused = false;
    bool buttonDown = false;
    bool spaceDown = false;
    bool checked = false;
    bool enabled = true;
    bool droppedDown = false;
    bool isDefault = false;
    bool rightToLeft = false;
    bool singleBorder = true;  // an edit box's saved border style
    int thumbSize = 13;        // SM_CXHTHUMB
    std::string caption;
    FontFace font;
    Bitmap glyph;
};

/// The tag that keeps a control, or every control of a parent, away from the look.
inline constexpr int kNoInterceptTag = 999;

/// Whether a standard control of `kind` standing in a parent of kind `parent`
/// is restyled under the look's sets; an unknown kind or parent never is.
bool RestylesControl(LookSet controls, LookSet containers, std::optional<TLookControl> kind,
                     std::optional<TLookContainer> parent);

/// Whether the look's paint of a control of `kind` goes over the control's own
/// paint (an overlay) rather than replacing it.
bool PaintsOverControl(TLookControl kind);

/// The flat look of tool buttons, control-bar bands and the five standard
/// controls, drawn with the menu look's palette and image and text steps.
/// Every paint starts with ApplyWorkingPalette.
class ControlPainter {
public:
    explicit ControlPainter(MenuLookRules& rules) : rules_(rules) {}

    void PaintToolButton(Canvas& canvas, ToolButtonFace& face);
    /// A separator or divider before a button; a divider with a positive tag
    /// gets a line down its middle.
    void PaintToolSeparator(Canvas& canvas, const Rect& bounds, Color toolbarColor, int tag);
    /// A control-bar band with its grip on the leading side.
    void PaintBand(Canvas& canvas, const Rect& band, Color barColor);

    void PaintComboOverlay(Canvas& canvas, const ControlFace& face);
    void PaintEditOverlay(Canvas& canvas, const ControlFace& face);
    void PaintCheckBoxOverlay(Canvas& canvas, const ControlFace& face);
    void PaintRadioOverlay(Canvas& canvas, const ControlFace& face);
    void PaintPushButton(Canvas& canvas, ControlFace& face);
    /// The face of a standard control of `kind` (a push button for any kind
    /// without an overlay of its own).
    void PaintControl(Canvas& canvas, TLookControl kind, ControlFace& face);

private:
    Color Ink(const Canvas& canvas, Color c) const { return rules_.Ink(canvas, c); }
    void DrawArrow(Canvas& canvas, const Rect& area, Color color);

    MenuLookRules& rules_;
};

}  // namespace vintrel
