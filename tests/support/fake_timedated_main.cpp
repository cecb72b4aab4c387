// Stands in for systemd-timedated on a private bus: answers SetTime as told on
// the command line and appends what it received to a record file, so a test
// can check the request without any clock being touched.
//
//   fake_timedated --reply accept|auto-sync|deny|polkit-timeout|vanish --record FILE
//
// The bus is DBUS_SYSTEM_BUS_ADDRESS. "ready" on standard output means the
// service name is owned.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "tests/support/bus_stand_in.h"

namespace {

constexpr char kName[] = "org.freedesktop.timedate1";
constexpr char kPath[] = "/org/freedesktop/timedate1";

class Timedate final : public QDBusVirtualObject {
public:
    Timedate(QString reply, QString recordPath)
        : reply_(std::move(reply)), recordPath_(std::move(recordPath)) {}

    QString introspect(const QString&) const override {
        return QStringLiteral(
            "<interface name=\"org.freedesktop.timedate1\"><method name=\"SetTime\">"
            "<arg name=\"usec_utc\" type=\"x\" direction=\"in\"/>"
            "<arg name=\"relative\" type=\"b\" direction=\"in\"/>"
            "<arg name=\"interactive\" type=\"b\" direction=\"in\"/>"
            "</method></interface>");
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (message.interface() != QLatin1String(kName) ||
            message.member() != QLatin1String("SetTime")) {
            return false;
        }
        if (message.signature() != QLatin1String("xbb")) {
            record("bad-signature " + message.signature());
            bus.send(
                message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                         "Expected xbb, got " + message.signature()));
            return true;
        }
        const QVariantList args = message.arguments();
        record(QStringLiteral("%1 %2 %3 %4")
                   .arg(args[0].toLongLong())
                   .arg(Flag(args[1].toBool()), Flag(args[2].toBool()),
                        message.isInteractiveAuthorizationAllowed() ? "may-ask" : "may-not-ask"));
        answer(message, bus);
        return true;
    }

private:
    static QString Flag(bool value) {
        return value ? QStringLiteral("true") : QStringLiteral("false");
    }

    void record(const QString& line) const { vintrel::testing::AppendRecord(recordPath_, line); }

    void answer(const QDBusMessage& message, const QDBusConnection& bus) const {
        if (reply_ == QLatin1String("accept")) {
            bus.send(message.createReply());
        } else if (reply_ == QLatin1String("auto-sync")) {
            bus.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.timedate1.AutomaticTimeSyncEnabled"),
                QStringLiteral("Automatic time synchronization is enabled")));
        } else if (reply_ == QLatin1String("deny")) {
            bus.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"),
                QStringLiteral("Interactive authentication required.")));
        } else if (reply_ == QLatin1String("polkit-timeout")) {
            // What timedated relays when polkit gave no answer within its 25 s.
            bus.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
                                              QStringLiteral("Method call timed out")));
        } else {
            // A service that dies mid-call: the bus answers in its place.
            std::_Exit(0);
        }
    }

    QString reply_;
    QString recordPath_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString reply = vintrel::testing::StandInOption(args, QStringLiteral("--reply"));
    const QString recordPath = vintrel::testing::StandInOption(args, QStringLiteral("--record"));
    if (reply.isEmpty() || recordPath.isEmpty()) {
        std::fprintf(stderr, "usage: fake_timedated --reply MODE --record FILE\n");
        return 2;
    }
    Timedate timedate(reply, recordPath);
    return vintrel::testing::ServeOnSystemBus(app, "fake_timedated", kName, kPath, timedate);
}
