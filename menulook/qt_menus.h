#pragma once

// The menu framework on Qt Widgets: TMainMenu and TPopupMenu hold the menu
// model (TMenu, TMenuItem) and mirror it into a QMenuBar or QMenu with one
// QAction per item and one QMenu per sub-menu, which they own. While a menu is
// marked owner-drawn, its items are measured and painted by their
// OnMeasureItem and OnDrawItem handlers (through OwnerDrawMenuStyle).
//
//     auto* menu = new TMainMenu(window);             // becomes the window's menu bar
//     TMenuItem& file = menu->Items().Add("&File");
//     TMenuItem& ping = file.Add("&Ping Atomic Clock");
//     ping.OnClick = [](TMenuItem&) { ... };

#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <unordered_map>

#include "menulook/menu_model.h"

class QAction;

namespace vintrel {

class OwnerDrawMenuStyle;

/// A popup menu that remembers the action it last described to its style.
class OwnerDrawMenu final : public QMenu {
    Q_OBJECT
public:
    using QMenu::QMenu;
    const QAction* StyledAction() const { return styled_; }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

private:
    mutable const QAction* styled_ = nullptr;
};

/// A menu bar that remembers the action it last described to its style.
class OwnerDrawMenuBar final : public QMenuBar {
    Q_OBJECT
public:
    using QMenuBar::QMenuBar;
    const QAction* StyledAction() const { return styled_; }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

private:
    mutable const QAction* styled_ = nullptr;
};

/// The menu item an action of a TMainMenu or TPopupMenu stands for; nullptr
/// for any other action.
TMenuItem* MenuItemOfAction(const QAction* action);

/// What the two menu kinds share: the model kept in step with its Qt objects.
class QtMenu : public QObject, public TMenu, private MenuObserver {
    Q_OBJECT
public:
    ~QtMenu() override;

    /// The menu bar or the popup menu.
    QWidget* RootWidget() const { return root_; }
    QAction* ActionOf(const TMenuItem& item) const;
    /// The sub-menu of a parent item; nullptr for an item without sub-items.
    QMenu* SubMenuOf(const TMenuItem& item) const;
    /// Every popup window of the menu: the sub-menus, and the popup menu itself.
    std::vector<QMenu*> PopupWidgets() const;
    /// Makes the menu bar or popup and every sub-menu measure their items again.
    void Remeasure();

protected:
    QtMenu(MenuKind kind, QObject* owner, QWidget* root);

private:
    struct Entry {
        QAction* action = nullptr;
        QPointer<QMenu> subMenu;
    };

    void ItemInserted(TMenuItem& item) override;
    void ItemRemoving(TMenuItem& item) override;
    void ItemChanged(TMenuItem& item) override;
    void MenuChanged(TMenu& menu) override;

    void Build(TMenuItem& item);
    void Forget(TMenuItem& item);
    void Sync(TMenuItem& item);
    QWidget* ContainerFor(TMenuItem& parent);
    QAction* ActionAfter(const TMenuItem& item) const;
    void Triggered(TMenuItem& item, QAction* action);
    void Relayout(QWidget* widget);

    QPointer<QWidget> root_;
    std::unique_ptr<OwnerDrawMenuStyle> style_;
    std::unordered_map<const TMenuItem*, Entry> entries_;
};

/// A window's menu bar. With a QMainWindow owner it becomes that window's
/// menu bar; for another widget the bar is a child to be placed by its layout.
class TMainMenu final : public QtMenu {
    Q_OBJECT
public:
    explicit TMainMenu(QWidget* owner);
    QMenuBar* MenuBar() const;
};

/// A popup menu, opened at a point (the notification icon's menu).
class TPopupMenu final : public QtMenu {
    Q_OBJECT
public:
    explicit TPopupMenu(QObject* owner);
    QMenu* Menu() const;

    /// Whether the menu opens by itself on a right click of its user (default true).
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool on) { autoPopup_ = on; }
    /// The component that opened the menu last.
    QObject* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(QObject* component) { popupComponent_ = component; }
    std::function<void(TPopupMenu&)> OnPopup;

    /// Opens the menu with its top-left corner at the screen point (x, y) and
    /// returns when it has closed; the chosen item's OnClick has run by then.
    void Popup(int x, int y);

private:
    bool autoPopup_ = true;
    QPointer<QObject> popupComponent_;
};

}  // namespace vintrel
