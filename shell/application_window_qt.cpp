#include "shell/application_window_qt.h"

namespace vintrel {

QtApplicationWindow::QtApplicationWindow(QWidget* mainWindow, WindowedControl* mainWindowControl)
    : window_(mainWindow), control_(mainWindowControl) {}

void QtApplicationWindow::showWindowNormal() {
    shown_ = true;
    if (window_ != nullptr && window_->isMinimized())
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
}

WindowedControl* QtApplicationWindow::mainWindow() {
    return window_ != nullptr ? control_ : nullptr;
}

}  // namespace vintrel
