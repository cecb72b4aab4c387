#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "shell/tray_backend.h"

namespace vintrel {

struct QtTrayOptions {
    /// Whether a notification area is there; QSystemTrayIcon::isSystemTrayAvailable when empty.
    std::function<bool()> trayAvailable;
    /// How often that is asked, to notice a notification area that appears,
    /// when neither the session bus nor the X server would announce one; 0 never.
    int pollIntervalMs = 10000;
    /// Also watch the session bus for a StatusNotifierWatcher that appears.
    bool watchSessionBus = true;
    /// Also listen to the X server for an XEmbed tray (the owner of
    /// _NET_SYSTEM_TRAY_Sn) that appears or goes away.
    bool watchXEmbedTray = true;
    /// The bus watched for a StatusNotifierWatcher; the session bus when empty.
    QString sessionBusAddress;
};

/// The notification area of a Linux desktop through QSystemTrayIcon
/// (StatusNotifierItem or XEmbed), playing the shell's part: it keeps the
/// icons by (window, id), turns their activations into the mouse messages
/// the shell would send, and broadcasts "TaskbarCreated" when a notification
/// area appears, as its host announces itself (no polling where the session
/// bus or the X server tells). It also gives the hidden timer windows, the cursor and
/// keyboard, and watches the main window for being minimised.
class QtTrayBackend final : public QObject, public TrayBackend {
public:
    static constexpr std::uint32_t kTaskbarCreatedMessage = 0xC100;

    /// `application` may be nullptr; `mainWindow` (nullptr for none) is
    /// watched for minimising and brought forward for the owner.
    QtTrayBackend(ApplicationWindow* application, QWidget* mainWindow,
                  QtTrayOptions options = QtTrayOptions());
    ~QtTrayBackend() override;

    WindowHandle allocateWindow(WindowProcedure procedure) override;
    void deallocateWindow(WindowHandle window) override;
    bool setTimer(WindowHandle window, std::uint32_t id, std::uint32_t intervalMs) override;
    void killTimer(WindowHandle window, std::uint32_t id) override;
    std::intptr_t defWindowProc(WindowHandle window, const TMessage& message) override;

    bool notifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
    std::uint32_t taskbarCreatedMessage() const override { return kTaskbarCreatedMessage; }
    CursorPoint cursorPos() const override;
    ModifierKeys modifierKeys() const override;
    void setForegroundWindow(WindowedControl& control) override;
    void postNullMessage(WindowedControl& control) override;
    void processMessages() override;
    WindowProcedure applicationWindowProcedure() const override { return appProcedure_; }
    void setApplicationWindowProcedure(WindowProcedure procedure) override;
    ApplicationWindow* application() override { return application_; }

    /// Sends a message to a window's procedure and answers its result; an
    /// exception goes to the application's exception handler.
    std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam);
    /// Asks whether a notification area is there; one that has appeared since
    /// the last asking counts as created anew.
    void checkTrayHost();
    /// Sends "TaskbarCreated" to every window.
    void broadcastTaskbarCreated();
    /// The Qt icon shown for (window, id), nullptr when there is none.
    QSystemTrayIcon* trayIcon(WindowHandle window, std::uint32_t id) const;

    /// The menu every icon offers its host while a StatusNotifierWatcher owns
    /// its name: such hosts show only a menu handed to them over the bus, and
    /// never pass the right button on. It is not set otherwise, since Qt
    /// opens a set menu itself on an XEmbed tray, where the icon's own
    /// right-button path opens it already.
    void setStatusNotifierMenu(QMenu* menu);
    bool statusNotifierWatcherPresent() const { return watcherOwned_; }

    /// Whether a notification area was there when last asked or announced.
    bool trayPresent() const { return lastAvailable_; }
    /// Called with the new answer whenever a notification area comes or goes.
    void setTrayPresenceHandler(std::function<void(bool)> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class MessageWindow;
    struct Icon;
    using IconKey = std::pair<WindowHandle, std::uint32_t>;

    MessageWindow* window(WindowHandle handle) const;
    bool trayAvailable() const;
    void activated(IconKey key, QSystemTrayIcon::ActivationReason reason);
    void removeIcon(std::map<IconKey, std::unique_ptr<Icon>>::iterator it);
    void sendApplicationMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    bool watchSessionBus();
    bool watchXEmbedTray();
    void watcherOwnerChanged(bool owned);
    void applyStatusNotifierMenu(QSystemTrayIcon& icon) const;
    void setTrayPresent(bool present);

    ApplicationWindow* application_;
    QPointer<QWidget> mainWindow_;
    QtTrayOptions options_;
    WindowProcedure appProcedure_;
    WindowHandle nextHandle_ = 1;
    std::map<WindowHandle, MessageWindow*> windows_;
    std::map<IconKey, std::unique_ptr<Icon>> icons_;
    QTimer poll_;
    // Runs the check once the event that announced a tray has been handled.
    QTimer announced_;
    bool lastAvailable_ = false;
    bool watcherOwned_ = false;
    QPointer<QMenu> statusNotifierMenu_;
    std::function<void(bool)> presenceHandler_;
};

}  // namespace vintrel
