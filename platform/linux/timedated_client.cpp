#include "platform/linux/timedated_client.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <initializer_list>

#include "platform/qt_runtime.h"

namespace vintrel {
namespace {

constexpr char kDefaultSystemBus[] = "unix:path=/run/dbus/system_bus_socket";
constexpr char kNotSet[] = "The system clock was not set";

// Message boxes show the reason on one line; bus messages may carry breaks.
std::string Reason(const std::string& lead, const QString& detail) {
    return lead + ": " + detail.simplified().toStdString();
}

bool IsOneOf(const QString& name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&name](const char* n) { return name == QLatin1String(n); });
}

std::string RefusalLead(const QString& errorName) {
    const std::string notSet = kNotSet;
    if (errorName == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled")) {
        return notSet + " because automatic time synchronization is enabled";
    }
    if (IsOneOf(errorName, {"org.freedesktop.DBus.Error.AccessDenied",
                            "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
                            "org.freedesktop.PolicyKit1.Error.NotAuthorized"})) {
        return notSet + " because permission to change it was refused";
    }
    if (IsOneOf(errorName, {"org.freedesktop.DBus.Error.ServiceUnknown",
                            "org.freedesktop.DBus.Error.NameHasNoOwner",
                            "org.freedesktop.DBus.Error.UnknownObject",
                            "org.freedesktop.DBus.Error.UnknownInterface",
                            "org.freedesktop.DBus.Error.UnknownMethod"})) {
        return notSet + " because the date and time service (systemd-timedated) is not available";
    }
    if (IsOneOf(errorName,
                {"org.freedesktop.DBus.Error.NoReply", "org.freedesktop.DBus.Error.Timeout",
                 "org.freedesktop.DBus.Error.TimedOut"})) {
        return notSet + " because the date and time service did not answer";
    }
    return notSet + " because the date and time service refused";
}

// A connection of our own per call: QDBusConnection::systemBus() would keep
// the first address it saw for the life of the process.
class PrivateConnection {
public:
    explicit PrivateConnection(const QString& address)
        : name_(QStringLiteral("vintrel-timedated-%1").arg(counter_++)),
          bus_(QDBusConnection::connectToBus(address, name_)) {}
    ~PrivateConnection() { QDBusConnection::disconnectFromBus(name_); }
    PrivateConnection(const PrivateConnection&) = delete;
    PrivateConnection& operator=(const PrivateConnection&) = delete;

    QDBusConnection& bus() { return bus_; }

private:
    static inline std::atomic<unsigned> counter_{0};
    QString name_;
    QDBusConnection bus_;
};

int TimeoutMs(std::chrono::milliseconds timeout) {
    const auto ms = std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 1, 0x7fffffff);
    return static_cast<int>(ms);
}

}  // namespace

std::string systemBusAddress() {
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    return address != nullptr && *address != '\0' ? address : kDefaultSystemBus;
}

ClockSetResult setTimeThroughTimedated(std::int64_t microsecondsUtc,
                                       std::chrono::milliseconds timeout) {
    ensureQtCore();
    const std::string address = systemBusAddress();
    PrivateConnection connection(QString::fromStdString(address));
    if (!connection.bus().isConnected()) {
        const QDBusError error = connection.bus().lastError();
        return {false, Reason(std::string(kNotSet) + " because the system message bus at " +
                                  address + " cannot be reached",
                              error.message().isEmpty() ? error.name() : error.message())};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
    const bool relative = false;
    const bool interactive = true;
    call << QVariant::fromValue(static_cast<qlonglong>(microsecondsUtc)) << relative << interactive;
    // Lets polkit ask the user for a password instead of refusing outright.
    call.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage reply = connection.bus().call(call, QDBus::Block, TimeoutMs(timeout));
    if (reply.type() == QDBusMessage::ReplyMessage) return {true, {}};
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QString detail =
            reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        return {false, Reason(RefusalLead(reply.errorName()), detail)};
    }
    return {false, std::string(kNotSet) + " because the date and time service gave no answer"};
}

}  // namespace vintrel
