#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include "platform/shell_launcher.h"

namespace vintrel {
namespace {

// The date and time settings of the common desktops, in the order tried.
const QList<QStringList> kDateTimeSettingsCommands = {
    {QStringLiteral("gnome-control-center"), QStringLiteral("datetime")},
    {QStringLiteral("systemsettings"), QStringLiteral("kcm_clock")},
    {QStringLiteral("kcmshell6"), QStringLiteral("kcm_clock")},
    {QStringLiteral("kcmshell5"), QStringLiteral("clock")},
    {QStringLiteral("xfce4-datetime-settings")},
    {QStringLiteral("time-admin")},
};

class DesktopShellLauncher final : public ShellLauncher {
public:
    void openUrl(const std::string& url) override {
        QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
    }

    void openDocument(const std::string& path) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    }

    void openDateTimeSettings() override {
        for (const QStringList& command : kDateTimeSettingsCommands) {
            if (QStandardPaths::findExecutable(command.first()).isEmpty()) continue;
            QProcess::startDetached(command.first(), command.mid(1));
            return;
        }
    }
};

}  // namespace

std::unique_ptr<ShellLauncher> makeDesktopShellLauncher() {
    return std::make_unique<DesktopShellLauncher>();
}

}  // namespace vintrel
