#include "shell/tray_activation_qt.h"

#include "shell/window_message.h"

namespace vintrel {

std::vector<std::uint32_t> mouseMessagesForActivation(QSystemTrayIcon::ActivationReason reason,
                                                      bool followsTrigger) {
    switch (reason) {
        case QSystemTrayIcon::Context:
            return {kWmRButtonDown, kWmRButtonUp};
        case QSystemTrayIcon::Trigger:
            return {kWmLButtonDown, kWmLButtonUp};
        case QSystemTrayIcon::DoubleClick:
            if (followsTrigger) return {kWmLButtonDblClk, kWmLButtonUp};
            return {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmLButtonUp};
        case QSystemTrayIcon::MiddleClick:
            return {kWmMButtonDown, kWmMButtonUp};
        case QSystemTrayIcon::Unknown:
            break;
    }
    return {};
}

}  // namespace vintrel
