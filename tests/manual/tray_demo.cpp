// A tray icon on its own, for looking at the Linux backend under a real tray
// host (tray_demo.sh runs it under Xvfb with trayer). It prints every event.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "shell/application_window_qt.h"
#include "shell/popup_menu_qt.h"
#include "shell/tray_backend_qt.h"
#include "shell/tray_icon.h"

namespace {

using namespace vintrel;

class DemoWindow final : public QLabel, public WindowedControl {
public:
    DemoWindow() : QLabel(QStringLiteral("Vintrel tray demo")) { setGeometry(300, 80, 240, 60); }
    bool visibleProperty() const override { return property_; }
    void setVisibleProperty(bool visible) override {
        if (visible == property_) return;
        property_ = visible;
        setVisible(visible);
    }

private:
    bool property_ = false;
};

class DemoForm final : public TComponent {
public:
    explicit DemoForm(WindowedControl* window) : window_(window) {}
    WindowedControl* AsWindowedControl() override { return window_; }

private:
    WindowedControl* window_;
};

void say(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

IconImage demoIcon() {
    std::vector<std::uint32_t> pixels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[static_cast<std::size_t>(y * 16 + x)] = (x + y) % 2 ? 0xFFFF0000 : 0xFF0000FF;
    return IconImage(16, 16, std::move(pixels));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    DemoWindow window;
    DemoForm form(&window);
    QtApplicationWindow application(&window, &window);
    QtTrayBackend backend(&application, &window);
    QMenu menu;
    menu.addAction(QStringLiteral("&Open Vintrel."), [&] {
        window.showNormal();
        say("menu: open");
    });
    menu.addAction(QStringLiteral("E&xit"), [&] {
        say("menu: exit");
        app.quit();
    });
    QtPopupMenu popup(&form, &menu);

    TkvTrayIcon tray(&form, backend);
    tray.SetName("TrayIcon1");
    tray.SetOnClick([](TComponent*) { say("OnClick"); });
    tray.SetOnDblClick([](TComponent*) { say("OnDblClick"); });
    tray.SetOnPopupMenu([](TComponent*) { say("OnPopupMenu"); });
    tray.SetOnShow([](TComponent*) { say("OnShow"); });
    tray.SetOnHide([](TComponent*) { say("OnHide"); });
    tray.SetOnMinimize([](TComponent*) { say("OnMinimize"); });
    tray.SetOnMouseUp([](TComponent*, TMouseButton b, TShiftState, int x, int y) {
        say("OnMouseUp " + std::to_string(static_cast<int>(b)) + " at " + std::to_string(x) + "," +
            std::to_string(y));
    });
    tray.SetHint("Vintrel");
    tray.SetIcon(demoIcon());
    tray.SetMinimizeToTray(true);
    tray.SetPopupMenu(&popup);
    tray.SetVisible(true);
    tray.Loaded();
    say(std::string("tray available: ") +
        (QSystemTrayIcon::isSystemTrayAvailable() ? "yes" : "no"));
    say("icon present: " + std::string(backend.trayIcon(tray.TimerWindow(), 0) ? "yes" : "no"));

    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    const int result = app.exec();
    form.Destroying();  // the window is going away: the icon's removal must not bring it up
    return result;
}
