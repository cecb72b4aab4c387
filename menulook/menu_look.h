#pragma once

// TMenuLook gives the menus of its owner window a flat, owner-drawn look (and,
// on request, its toolbars, control bars and standard controls).
//
// How a window installs it, with the settings this program's main window
// stores (set them in this order; Active last, once both menus exist):
//
//     mainMenu_ = new TMainMenu(this);           // build the menu bar ...
//     popupMenu_ = new TPopupMenu(this);         // ... and the tray menu first
//     auto* look = new TMenuLook(this);          // "MenuLook1", owned by the window
//     look->SetDimLevel(30);
//     look->SetGrayLevel(10);
//     look->SetFont({"Tahoma", -11, clMenuText});
//     look->SetColor(clBtnFace);
//     look->SetIconBackColor(clBtnFace);
//     look->SetMenuBarColor(clBtnFace);
//     look->SetSelectColor(clHighlight);
//     look->SetSelectBorderColor(clHighlight);
//     look->SetSelectFontColor(clMenuText);
//     look->SetDisabledColor(clInactiveCaption);
//     look->SetSeparatorColor(clBtnFace);
//     look->SetCheckedColor(clHighlight);
//     look->SetIconWidth(24);
//     look->SetDrawSelect(true);
//     look->SetUseSystemColors(true);
//     look->SetOverrideOwnerDraw(false);
//     look->SetGradient(false);
//     look->SetFlatMenu(false);
//     look->SetAutoDetect(false);
//     look->SetActive(true);                     // hooks every item of both menus
//
// LookContainers and LookControls keep their defaults (30 and 479). With
// UseSystemColors the stored colours and font give way, at every paint, to
// colours derived from the desktop's palette and to its menu font.

#include <QObject>
#include <QPointer>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "menulook/control_painter.h"
#include "menulook/menu_look_rules.h"
#include "menulook/qt_look_environment.h"

class QToolBar;
class QWidget;

namespace vintrel {

class QtMenu;
class TControlSubClass;

/// The toolbar's custom-draw-button event and the control bar's band-paint
/// event, as dynamic properties: the look that paints them (as quintptr), 0 for none.
inline constexpr const char* kCustomDrawButtonProperty = "OnCustomDrawButton";
inline constexpr const char* kBandPaintProperty = "OnBandPaint";

/// The framework's error for an owner of the wrong kind.
class EInvalidCast : public std::runtime_error {
public:
    EInvalidCast() : std::runtime_error("Invalid class typecast") {}
};

/// The owner-drawn menu look as a component of a window.
class TMenuLook : public QObject, public MenuLookRules {
    Q_OBJECT
public:
    enum class Operation { Insert, Remove };

    /// `owner` must be a widget (the host window) or nullptr; any other object
    /// throws EInvalidCast. The look starts inactive and hooks nothing.
    explicit TMenuLook(QObject* owner,
                       const LookEnvironment& environment = DesktopLookEnvironment());
    ~TMenuLook() override;

    QWidget* HostForm() const { return host_; }

    /// Hooks (or unhooks) the host's menus, toolbars, control bars and
    /// standard controls, and redraws the menu bar. Nothing when unchanged.
    void SetActive(bool active);
    LookSet LookContainers() const { return containers_; }
    void SetLookContainers(LookSet containers);
    LookSet LookControls() const { return controls_; }
    void SetLookControls(LookSet controls);
    /// Whether the set differs from its stored default (and so is written).
    bool LookContainersStored() const { return containers_ != kDefaultLookContainers; }
    bool LookControlsStored() const { return controls_ != kDefaultLookControls; }
    int Tag() const;
    void SetTag(int tag);

    /// The framework's notice that `component` was inserted into or removed
    /// from the owner; with AutoDetect an inserted menu item, tool button,
    /// toolbar or control bar makes an active look run its activation walk
    /// again. Notices come for the owner's own children, the buttons of hooked
    /// toolbars and the items of hooked menus.
    void Notification(QObject* component, Operation operation);

    /// The walk over everything `container` holds: its menus, toolbars,
    /// control bars and standard controls, and frames when they are held.
    void ApplyToContainer(QWidget* container, bool activate, bool repaint);

    /// The standard controls intercepted right now.
    std::vector<QWidget*> InterceptedControls() const;
    bool Intercepts(const QWidget* control) const;

    /// The host window's main menu, if it has one.
    const TMenu* HostMainMenu() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void RedrawMenuBar() override;
    void MenuFontChanged() override;
    void RunActivationWalk() override;
    void PopupItemDrawn(Canvas& canvas) override;
    void BarItemDrawn(Canvas& canvas, Color background) override;

private:
    friend class TControlSubClass;
    class MenuWatch;

    void ApplyToObject(QObject* object, bool activate, bool repaint);
    void ApplyToQtMenu(QtMenu& menu, bool activate);
    void ApplyToToolBar(QToolBar& toolBar, bool activate, bool repaint);
    void ApplyToControlBar(QWidget& bar, bool activate, bool repaint);
    void ApplyToControl(QWidget& control, bool activate, bool repaint);
    bool Eligible(const QWidget& control) const;
    void DropIneligibleInterceptors();
    void SubClassGone(QWidget* control);
    void DeactivateForDestruction();
    bool PaintToolButton(QWidget& button);
    bool PaintToolSeparator(QWidget& separator);
    bool PaintControlBar(QWidget& bar, QEvent* event);
    bool PaintPopupBorder(QWidget& popup, QEvent* event);
    void QueueInsertionCheck(QObject* child);
    void ItemInsertedIntoMenu();

    QPointer<QWidget> host_;
    LookSet containers_;
    LookSet controls_;
    ControlPainter controlPainter_;
    std::map<const QWidget*, TControlSubClass*> subclasses_;
    std::vector<QPointer<QtMenu>> menus_;
    std::vector<QPointer<QToolBar>> toolBars_;
    std::vector<QPointer<QWidget>> controlBars_;
    std::set<QWidget*> popups_;
    std::unique_ptr<MenuWatch> menuWatch_;
};

/// The kind of parent `parent` is for a standard control, if any: a widget's
/// "LookContainer" property ("Form", "Toolbar", "Coolbar", "Controlbar",
/// "Panel", "ScrollBox", "Frame", "GroupBox", "TabSheet") names it; otherwise
/// a QToolBar is a toolbar, a QGroupBox a group box, a QTabWidget page a tab
/// sheet, a QScrollArea's widget a scroll box, a window or a main window's
/// central widget a form, and a plain QWidget or QFrame a panel.
std::optional<TLookContainer> ContainerKindOf(const QWidget* parent);

/// The kind of standard control `widget` is for the look, if any.
std::optional<TLookControl> ControlKindOf(const QWidget* widget);

/// A widget's or action's "Tag" property; 0 without one.
int TagOf(const QObject* object);

}  // namespace vintrel
