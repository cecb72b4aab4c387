#pragma once

#include "shell/component.h"

namespace vintrel {

/// A popup menu as the notification icon opens it.
class TTrayPopupMenu : public TComponent {
public:
    using TComponent::TComponent;

    /// Whether the menu opens on its own when its control asks (true by default).
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }

    /// The component that opened the menu last, nullptr once that one is freed.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component);

    /// Opens the menu with its top-left corner at the screen point (x, y); its
    /// items can be chosen with either mouse button, and the chosen item runs
    /// its own handler.
    virtual void Popup(int x, int y) = 0;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
};

}  // namespace vintrel
