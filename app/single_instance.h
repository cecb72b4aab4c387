#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>

namespace vintrel {

/// Makes sure only one copy runs per user: the first copy listens on a local
/// socket; a later copy asks it to show its window and then ends. The socket
/// lives in a folder only the user can write, and the look for a running copy,
/// the removal of a dead copy's socket and the listen happen under a lock, so
/// copies started together cannot both become the running one.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Listening,  ///< this is the running copy
        Shown,      ///< a running copy took the request to show its window
        Failed,     ///< neither; `error()` says why
    };

    /// The folder for the socket: $XDG_RUNTIME_DIR when it is the user's own
    /// with mode 0700, else a 0700 folder of the user's own in the temporary
    /// folder, named with the user id. Empty, with `error`, when there is no
    /// such folder (one of that name belongs to someone else, say).
    static QString privateFolder(QString* error = nullptr);
    /// The socket's path in `privateFolder()`; empty when there is none.
    static QString defaultServerName(QString* error = nullptr);

    /// An empty name means `defaultServerName()`.
    explicit SingleInstance(QString serverName = QString(), QObject* parent = nullptr);

    /// Asks a running copy to show its window, or else starts listening as
    /// the running copy.
    Start start();
    /// True when a running copy took the request to show its window.
    bool askRunningCopyToShow(int timeoutMs = 2000);
    /// Starts listening as the running copy; false with `error()` when it
    /// cannot or another copy is running.
    bool listen();
    QString error() const { return error_; }

signals:
    void showRequested();

private:
    enum class Probe { NoCopy, Copy, Failed };
    // Under the lock: whether a copy runs; when none, its socket is removed and this one listens.
    Probe probeAndListen();
    void onNewConnection();
    void readRequest(QLocalSocket* socket);

    QString name_;
    QLocalServer server_;
    QString error_;
};

}  // namespace vintrel
