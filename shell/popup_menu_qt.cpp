#include "shell/popup_menu_qt.h"

namespace vintrel {

QtPopupMenu::QtPopupMenu(TComponent* owner, QMenu* menu) : TTrayPopupMenu(owner), menu_(menu) {}

void QtPopupMenu::Popup(int x, int y) {
    if (menu_ != nullptr) menu_->popup(QPoint(x, y));
}

}  // namespace vintrel
