#include "shell/tray_backend_qt.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <vector>

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaMethod>
#include <QStyleHints>
#include <QTimerEvent>
#include <QWindowStateChangeEvent>

#include "shell/application_exception.h"
#include "shell/icon_image_qt.h"
#include "shell/tray_activation_qt.h"

namespace vintrel {

// A hidden timer window: no Qt window at all, only an object for its timers.
class QtTrayBackend::MessageWindow final : public QObject {
public:
    MessageWindow(QtTrayBackend& backend, WindowHandle handle, WindowProcedure procedure)
        : QObject(&backend), procedure(std::move(procedure)), backend_(backend), handle_(handle) {}

    WindowProcedure procedure;
    std::map<std::uint32_t, int> timers;  // our id → Qt's timer id

protected:
    void timerEvent(QTimerEvent* event) override {
        for (const auto& [id, qtId] : timers) {
            if (qtId != event->timerId()) continue;
            backend_.sendMessage(handle_, kWmTimer, id, 0);
            return;  // the procedure may have changed the timers
        }
    }

private:
    QtTrayBackend& backend_;
    WindowHandle handle_;
};

struct QtTrayBackend::Icon {
    QPointer<QSystemTrayIcon> qt;
    std::uint32_t callbackMessage = 0;
    QElapsedTimer sinceTrigger;
};

QtTrayBackend::QtTrayBackend(ApplicationWindow* application, QWidget* mainWindow,
                             QtTrayOptions options)
    : application_(application), mainWindow_(mainWindow), options_(std::move(options)) {
    appProcedure_ = [](TMessage& message) { message.Result = 0; };
    if (mainWindow_ != nullptr) mainWindow_->installEventFilter(this);
    lastAvailable_ = trayAvailable();
    announced_.setSingleShot(true);
    announced_.setInterval(0);
    connect(&announced_, &QTimer::timeout, this, &QtTrayBackend::checkTrayHost);
    const bool bus = options_.watchSessionBus && watchSessionBus();
    const bool x = options_.watchXEmbedTray && watchXEmbedTray();
    // Asking costs a wake-up each time: only where no host would be announced.
    if (options_.pollIntervalMs > 0 && !bus && !x) {
        connect(&poll_, &QTimer::timeout, this, &QtTrayBackend::checkTrayHost);
        poll_.start(options_.pollIntervalMs);
    }
}

// The timer windows and the Qt icons are children of this object and go with it.
QtTrayBackend::~QtTrayBackend() {
    if (mainWindow_ != nullptr) mainWindow_->removeEventFilter(this);
}

bool QtTrayBackend::watchSessionBus() {
    QDBusConnection bus = options_.sessionBusAddress.isEmpty()
                              ? QDBusConnection::sessionBus()
                              : QDBusConnection::connectToBus(options_.sessionBusAddress,
                                                              QStringLiteral("vintrel-tray-watch"));
    if (!bus.isConnected()) return false;
    const QString name = QStringLiteral("org.kde.StatusNotifierWatcher");
    auto* watcher =
        new QDBusServiceWatcher(name, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                watcherOwnerChanged(!newOwner.isEmpty());
            });
    // Whether one is there already, asked without waiting: the answer comes
    // through the event loop, and is newer than any change seen before it.
    auto* asked = new QDBusPendingCallWatcher(
        bus.interface()->asyncCall(QStringLiteral("NameHasOwner"), name), this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<bool> owned = *call;
        call->deleteLater();
        if (owned.isError() || owned.value() == watcherOwned_) return;
        watcherOwned_ = owned.value();
        for (const auto& entry : icons_)
            if (entry.second->qt) applyStatusNotifierMenu(*entry.second->qt);
    });
    return true;
}

void QtTrayBackend::watcherOwnerChanged(bool owned) {
    watcherOwned_ = owned;
    for (const auto& entry : icons_)
        if (entry.second->qt) applyStatusNotifierMenu(*entry.second->qt);
    if (!owned) {
        // What is left (an XEmbed tray, or nothing) is asked once the bus is through.
        announced_.start();
        return;
    }
    // A new watcher knows none of the items the old one had: each icon is
    // added anew, also when a notification area was there all along.
    broadcastTaskbarCreated();
    setTrayPresent(trayAvailable());
}

void QtTrayBackend::setStatusNotifierMenu(QMenu* menu) {
    statusNotifierMenu_ = menu;
    for (const auto& entry : icons_)
        if (entry.second->qt) applyStatusNotifierMenu(*entry.second->qt);
}

