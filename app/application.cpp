#include "app/application.h"

#include <stdexcept>

#include "app/application_title.h"
#include "shell/application_exception.h"
#include "timesync/regional_format.h"

// The artwork lives in a static library: its resources must be pulled in by name.
static void InitialiseResources() {
    Q_INIT_RESOURCE(vintrel);
}

namespace vintrel {

VintrelApplication::VintrelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InitialiseResources();
    // Every window's icon, the message boxes' too (the boxes themselves show none).
    QIcon icon(QStringLiteral(":/vintrel/vintrel-16.png"));
    icon.addFile(QStringLiteral(":/vintrel/vintrel-32.png"));
    setWindowIcon(icon);
    // The title of the message boxes. It is the application's name, not its
    // display name: a display name would be appended to every window title.
    setApplicationName(QString::fromStdString(ApplicationTitleFor(argc > 0 ? argv[0] : "vintrel")));
    // The program lives on in the notification area when its window is closed.
    setQuitOnLastWindowClosed(false);
    // What the components and the start-up report goes to the error box too.
    setApplicationExceptionHandler(ShowExceptionBox);
}

bool VintrelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowExceptionBox(std::current_exception());
        return false;
    }
}

bool VintrelApplication::event(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) ReloadRegionalSettings();
    return QApplication::event(event);
}

void ShowExceptionBox(std::exception_ptr error) {
    const std::string text = ExceptionText(error);
    ShowMessageBox(ErrorBoxText(text), QMessageBox::Critical);
}

void ShowMessageBox(const std::string& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), QString::fromStdString(text),
                    QMessageBox::Ok);
    // The main window stays on top of other windows: a box beneath it could
    // not be seen, and being modal it would leave the program looking stuck.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

}  // namespace vintrel
