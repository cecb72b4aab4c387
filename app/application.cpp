#include "app/application.h"

#include <QMessageBox>
#include <stdexcept>

#include "app/application_title.h"
#include "timesync/regional_format.h"

// The artwork lives in a static library: its resources must be pulled in by name.
static void InitialiseResources() {
    Q_INIT_RESOURCE(vintrel);
}

namespace vintrel {

VintrelApplication::VintrelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InitialiseResources();
    setApplicationDisplayName(
        QString::fromStdString(ApplicationTitleFor(argc > 0 ? argv[0] : "vintrel")));
    // The program lives on in the notification area when its window is closed.
    setQuitOnLastWindowClosed(false);
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
    std::string text = "Unknown error";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(ErrorBoxText(text)), QMessageBox::Ok);
    box.exec();
}

}  // namespace vintrel
