#include "shell/tray_backend_qt.h"

#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QProcess>
#include <QTimer>

#include "shell/application_window_qt.h"
#include "shell/icon_image_qt.h"
#include "shell/popup_menu_qt.h"
#include "shell/tray_activation_qt.h"
#include "shell/tray_icon.h"

namespace vintrel {
namespace {

using ::testing::ElementsAre;

// --- Activations as mouse messages ----------------------------------------

struct ActivationCase {
    const char* name;
    QSystemTrayIcon::ActivationReason reason;
    bool followsTrigger;
    std::vector<std::uint32_t> expected;
};

void PrintTo(const ActivationCase& c, std::ostream* os) {
    *os << c.name;
}

class ActivationTest : public ::testing::TestWithParam<ActivationCase> {};

TEST_P(ActivationTest, BecomesTheShellsMouseMessages) {
    EXPECT_EQ(mouseMessagesForActivation(GetParam().reason, GetParam().followsTrigger),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ActivationTest,
    ::testing::Values(ActivationCase{"ContextIsRightPressAndRelease",
                                     QSystemTrayIcon::Context,
                                     false,
                                     {kWmRButtonDown, kWmRButtonUp}},
                      ActivationCase{"TriggerIsLeftPressAndRelease",
                                     QSystemTrayIcon::Trigger,
                                     false,
                                     {kWmLButtonDown, kWmLButtonUp}},
                      ActivationCase{
                          "LoneDoubleClickIsWholeSequence",
                          QSystemTrayIcon::DoubleClick,
                          false,
                          {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmLButtonUp}},
                      ActivationCase{"DoubleClickAfterTriggerAddsNoSecondClick",
                                     QSystemTrayIcon::DoubleClick,
                                     true,
                                     {kWmLButtonDblClk, kWmLButtonUp}},
                      ActivationCase{"MiddleClickIsMiddlePressAndRelease",
                                     QSystemTrayIcon::MiddleClick,
                                     false,
                                     {kWmMButtonDown, kWmMButtonUp}},
                      ActivationCase{"UnknownIsNothing", QSystemTrayIcon::Unknown, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The backend with the component ---------------------------------------

/// A main window whose visible property is kept apart from the window.
class TestMainWindow final : public QWidget, public WindowedControl {
public:
    bool visibleProperty() const override { return property_; }
    void setVisibleProperty(bool visible) override {
        if (visible == property_) return;
        property_ = visible;
        setVisible(visible);
    }

private:
    bool property_ = false;
};

class Form final : public TComponent {
public:
    explicit Form(WindowedControl* window) : window_(window) {}
    WindowedControl* AsWindowedControl() override { return window_; }

private:
    WindowedControl* window_;
};

class QtTrayBackendTest : public ::testing::Test {
protected:
    QtTrayBackendTest() {
        options.trayAvailable = [this] { return trayThere; };
        options.pollIntervalMs = 0;
        options.watchSessionBus = false;
    }

    std::unique_ptr<TkvTrayIcon> makeIcon(QtTrayBackend& backend) {
        auto icon = std::make_unique<TkvTrayIcon>(&form, backend);
        icon->SetName("TrayIcon1");
        icon->SetHint("Vintrel");
        icon->SetMinimizeToTray(true);
        icon->SetPopupMenu(&popup);
        icon->SetOnClick([this](TComponent*) { events.push_back("click"); });
        icon->SetOnDblClick([this](TComponent*) { events.push_back("double click"); });
        icon->SetVisible(true);
        icon->Loaded();
        return icon;
    }

    bool trayThere = true;
    QtTrayOptions options;
    TestMainWindow mainWindow;
    QtApplicationWindow application{&mainWindow, &mainWindow};
    Form form{&mainWindow};
    QMenu menu;
    QtPopupMenu popup{&form, &menu};
    std::vector<std::string> events;
};

TEST_F(QtTrayBackendTest, IconRefusedWithoutTrayComesWhenOneAppears) {
    trayThere = false;
    QtTrayBackend backend(&application, &mainWindow, options);
    auto icon = makeIcon(backend);
    EXPECT_EQ(backend.trayIcon(icon->TimerWindow(), 0), nullptr);
    trayThere = true;
    backend.checkTrayHost();
    QSystemTrayIcon* shown = backend.trayIcon(icon->TimerWindow(), 0);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->toolTip(), QStringLiteral("Vintrel"));
    EXPECT_TRUE(shown->isVisible());
}

TEST_F(QtTrayBackendTest, ShellRefusalsMatchTheIconsPresence) {
    QtTrayBackend backend(&application, nullptr, options);
    NotifyIconData data;
    data.hWnd = backend.allocateWindow([](TMessage&) {});
    data.uFlags = kNifMessage | kNifIcon | kNifTip;
    EXPECT_FALSE(backend.notifyIcon(NotifyIconMessage::Modify, data));
    EXPECT_FALSE(backend.notifyIcon(NotifyIconMessage::Delete, data));
    EXPECT_TRUE(backend.notifyIcon(NotifyIconMessage::Add, data));
    EXPECT_FALSE(backend.notifyIcon(NotifyIconMessage::Add, data));
    EXPECT_TRUE(backend.notifyIcon(NotifyIconMessage::Modify, data));
    EXPECT_TRUE(backend.notifyIcon(NotifyIconMessage::Delete, data));
    data.hWnd = 999;  // no such window
    EXPECT_FALSE(backend.notifyIcon(NotifyIconMessage::Add, data));
}

TEST_F(QtTrayBackendTest, ActivationsReachTheComponentAsOneClickEach) {
    QtTrayBackend backend(&application, &mainWindow, options);
    auto icon = makeIcon(backend);
    QSystemTrayIcon* shown = backend.trayIcon(icon->TimerWindow(), 0);
    ASSERT_NE(shown, nullptr);
    emit shown->activated(QSystemTrayIcon::Trigger);
    emit shown->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_THAT(events, ElementsAre("click", "double click"));
    EXPECT_FALSE(menu.isVisible());
    emit shown->activated(QSystemTrayIcon::Context);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(popup.PopupComponent(), icon.get());
    menu.close();
}

TEST_F(QtTrayBackendTest, MinimisedMainWindowGoesToTheTray) {
    QtTrayBackend backend(&application, &mainWindow, options);
    auto icon = makeIcon(backend);
    mainWindow.setVisibleProperty(true);
    mainWindow.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_FALSE(mainWindow.visibleProperty());
    EXPECT_TRUE(mainWindow.isHidden());
    EXPECT_FALSE(application.isWindowShown());
    // Taking the icon away brings the application back, no longer minimised.
    icon->SetVisible(false);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_FALSE(mainWindow.isMinimized());
}

// Pins a window hidden to nowhere: minimised without a notification area, it
// stays on the taskbar.
TEST_F(QtTrayBackendTest, MinimisedMainWindowWithoutTrayStaysMinimised) {
    trayThere = false;
    QtTrayBackend backend(&application, &mainWindow, options);
    auto icon = makeIcon(backend);
    mainWindow.setVisibleProperty(true);
    mainWindow.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_TRUE(mainWindow.visibleProperty());
    EXPECT_FALSE(mainWindow.isHidden());
}

/// A private session bus, on which a status-notifier watcher can come and go.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address")});
        if (daemon_.waitForReadyRead(30000))
            address = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QString address;

private:
    QProcess daemon_;
};

// Runs the event loop until `done`; the bound is only against a hang.
bool Eventually(const std::function<bool()>& done) {
    QTimer tick;
    tick.start(10);
    QElapsedTimer guard;
    guard.start();
    while (!done()) {
        if (guard.elapsed() > 60000) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Pins the notification menu unreachable on status-notifier trays, and the
// menu opened twice on XEmbed trays.
TEST_F(QtTrayBackendTest, MenuIsHandedToStatusNotifierHostsOnlyWhileAWatcherIsThere) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    const QString name = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection watcher = QDBusConnection::connectToBus(bus.address, QStringLiteral("watcher"));
    ASSERT_TRUE(watcher.registerService(name));
    options.watchSessionBus = true;
    options.sessionBusAddress = bus.address;
    QtTrayBackend backend(&application, &mainWindow, options);
    std::vector<bool> presence;
    backend.setTrayPresenceHandler([&](bool present) { presence.push_back(present); });
    backend.setStatusNotifierMenu(&menu);
    auto icon = makeIcon(backend);
    const auto menuNow = [&] {
        QSystemTrayIcon* shown = backend.trayIcon(icon->TimerWindow(), 0);
        return shown == nullptr ? nullptr : shown->contextMenu();
    };
    EXPECT_TRUE(Eventually([&] { return menuNow() == &menu; }));

    trayThere = false;  // the watcher's panel held the only notification area
    ASSERT_TRUE(watcher.unregisterService(name));
    EXPECT_TRUE(Eventually([&] { return presence == std::vector<bool>{false}; }));
    EXPECT_EQ(menuNow(), nullptr);

    trayThere = true;
    ASSERT_TRUE(watcher.registerService(name));
    EXPECT_TRUE(Eventually([&] { return menuNow() == &menu; }));
    EXPECT_THAT(presence, ElementsAre(false, true));
    QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
}

TEST_F(QtTrayBackendTest, RestoringTheOwnerShowsNoWindowHiddenByItsCloseBox) {
    mainWindow.setVisibleProperty(true);
    mainWindow.hide();  // the close box
    application.showWindowNormal();
    EXPECT_TRUE(mainWindow.isHidden());
}

TEST_F(QtTrayBackendTest, TimerTicksArriveAsTimerMessages) {
    QtTrayBackend backend(&application, nullptr, options);
    QEventLoop loop;
    std::vector<std::uintptr_t> ids;
    const WindowHandle window = backend.allocateWindow([&](TMessage& m) {
        if (m.Msg != kWmTimer) return;
        ids.push_back(m.WParam);
        loop.quit();
    });
    ASSERT_TRUE(backend.setTimer(window, 1, 10));
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // only against a hang
    loop.exec();
    EXPECT_THAT(ids, ElementsAre(1u));
    backend.deallocateWindow(window);
}

TEST(IconImageQtTest, PixelsKeepTheirColourBothWays) {
    const IconImage icon(2, 1, {0xFF112233, 0x80445566});
    const QImage image = toQImage(icon);
    EXPECT_EQ(image.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(image.pixel(1, 0), 0x80445566u);
    EXPECT_EQ(iconImageFromQImage(image), icon);
    EXPECT_FALSE(toTrayQIcon(IconImage{}).isNull());
}

}  // namespace
}  // namespace vintrel

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
