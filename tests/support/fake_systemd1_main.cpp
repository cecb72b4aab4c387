// Stands in for the part of systemd's manager (org.freedesktop.systemd1) that
// systemd-timedated asks before it sets the clock: the state of its NTP units.
// Every call is appended to a record file, so a test sees what timedated asked.
//
//   fake_systemd1 --ntp active|inactive --record FILE
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
#include <QVariantMap>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "tests/support/bus_stand_in.h"

namespace {

constexpr char kName[] = "org.freedesktop.systemd1";
constexpr char kPath[] = "/org/freedesktop/systemd1";

class Manager final : public QDBusVirtualObject {
public:
    Manager(QString ntpState, QString recordPath)
        : ntpState_(std::move(ntpState)), recordPath_(std::move(recordPath)) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        record(message.path() + " " + message.interface() + "." + message.member());
        const bool unit = message.path().startsWith(QLatin1String(kPath) + "/unit/");
        if (unit && message.interface() == QLatin1String("org.freedesktop.DBus.Properties") &&
            message.member() == QLatin1String("GetAll")) {
            bus.send(message.createReply(QVariant::fromValue(unitProperties())));
            return true;
        }
        bus.send(
            message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                     QStringLiteral("not part of the stand-in")));
        return true;
    }

private:
    QVariantMap unitProperties() const {
        const bool active = ntpState_ == QLatin1String("active");
        return {{QStringLiteral("LoadState"), QStringLiteral("loaded")},
                {QStringLiteral("ActiveState"), ntpState_},
                {QStringLiteral("SubState"),
                 active ? QStringLiteral("running") : QStringLiteral("dead")}};
    }

    void record(const QString& line) const { vintrel::testing::AppendRecord(recordPath_, line); }

    QString ntpState_;
    QString recordPath_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString ntp = vintrel::testing::StandInOption(args, QStringLiteral("--ntp"));
    const QString recordPath = vintrel::testing::StandInOption(args, QStringLiteral("--record"));
    if (ntp.isEmpty() || recordPath.isEmpty()) {
        std::fprintf(stderr, "usage: fake_systemd1 --ntp active|inactive --record FILE\n");
        return 2;
    }
    Manager manager(ntp, recordPath);
    return vintrel::testing::ServeOnSystemBus(app, "fake_systemd1", kName, kPath, manager,
                                              QDBusConnection::SubPath);
}