void QtTrayBackend::applyStatusNotifierMenu(QSystemTrayIcon& icon) const {
    QMenu* menu = watcherOwned_ ? statusNotifierMenu_.data() : nullptr;
    if (icon.contextMenu() != menu) icon.setContextMenu(menu);
}

void QtTrayBackend::setTrayPresenceHandler(std::function<void(bool)> handler) {
    presenceHandler_ = std::move(handler);
}

void QtTrayBackend::setTrayPresent(bool present) {
    if (present == lastAvailable_) return;
    lastAvailable_ = present;
    if (presenceHandler_) presenceHandler_(present);
}

// Qt's X11 platform follows the tray selection's owner (the MANAGER message
// a new tray sends to the root window, the old tray's window destroyed) and
// tells through a signal of its native interface, which is not public API:
// it is reached by name, and is missing on other platforms. The interface's
// class is declared only in Qt's private headers; it derives from QObject
// alone, so its QObject part is where it begins.
bool QtTrayBackend::watchXEmbedTray() {
    auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
    if (native == nullptr) return false;
    const int changed = native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)");
    const int start = QTimer::staticMetaObject.indexOfSlot("start()");
    if (changed < 0 || start < 0) return false;
    connect(native, native->metaObject()->method(changed), &announced_,
            QTimer::staticMetaObject.method(start));
    return true;
}

