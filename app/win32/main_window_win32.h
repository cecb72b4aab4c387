#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_view.h"
#include "app/time_servers.h"
#include "app/tz_main.h"
#include "shell/application_window.h"
#include "shell/component.h"

struct HWND__;
struct HFONT__;
struct HBITMAP__;

namespace vintrel {

class TkvAutoRun;
class TkvTrayIcon;
class TMenuItem;
class Win32ApplicationWindow;
class Win32Menu;
class Win32MenuLook;
class Win32TrayBackend;

/// The main window on Win32: the time-zone report, the clock rows, the last
/// synchronisation, the menu bar and the notification menu, and the
/// start-at-logon component. Its behaviour lives in `TzMain`; this class binds
/// the window's messages to it. A hidden owner window stands for the whole
/// application, which keeps the main window off the taskbar.
class Win32MainWindow final : public MainFormView, public WindowedControl {
public:
    static constexpr int kClientWidth = 424;
    static constexpr int kClientHeight = 284;

    Win32MainWindow(TzMainServices services, CorrectionOptions options);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    HWND__* Handle() const { return window_; }
    HWND__* OwnerHandle() const { return owner_; }
    TzMain& handlers() { return *handlers_; }
    TComponent& component();
    Win32Menu& mainMenu() { return *MainMenu1; }
    Win32Menu& popupMenu() { return *PopupMenu1; }
    TkvTrayIcon& trayIcon() { return *TrayIcon1; }
    TMenuItem& menuItem(const char* name) const;
    /// The text a value row shows ("lblLocal", "lblStdName", ...).
    std::string valueText(const char* name) const;

    /// Runs `FormCreate`, showing an error that ends it in the error box and
    /// then the window.
    void runFormCreate();
    /// The dialogs the application creates after the window.
    void setDialogs(InternetSettingsView* internetSettings, std::function<void()> showAbout);
    /// The registered message a second copy sends to bring this window up.
    void setShowRequestMessage(unsigned message) { showRequest_ = message; }

    // MainFormView
    void setLabelText(TimeZoneLabel label, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    void setLocalText(const std::string& text) override;
    void setSystemUtcText(const std::string& text) override;
    void setLastPingText(const std::string& text) override;
    void showCheck(MenuCheck item, bool checked) override;
    void showServerCheck(std::size_t index, bool checked) override;
    void setTimer1Enabled(bool enabled) override;
    void setTimer1Interval(std::chrono::milliseconds interval) override;
    void setTimer2Enabled(bool enabled) override;
    bool timer2Enabled() const override { return timer2Enabled_; }
    void setVisibleProperty(bool visible) override;
    bool visibleProperty() const override { return visibleProperty_; }
    void showWindowNormal() override;
    void hideWindow() override;
    void minimizeWindow() override;
    bool windowShown() const override;
    // Windows always has one: the taskbar's, which Explorer re-creates (and
    // announces with "TaskbarCreated") when it restarts.
    bool notificationAreaPresent() const override { return true; }
    void setCursor(CursorShape shape) override;
    void setScreenCursor(CursorShape shape) override;
    void showMessage(const std::string& text) override;
    void processPendingEvents() override;
    void showAboutBox() override;
    void closeApplication() override;

    /// The window procedure's work; public for the procedure itself.
    std::intptr_t handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    struct Label;
    class FormComponent;
    class TrayMenu;

    void createWindows();
    void buildLabels();
    void buildMenus();
    void buildComponents();
    Label* label(const char* name);
    const Label* label(const char* name) const;
    void setValue(const char* name, const std::string& text);
    void paint();
    void drawButton(const void* drawItem);
    void startTimer1();

    std::unique_ptr<FormComponent> component_;
    HWND__* owner_ = nullptr;
    HWND__* window_ = nullptr;
    HWND__* SpeedButton1 = nullptr;
    HWND__* SpeedButton2 = nullptr;
    HFONT__* font_ = nullptr;
    HBITMAP__* pingGlyph_ = nullptr;
    HBITMAP__* logo_ = nullptr;
    std::vector<Label> labels_;
    std::unique_ptr<Win32Menu> MainMenu1;
    std::unique_ptr<Win32Menu> PopupMenu1;
    std::array<TMenuItem*, kTimeServers.size()> serverItems_{};
    TkvAutoRun* kvAutoRun1 = nullptr;
    std::unique_ptr<Win32ApplicationWindow> application_;
    std::unique_ptr<Win32TrayBackend> trayBackend_;
    std::unique_ptr<TrayMenu> trayMenu_;
    TkvTrayIcon* TrayIcon1 = nullptr;
    std::unique_ptr<Win32MenuLook> MenuLook1;
    unsigned showRequest_ = 0;
    std::unique_ptr<TzMain> handlers_;
    InternetSettingsView* internetSettings_ = nullptr;
    std::function<void()> showAbout_;
    std::chrono::milliseconds timer1Interval_ = TzMain::kTimer1Interval;
    bool timer1Enabled_ = false;
    bool timer2Enabled_ = false;
    bool visibleProperty_ = false;
    bool everShown_ = false;
    bool minimised_ = false;
    bool hourglass_ = false;
    bool screenHourglass_ = false;
};

}  // namespace vintrel
