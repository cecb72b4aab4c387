#include "shell/popup_menu.h"

namespace vintrel {

void TTrayPopupMenu::SetPopupComponent(TComponent* component) {
    popupComponent_ = component;
    if (component != nullptr) FreeNotification(component);
}

void TTrayPopupMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupComponent_)
        popupComponent_ = nullptr;
}

}  // namespace vintrel
