#pragma once

namespace vintrel {

/// A window with a visible property. The property is not the same as the
/// window being on the screen: setting it shows or hides the window, but the
/// window can also be hidden or shown by other means (its close box, a
/// "show normally" request) that leave the property as it was. Setting the
/// property to the value it already has does nothing.
class WindowedControl {
public:
    virtual ~WindowedControl() = default;
    virtual bool visibleProperty() const = 0;
    virtual void setVisibleProperty(bool visible) = 0;
};

/// The application as the notification icon hides and restores it: its owner
/// window (the window that stands for the whole application; on Windows the
/// hidden window that owns the main window) and its main window.
class ApplicationWindow {
public:
    virtual ~ApplicationWindow() = default;

    /// The owner window exists (IsWindow).
    virtual bool isWindow() const = 0;
    /// The owner window is shown (IsWindowVisible).
    virtual bool isWindowShown() const = 0;
    /// ShowWindow(SW_HIDE) on the owner window.
    virtual void hideWindow() = 0;
    /// ShowWindow(SW_SHOWNORMAL) on the owner window: it is shown and a
    /// minimised application is restored. It does not bring up a main window
    /// that was hidden by its own close box.
    virtual void showWindowNormal() = 0;

    /// The application's main window, nullptr while it has none.
    virtual WindowedControl* mainWindow() = 0;
    /// Whether the application shows its main window by itself when it starts.
    virtual void setShowMainForm(bool show) = 0;
};

}  // namespace vintrel
