#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>

namespace vintrel {

/// Makes sure only one copy runs per user: the first copy listens on a local
/// socket; a later copy asks it to show its window and then ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// The socket's name: in $XDG_RUNTIME_DIR when set, else per user id.
    static QString defaultServerName();

    explicit SingleInstance(QString serverName = defaultServerName(), QObject* parent = nullptr);

    /// True when a running copy took the request to show its window.
    bool askRunningCopyToShow(int timeoutMs = 2000);
    /// Starts listening as the running copy; false with `error()` when it cannot.
    bool listen();
    QString error() const { return error_; }

signals:
    void showRequested();

private:
    void onNewConnection();
    void readRequest(QLocalSocket* socket);

    QString name_;
    QLocalServer server_;
    QString error_;
};

}  // namespace vintrel
