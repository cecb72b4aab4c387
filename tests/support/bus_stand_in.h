#pragma once

// What the stand-ins for system services share: their command line, their
// record file, and owning their name on the bus in DBUS_SYSTEM_BUS_ADDRESS.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusVirtualObject>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace vintrel::testing {

/// The value after `name` on the command line, empty when there is none.
inline QString StandInOption(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

/// Appends one line to the record file; a record that cannot be kept ends
/// the stand-in, since the test could not see what it was asked.
inline void AppendRecord(const QString& path, const QString& line) {
    QFile file(path);
    if (!file.open(QIODevice::Append | QIODevice::Text)) std::_Exit(3);
    file.write((line + "\n").toUtf8());
}

/// Serves `object` at `path` under `name` and runs the event loop; "ready" on
/// standard output once the name is owned.
inline int ServeOnSystemBus(
    QCoreApplication& app, const char* program, const char* name, const char* path,
    QDBusVirtualObject& object,
    QDBusConnection::VirtualObjectRegisterOption option = QDBusConnection::SingleNode) {
    QDBusConnection bus = QDBusConnection::connectToBus(
        QString::fromLocal8Bit(qgetenv("DBUS_SYSTEM_BUS_ADDRESS")), QStringLiteral("bus"));
    if (!bus.isConnected() || !bus.registerVirtualObject(QLatin1String(path), &object, option) ||
        !bus.registerService(QLatin1String(name))) {
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

}  // namespace vintrel::testing
