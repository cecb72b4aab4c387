#pragma once

#include <QMenu>
#include <QPointer>

#include "shell/popup_menu.h"

namespace vintrel {

/// A QMenu as the notification icon's popup menu. The menu stays the
/// caller's; when it is deleted first, `Popup` does nothing.
class QtPopupMenu final : public TTrayPopupMenu {
public:
    QtPopupMenu(TComponent* owner, QMenu* menu);

    QMenu* menu() const { return menu_; }
    /// QMenu::popup: opens the menu and returns at once; the menu closes by
    /// itself when an item is chosen or the user clicks elsewhere.
    void Popup(int x, int y) override;

private:
    QPointer<QMenu> menu_;
};

}  // namespace vintrel
