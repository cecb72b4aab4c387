// The floor of the toolkit for the start-up, memory and idle figures: a Qt
// Widgets program with one window and one tray icon and nothing else;
// "--hidden" leaves the window hidden, as in the notification area.

#include <QApplication>
#include <QMainWindow>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal tray app"));
    window.resize(424, 307);
    if (QApplication::arguments().value(1) != QStringLiteral("--hidden")) window.show();
    return QApplication::exec();
}