bool QtTrayBackend::trayAvailable() const {
    return options_.trayAvailable ? options_.trayAvailable()
                                  : QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayBackend::checkTrayHost() {
    const bool available = trayAvailable();
    const bool appeared = available && !lastAvailable_;
    if (appeared) broadcastTaskbarCreated();
    setTrayPresent(available);
}

void QtTrayBackend::broadcastTaskbarCreated() {
    std::vector<WindowHandle> handles;
    for (const auto& entry : windows_) handles.push_back(entry.first);
    for (WindowHandle handle : handles) sendMessage(handle, kTaskbarCreatedMessage, 0, 0);
}

QtTrayBackend::MessageWindow* QtTrayBackend::window(WindowHandle handle) const {
    const auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : it->second;
}

std::intptr_t QtTrayBackend::sendMessage(WindowHandle handle, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam) {
    MessageWindow* target = window(handle);
    if (target == nullptr || !target->procedure) return 0;
    return DeliverMessage(target->procedure, message, wParam, lParam);
}

WindowHandle QtTrayBackend::allocateWindow(WindowProcedure procedure) {
    const WindowHandle handle = nextHandle_++;
    windows_[handle] = new MessageWindow(*this, handle, std::move(procedure));
    return handle;
}

void QtTrayBackend::deallocateWindow(WindowHandle handle) {
    const auto it = windows_.find(handle);
    if (it == windows_.end()) return;
    MessageWindow* gone = it->second;
    windows_.erase(it);
    for (const auto& entry : gone->timers) gone->killTimer(entry.second);
    gone->timers.clear();
    gone->procedure = nullptr;
    gone->deleteLater();  // it may be the one whose timer is being handled
    for (auto icon = icons_.begin(); icon != icons_.end();) {
        auto next = std::next(icon);
        if (icon->first.first == handle) removeIcon(icon);
        icon = next;
    }
}

bool QtTrayBackend::setTimer(WindowHandle handle, std::uint32_t id, std::uint32_t intervalMs) {
    MessageWindow* target = window(handle);
    if (target == nullptr) return false;
    killTimer(handle, id);
    // The same bounds as the Windows timers: at least 10 ms, at most 2^31 - 1.
    const int interval = static_cast<int>(std::clamp<std::uint32_t>(intervalMs, 10, INT_MAX));
    const int qtId = target->startTimer(interval);
    if (qtId == 0) return false;
    target->timers[id] = qtId;
    return true;
}

void QtTrayBackend::killTimer(WindowHandle handle, std::uint32_t id) {
    MessageWindow* target = window(handle);
    if (target == nullptr) return;
    const auto it = target->timers.find(id);
    if (it == target->timers.end()) return;
    target->killTimer(it->second);
    target->timers.erase(it);
}

std::intptr_t QtTrayBackend::defWindowProc(WindowHandle, const TMessage&) {
    return 0;
}

bool QtTrayBackend::notifyIcon(NotifyIconMessage message, const NotifyIconData& data) {
    const IconKey key{data.hWnd, data.uID};
    auto it = icons_.find(key);
    Icon* icon = it == icons_.end() ? nullptr : it->second.get();
    switch (message) {
        case NotifyIconMessage::Add: {
            if (icon != nullptr || window(data.hWnd) == nullptr || !trayAvailable()) return false;
            auto added = std::make_unique<Icon>();
            added->qt = new QSystemTrayIcon(toTrayQIcon(IconImage{}), this);
            connect(
                added->qt, &QSystemTrayIcon::activated, this,
                [this, key](QSystemTrayIcon::ActivationReason reason) { activated(key, reason); });
            icon = added.get();
            icons_[key] = std::move(added);
            break;
        }
        case NotifyIconMessage::Modify:
            if (icon == nullptr) return false;
            break;
        case NotifyIconMessage::Delete:
            if (icon == nullptr) return false;
            removeIcon(it);
            return true;
    }
    if (data.uFlags & kNifMessage) icon->callbackMessage = data.uCallbackMessage;
    if (data.uFlags & kNifIcon) icon->qt->setIcon(toTrayQIcon(data.hIcon));
    if (data.uFlags & kNifTip) icon->qt->setToolTip(QString::fromUtf8(data.tip()));
    if (message == NotifyIconMessage::Add) {
        // The host reads the menu when the item registers.
        applyStatusNotifierMenu(*icon->qt);
        icon->qt->show();
    }
    return true;
}

void QtTrayBackend::removeIcon(std::map<IconKey, std::unique_ptr<Icon>>::iterator it) {
    if (QSystemTrayIcon* qt = it->second->qt) {
        qt->hide();
        qt->disconnect(this);
        qt->deleteLater();  // we may be inside its activation
    }
    icons_.erase(it);
}

QSystemTrayIcon* QtTrayBackend::trayIcon(WindowHandle handle, std::uint32_t id) const {
    const auto it = icons_.find({handle, id});
    return it == icons_.end() ? nullptr : it->second->qt.data();
}

void QtTrayBackend::activated(IconKey key, QSystemTrayIcon::ActivationReason reason) {
    const auto it = icons_.find(key);
    if (it == icons_.end()) return;
    Icon& icon = *it->second;
    const bool followsTrigger =
        icon.sinceTrigger.isValid() &&
        icon.sinceTrigger.elapsed() <= QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (reason == QSystemTrayIcon::Trigger)
        icon.sinceTrigger.start();
    else
        icon.sinceTrigger.invalidate();
    const std::uint32_t callback = icon.callbackMessage;  // `icon` may go away below
    if (callback == 0) return;
    for (std::uint32_t mouse : mouseMessagesForActivation(reason, followsTrigger))
        sendMessage(key.first, callback, key.second, static_cast<std::intptr_t>(mouse));
}

CursorPoint QtTrayBackend::cursorPos() const {
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
}

ModifierKeys QtTrayBackend::modifierKeys() const {
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    return {held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
            held.testFlag(Qt::AltModifier)};
}

void QtTrayBackend::setForegroundWindow(WindowedControl& control) {
    // The control is the main window in this program; one that is not a
    // widget itself stands for it.
    QWidget* widget = dynamic_cast<QWidget*>(&control);
    if (widget == nullptr) widget = mainWindow_;
    if (widget == nullptr || !widget->isVisible()) return;
    widget->raise();
    widget->activateWindow();
}

// Windows needs the empty message so that a menu opened from the icon closes
// when the user clicks elsewhere; Qt's popup menus close by themselves.
void QtTrayBackend::postNullMessage(WindowedControl&) {}

void QtTrayBackend::processMessages() {
    QCoreApplication::processEvents();
}

void QtTrayBackend::setApplicationWindowProcedure(WindowProcedure procedure) {
    appProcedure_ = std::move(procedure);
}

void QtTrayBackend::sendApplicationMessage(std::uint32_t message, std::uintptr_t wParam,
                                           std::intptr_t lParam) {
    const WindowProcedure procedure = appProcedure_;  // it may unhook itself
    if (!procedure) return;
    TMessage m{message, wParam, lParam, 0};
    try {
        procedure(m);
    } catch (...) {
        handleApplicationException(std::current_exception());
    }
}

bool QtTrayBackend::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mainWindow_ && event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool minimised = mainWindow_->windowState().testFlag(Qt::WindowMinimized);
        // Handled after the window manager's change is through, as the
        // application's own WM_SIZE would be. Without a notification area the
        // window stays minimised where it is: hidden it could not be reached.
        if (minimised && !change->oldState().testFlag(Qt::WindowMinimized) && lastAvailable_)
            QMetaObject::invokeMethod(
                this, [this] { sendApplicationMessage(kWmSize, kSizeMinimized, 0); },
                Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vintrel
