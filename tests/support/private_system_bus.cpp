#include "tests/support/private_system_bus.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "platform/qt_runtime.h"

namespace vintrel::testing {
namespace {

// Waits for an event, not a time: the bound only keeps a broken start from
// hanging the test run.
constexpr int kStartBoundMs = 30'000;

QString BusConfig(const QString& socketPath) {
    return QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow receive_sender="*"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
)")
        .arg(socketPath);
}

std::string FirstLine(QProcess& process) {
    if (!process.waitForStarted(kStartBoundMs)) return {};
    while (!process.canReadLine()) {
        if (process.state() != QProcess::Running || !process.waitForReadyRead(kStartBoundMs)) {
            return {};
        }
    }
    return process.readLine().trimmed().toStdString();
}

std::string Failure(const char* what, QProcess& process) {
    return std::string(what) + " did not start: " + process.errorString().toStdString() + " " +
           process.readAllStandardError().toStdString();
}

void Stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(kStartBoundMs)) {
        process.kill();
        process.waitForFinished(kStartBoundMs);
    }
}

}  // namespace

struct PrivateSystemBus::State {
    QTemporaryDir dir;
    QProcess daemon;
    std::string address;
    std::string error;
};

PrivateSystemBus::PrivateSystemBus() : state_(std::make_unique<State>()) {
    ensureQtCore();
    QFile config(state_->dir.filePath(QStringLiteral("bus.conf")));
    if (!state_->dir.isValid() || !config.open(QIODevice::WriteOnly)) {
        state_->error = "no temporary folder for the bus";
        return;
    }
    config.write(BusConfig(state_->dir.filePath(QStringLiteral("bus"))).toUtf8());
    config.close();
    state_->daemon.start(QStringLiteral("dbus-daemon"),
                         {QStringLiteral("--nofork"), "--config-file=" + config.fileName(),
                          QStringLiteral("--print-address")});
    state_->address = FirstLine(state_->daemon);
    if (state_->address.empty()) state_->error = Failure("dbus-daemon", state_->daemon);
}

PrivateSystemBus::~PrivateSystemBus() {
    Stop(state_->daemon);
}

const std::string& PrivateSystemBus::address() const {
    return state_->address;
}

const std::string& PrivateSystemBus::error() const {
    return state_->error;
}

std::string PrivateSystemBus::scratchDir() const {
    return state_->dir.path().toStdString();
}

struct FakeTimedated::State {
    QTemporaryDir dir;
    QProcess service;
    bool ready = false;
    std::string error;
};

FakeTimedated::FakeTimedated(const std::string& busAddress, Reply reply)
    : state_(std::make_unique<State>()) {
    ensureQtCore();
    static const char* const kReplies[] = {"accept", "auto-sync", "deny", "polkit-timeout",
                                           "vanish"};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QString::fromStdString(busAddress));
    state_->service.setProcessEnvironment(env);
    state_->service.start(
        QStringLiteral(VINTREL_FAKE_TIMEDATED),
        {QStringLiteral("--reply"), QString::fromLatin1(kReplies[static_cast<int>(reply)]),
         QStringLiteral("--record"), state_->dir.filePath(QStringLiteral("requests.txt"))});
    state_->ready = FirstLine(state_->service) == "ready";
    if (!state_->ready) state_->error = Failure("fake_timedated", state_->service);
}

FakeTimedated::~FakeTimedated() {
    Stop(state_->service);
}

bool FakeTimedated::ready() const {
    return state_->ready;
}

const std::string& FakeTimedated::error() const {
    return state_->error;
}

std::string FakeTimedated::requests() const {
    QFile file(state_->dir.filePath(QStringLiteral("requests.txt")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

}  // namespace vintrel::testing
