#pragma once

#include <QPointer>
#include <QWidget>

#include "shell/application_window.h"

namespace vintrel {

/// The application of a Qt program with one main window, as the notification
/// icon hides and restores it.
///
/// Linux gives the application no window of its own: the owner window here is
/// a state, shown or hidden. Restoring it (`showWindowNormal`) takes the main
/// window out of the minimised state without showing it, as a restored owner
/// does on Windows; whether the main window comes up is decided only by its
/// visible property, so a window hidden by its close box stays hidden.
class QtApplicationWindow final : public ApplicationWindow {
public:
    /// `mainWindowControl` is the main window's visible property; both may be
    /// nullptr while there is no main window.
    QtApplicationWindow(QWidget* mainWindow, WindowedControl* mainWindowControl);

    bool isWindow() const override { return true; }
    bool isWindowShown() const override { return shown_; }
    void hideWindow() override { shown_ = false; }
    void showWindowNormal() override;
    WindowedControl* mainWindow() override;
    void setShowMainForm(bool show) override { showMainForm_ = show; }

    /// Whether the program should show its main window by itself at start.
    bool showMainForm() const { return showMainForm_; }

private:
    QPointer<QWidget> window_;
    WindowedControl* control_;
    bool shown_ = true;
    bool showMainForm_ = true;
};

}  // namespace vintrel
