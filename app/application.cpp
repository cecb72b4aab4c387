#include "app/application.h"

#include <algorithm>
#include <cmath>
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
    setWindowIcon(ArtworkIcon({":/vintrel/vintrel-16", ":/vintrel/vintrel-32"}));
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

QIcon ArtworkIcon(std::initializer_list<const char*> names) {
    QIcon icon;
    for (const char* name : names) {
        const QString base = QString::fromLatin1(name);
        icon.addFile(base + QStringLiteral(".png"));
        for (int scale = 2; scale <= 3; ++scale)
            icon.addFile(base + QStringLiteral("@%1x.png").arg(scale));
    }
    return icon;
}

int ArtworkScale() {
    const int scale = static_cast<int>(std::ceil(qApp->devicePixelRatio()));
    return std::clamp(scale, 1, 3);
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
