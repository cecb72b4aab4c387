#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "app/main_form_view.h"
#include "app/time_servers.h"
#include "app/tz_main.h"
#include "shell/application_window.h"
#include "shell/component.h"
#include "shell/tray_backend_qt.h"

class QLabel;
class QTimer;
class QToolButton;
class QFrame;

namespace vintrel {

class QtApplicationWindow;
class QtPopupMenu;
class TkvAutoRun;
class TkvTrayIcon;
class TMainMenu;
class TMenuItem;
class TMenuLook;
class TPopupMenu;

/// The main window: the time-zone report, the clock rows, the last
/// synchronisation, both menus, the notification icon and the start-at-logon
/// component. Its behaviour lives in `TzMain`; this class binds the widgets.
class TfrmTzMain : public QMainWindow, public MainFormView, public WindowedControl {
    Q_OBJECT
public:
    /// Builds the window and its components as its stored properties say; the
    /// start-up sequence (`FormCreate`) runs separately.
    /// `trayOptions` stand in for the desktop's notification area in tests.
    TfrmTzMain(TzMainServices services, CorrectionOptions options,
               QtTrayOptions trayOptions = QtTrayOptions());
    ~TfrmTzMain() override;

    TzMain& handlers() { return *handlers_; }
    TkvTrayIcon& trayIcon() { return *TrayIcon1; }
    TkvAutoRun& autoRun() { return *kvAutoRun1; }
    QtTrayBackend& trayBackend() { return *trayBackend_; }
    TMainMenu& mainMenu() { return *MainMenu1; }
    TPopupMenu& popupMenu() { return *PopupMenu1; }
    TMenuItem& menuItem(const char* name) const;
    QLabel* valueLabel(const char* name) const;
    QTimer* timer1() const { return Timer1; }
    QTimer* timer2() const { return Timer2; }
    QToolButton* pingButton() const { return SpeedButton1; }

    /// Runs `FormCreate`, showing an error that ends it in the error box and
    /// then the window.
    void runFormCreate();

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
    bool timer2Enabled() const override;
    void setVisibleProperty(bool visible) override;
    bool visibleProperty() const override { return visibleProperty_; }
    void showWindowNormal() override;
    void hideWindow() override;
    void minimizeWindow() override;
    bool windowShown() const override { return isVisible(); }
    bool notificationAreaPresent() const override;
    void setCursor(CursorShape shape) override;
    void setScreenCursor(CursorShape shape) override;
    void showMessage(const std::string& text) override;
    void processPendingEvents() override;
    void showAboutBox() override;
    void closeApplication() override;

    /// The dialogs the application creates after the window.
    void setDialogs(InternetSettingsView* internetSettings, QDialog* about);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class FormComponent;

    void buildClientArea();
    void buildMenus();
    void buildComponents(QtTrayOptions trayOptions);
    QLabel* addRow(int top, const char* caption, const char* valueName, int captionWidth = 200);
    void showPlaced();
    void centreOnFirstShow();
    void followNotificationArea(bool present);

    std::unique_ptr<FormComponent> component_;
    std::unique_ptr<QtApplicationWindow> application_;
    std::unique_ptr<QtTrayBackend> trayBackend_;
    std::unique_ptr<QtPopupMenu> trayMenu_;
    TMainMenu* MainMenu1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuLook* MenuLook1 = nullptr;
    TkvTrayIcon* TrayIcon1 = nullptr;
    TkvAutoRun* kvAutoRun1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    std::array<TMenuItem*, kTimeServers.size()> serverItems_{};
    std::unique_ptr<TzMain> handlers_;
    InternetSettingsView* internetSettings_ = nullptr;
    QDialog* about_ = nullptr;
    bool visibleProperty_ = false;
    bool everShown_ = false;
    bool screenCursorSet_ = false;
};

}  // namespace vintrel
