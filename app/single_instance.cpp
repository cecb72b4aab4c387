#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <cstring>

namespace vintrel {
namespace {

constexpr char kShowRequest[] = "show\n";
// The lock is held only for a look at the socket and a listen; copies started
// together wait their turn, and nothing waits longer on the window's thread.
constexpr qint64 kLockBoundMs = 400;

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why `folder` is not one only this user can write; empty when it is. Never
// follows a link: a link could lead anywhere.
QString FolderProblem(const QString& folder) {
    struct stat info {};
    if (lstat(QFile::encodeName(folder).constData(), &info) != 0) {
        return QStringLiteral("%1 cannot be examined (%2)").arg(folder, ErrorText(errno));
    }
    if (!S_ISDIR(info.st_mode)) return QStringLiteral("%1 is not a folder").arg(folder);
    if (info.st_uid != getuid()) {
        return QStringLiteral("%1 belongs to user %2").arg(folder).arg(info.st_uid);
    }
    if ((info.st_mode & 07777) != 0700) {
        return QStringLiteral("%1 can be reached by other users (mode %2)")
            .arg(folder)
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    }
    return {};
}

// Why the file at `path` is not this user's socket; empty when it is or when
// there is none.
QString SocketProblem(const QString& path) {
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno == ENOENT) return {};
        return QStringLiteral("%1 cannot be examined (%2)").arg(path, ErrorText(errno));
    }
    if (!S_ISSOCK(info.st_mode)) return QStringLiteral("%1 is not a socket").arg(path);
    if (info.st_uid != getuid()) {
        return QStringLiteral("%1 belongs to user %2").arg(path).arg(info.st_uid);
    }
    return {};
}

// An exclusive lock on a file beside the socket, tried for a short time.
class InstanceLock {
public:
    explicit InstanceLock(const QString& path) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                     0600);
        if (fd_ < 0) {
            error_ = QStringLiteral("%1 cannot be opened (%2)").arg(path, ErrorText(errno));
            return;
        }
        QElapsedTimer waited;
        waited.start();
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                error_ = QStringLiteral("%1 cannot be locked (%2)").arg(path, ErrorText(errno));
                return;
            }
            if (waited.elapsed() >= kLockBoundMs) {
                error_ = QStringLiteral("another copy holds %1").arg(path);
                return;
            }
            QThread::msleep(5);
        }
        locked_ = true;
    }
    ~InstanceLock() {
        if (fd_ >= 0) ::close(fd_);  // and with it the lock
    }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool locked() const { return locked_; }
    const QString& error() const { return error_; }

private:
    int fd_ = -1;
    bool locked_ = false;
    QString error_;
};

}  // namespace

QString SingleInstance::privateFolder(QString* error) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isAbsolute() && FolderProblem(runtime).isEmpty()) {
        return runtime;
    }
    // The shared temporary folder: someone may have taken the name first, so
    // the folder is only used once it is known to be this user's alone.
    const QString folder = QDir::tempPath() + QStringLiteral("/vintrel-%1").arg(getuid());
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = QStringLiteral("%1 cannot be created (%2)").arg(folder, ErrorText(errno));
        return {};
    }
    if (const QString problem = FolderProblem(folder); !problem.isEmpty()) {
        if (error) *error = problem;
        return {};
    }
    return folder;
}

QString SingleInstance::defaultServerName(QString* error) {
    const QString folder = privateFolder(error);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/vintrel.instance");
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), name_(std::move(serverName)) {
    if (name_.isEmpty()) name_ = defaultServerName(&error_);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::Probe SingleInstance::probeAndListen() {
    if (name_.isEmpty()) return Probe::Failed;  // error_ says why
    if (const QString problem = FolderProblem(QFileInfo(name_).absolutePath());
        !problem.isEmpty()) {
        error_ = problem;
        return Probe::Failed;
    }
    const InstanceLock lock(name_ + QStringLiteral(".lock"));
    if (!lock.locked()) {
        error_ = lock.error();
        return Probe::Failed;
    }
    if (const QString problem = SocketProblem(name_); !problem.isEmpty()) {
        error_ = problem;
        return Probe::Failed;
    }
    // A copy that is busy still accepts connections: its socket is not to be
    // taken over.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(static_cast<int>(kLockBoundMs))) {
        probe.abort();
        return Probe::Copy;
    }
    // A copy that crashed leaves its socket behind, and nobody answers on it.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(name_)) return Probe::NoCopy;
    error_ = server_.errorString();
    return Probe::Failed;
}

SingleInstance::Start SingleInstance::start() {
    // Twice: a running copy that ends between the look and the request
    // leaves the place to this one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (probeAndListen()) {
            case Probe::NoCopy:
                return Start::Listening;
            case Probe::Failed:
                return Start::Failed;
            case Probe::Copy:
                break;
        }
        // Asked outside the lock: the running copy may still be starting and
        // answers once its event loop runs.
        if (askRunningCopyToShow()) return Start::Shown;
    }
    error_ = QStringLiteral("a running copy does not answer on %1").arg(name_);
    return Start::Failed;
}

bool SingleInstance::askRunningCopyToShow(int timeoutMs) {
    if (name_.isEmpty() || !SocketProblem(name_).isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The running copy closes the connection once it has read the request.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::listen() {
    switch (probeAndListen()) {
        case Probe::NoCopy:
            return true;
        case Probe::Copy:
            error_ = QStringLiteral("another copy is running");
            return false;
        case Probe::Failed:
            break;
    }
    return false;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The request may have come with the connection.
        if (socket->bytesAvailable() > 0) readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    // Five bytes on a local socket arrive together.
    if (socket->readAll().startsWith(kShowRequest)) emit showRequested();
    socket->disconnectFromServer();
}

}  // namespace vintrel
