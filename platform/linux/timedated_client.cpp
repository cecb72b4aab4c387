#include "platform/linux/timedated_client.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "platform/qt_runtime.h"

namespace vintrel {
namespace {

constexpr char kDefaultSystemBus[] = "unix:path=/run/dbus/system_bus_socket";

// An interactive call waits for the user to answer the password prompt.
// timedated gives polkit only its default 25 s, so the service answers first.
constexpr std::chrono::milliseconds kInteractiveTimeout = std::chrono::seconds(120);
// A silent call asks polkit nothing that needs a person, so it answers at once
// unless something is stuck; the bound keeps a correction that runs by itself
// from holding the window that long. Should timedated still set the clock
// after this, the step it makes is the one still needed then.
constexpr std::chrono::milliseconds kSilentTimeout = std::chrono::seconds(5);

constexpr char kNotAvailable[] = "the date and time service (systemd-timedated) is not available";

// Message boxes show the reason on one line; bus messages may carry breaks.
std::string OneLine(const QString& text) {
    return text.simplified().toStdString();
}

bool IsOneOf(const QString& name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&name](const char* n) { return name == QLatin1String(n); });
}

// One sentence per refusal, naming the way out where there is one.
std::string RefusalReason(const QDBusMessage& reply, bool interactive) {
    const QString name = reply.errorName();
    if (name == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled")) {
        return "automatic time synchronisation is on, so another time service keeps the clock "
               "(`timedatectl set-ntp false` hands it to Vintrel)";
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")) {
        // polkit could have allowed it after asking, but nobody could be asked.
        return interactive ? "permission to set it is needed, and no authentication agent is "
                             "running to ask for it"
                           : "permission to set it is needed, and a correction that runs by "
                             "itself does not ask for it";
    }
    if (IsOneOf(name, {"org.freedesktop.DBus.Error.AccessDenied",
                       "org.freedesktop.PolicyKit1.Error.NotAuthorized"})) {
        return "permission to set it was refused";
    }
    if (IsOneOf(name, {"org.freedesktop.DBus.Error.ServiceUnknown",
                       "org.freedesktop.DBus.Error.NameHasNoOwner",
                       "org.freedesktop.DBus.Error.UnknownObject",
                       "org.freedesktop.DBus.Error.UnknownInterface",
                       "org.freedesktop.DBus.Error.UnknownMethod"}) ||
        name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."))) {
        return kNotAvailable;
    }
    if (IsOneOf(name, {"org.freedesktop.DBus.Error.NoReply", "org.freedesktop.DBus.Error.Timeout",
                       "org.freedesktop.DBus.Error.TimedOut"})) {
        // The bus answers so for a service that died mid-call.
        if (reply.errorMessage().contains(QLatin1String("disconnected"))) {
            return "the date and time service (systemd-timedated) stopped without answering";
        }
        // Waiting for the user is what takes long; timedated relays its own
        // polkit time-out the same way.
        return interactive ? "permission to set it was not given in time"
                           : "the date and time service (systemd-timedated) did not answer in time";
    }
    const QString detail = reply.errorMessage().isEmpty() ? name : reply.errorMessage();
    return "the date and time service refused: " + OneLine(detail);
}

// QtDBus registers its own types lazily, from whichever thread needs them
// first; its connection thread racing the caller's thread then warns of
// "invalid type" ids. Registering them here, before any connection exists,
// leaves no race.
void RegisterDBusTypes() {
    static std::once_flag once;
    std::call_once(once, [] {
        qRegisterMetaType<QDBusMessage>();
        qRegisterMetaType<QDBusError>();
        qRegisterMetaType<QDBusObjectPath>();
        qRegisterMetaType<QDBusSignature>();
        qRegisterMetaType<QDBusVariant>();
        // Also runs QtDBus's own registration of its marshalling types.
        QDBusMetaType::signatureToMetaType("x");
    });
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

namespace {

// The connection to the system bus, or why there is none.
std::shared_ptr<PrivateConnection> Connect(std::string& failure) {
    ensureQtCore();
    RegisterDBusTypes();
    const std::string address = systemBusAddress();
    auto connection = std::make_shared<PrivateConnection>(QString::fromStdString(address));
    if (!connection->bus().isConnected()) {
        const QDBusError error = connection->bus().lastError();
        failure = "the system message bus at " + address + " cannot be reached: " +
                  OneLine(error.message().isEmpty() ? error.name() : error.message());
        return nullptr;
    }
    return connection;
}

QDBusMessage SetTimeCall(const TimedatedRequest& request) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
    const bool relative = true;
    // Read last, once the connection stands, so that the step is the one
    // still needed as the call goes out.
    const std::int64_t step = request.targetMicrosecondsUtc - request.now();
    call << QVariant::fromValue(static_cast<qlonglong>(step)) << relative << request.interactive;
    // Lets polkit ask the user for a password instead of refusing outright.
    call.setInteractiveAuthorizationAllowed(request.interactive);
    return call;
}

int TimeoutFor(const TimedatedRequest& request) {
    return TimeoutMs(request.interactive ? kInteractiveTimeout : kSilentTimeout);
}

ClockSetResult ResultOf(const QDBusMessage& reply, bool interactive) {
    if (reply.type() == QDBusMessage::ReplyMessage) return {true, {}};
    if (reply.type() == QDBusMessage::ErrorMessage)
        return {false, RefusalReason(reply, interactive)};
    return {false, "the date and time service (systemd-timedated) gave no answer"};
}

}  // namespace

ClockSetResult setTimeThroughTimedated(const TimedatedRequest& request) {
    std::string failure;
    const auto connection = Connect(failure);
    if (!connection) return {false, failure};
    const QDBusMessage reply =
        connection->bus().call(SetTimeCall(request), QDBus::Block, TimeoutFor(request));
    return ResultOf(reply, request.interactive);
}

void setTimeThroughTimedatedAsync(const TimedatedRequest& request,
                                  std::function<void(ClockSetResult)> done) {
    std::string failure;
    auto connection = Connect(failure);
    if (!connection) {
        done({false, failure});
        return;
    }
    const QDBusPendingCall pending =
        connection->bus().asyncCall(SetTimeCall(request), TimeoutFor(request));
    auto* watcher = new QDBusPendingCallWatcher(pending);
    // The connection lives until the answer is in; the watcher goes with it.
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [connection, done = std::move(done), interactive = request.interactive](
                         QDBusPendingCallWatcher* finished) mutable {
                         finished->deleteLater();
                         const ClockSetResult result = ResultOf(finished->reply(), interactive);
                         connection.reset();
                         done(result);
                     });
}

}  // namespace vintrel
