#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "timesync/correction_view.h"
#include "timezone/time_zone_report.h"

namespace vintrel {

/// The menu items whose check marks the main window's handlers set.
enum class MenuCheck {
    mnuAutostart,     // "Auto Start with Windows"
    StartMinimized1,  // "Start Minimized"
    mnuAutomatic,     // "&Auto Synchronize Daily" (File menu)
    PingDaily1,       // "&Auto Synchronized Daily" (notification menu)
};

/// What the main window's handlers need of the window on the screen. The Qt
/// form implements it; tests implement it with plain fields.
class MainFormView : public TimeZoneReportView {
public:
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setLocalText(const std::string& text) = 0;
    virtual void setSystemUtcText(const std::string& text) = 0;
    virtual void setLastPingText(const std::string& text) = 0;

    virtual void showCheck(MenuCheck item, bool checked) = 0;
    virtual void showServerCheck(std::size_t index, bool checked) = 0;

    virtual void setTimer1Enabled(bool enabled) = 0;
    /// Timer1's period; changing it starts a new countdown.
    virtual void setTimer1Interval(std::chrono::milliseconds interval) = 0;
    /// Enabling an enabled timer keeps its countdown running; enabling a
    /// disabled one starts a new sixty-second countdown.
    virtual void setTimer2Enabled(bool enabled) = 0;
    virtual bool timer2Enabled() const = 0;

    /// The window's visible property: making it true shows the window (centred
    /// on the screen the first time), false hides it.
    virtual void setVisibleProperty(bool visible) = 0;
    virtual bool visibleProperty() const = 0;
    /// Shows or hides the window itself, leaving the visible property alone.
    virtual void showWindowNormal() = 0;
    virtual void hideWindow() = 0;
    /// Minimises the window to the taskbar, showing it first when it is hidden.
    virtual void minimizeWindow() = 0;
    /// Whether the window is on the screen, minimised or not.
    virtual bool windowShown() const = 0;
    /// Whether a notification area holds the program's icon. Without one a
    /// hidden window could not be reached again.
    virtual bool notificationAreaPresent() const = 0;

    /// The window's cursor, and the whole screen's.
    virtual void setCursor(CursorShape shape) = 0;
    virtual void setScreenCursor(CursorShape shape) = 0;

    /// A message box with one OK button under the application's title.
    virtual void showMessage(const std::string& text) = 0;
    virtual void processPendingEvents() = 0;

    virtual void showAboutBox() = 0;
    /// Ends the message loop and with it the program.
    virtual void closeApplication() = 0;
};

}  // namespace vintrel
