#include <QFileInfo>
#include <cstdio>

#include "app/application.h"
#include "app/maker.h"
#include "app/single_instance.h"
#include "app/tfrm_about.h"
#include "app/tfrm_tz_main.h"
#include "packaging/install_paths.h"
#include "platform/clock_setter.h"
#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "platform/qt_runtime.h"
#include "platform/shell_launcher.h"
#include "platform/system_services.h"
#include "settings/tfrm_proxy.h"

using namespace vintrel;

namespace {

int RunProgram(int argc, char** argv) {
    installSystemServices();
    VintrelApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));

    // A second copy brings the first one's window up and ends, before any of
    // its components could touch the start-at-logon entry.
    SingleInstance instance;
    switch (instance.start()) {
        case SingleInstance::Start::Shown:
            return 0;
        case SingleInstance::Start::Failed:
            // Runs on unguarded rather than leave the user with no window.
            std::fprintf(stderr, "vintrel: cannot watch for a second copy: %s\n",
                         qPrintable(instance.error()));
            break;
        case SingleInstance::Start::Listening:
            break;
    }

    const std::unique_ptr<DaytimeClient> daytime = makeDaytimeClient();
    const std::unique_ptr<HostResolver> resolver = makeSystemHostResolver();
    const std::unique_ptr<ClockSetter> clock = makeSystemClockSetter();
    const std::unique_ptr<ShellLauncher> shell = makeDesktopShellLauncher();

    const QFileInfo executable(QCoreApplication::applicationFilePath());
    TzMainServices services{
        *daytime,
        *resolver,
        *clock,
        *shell,
        nullptr,
        nullptr,
        executable.fileName().toStdString(),
        ReadmeCandidates(executable.absoluteFilePath().toStdString(), kInstalledDocDir),
        kMakerUrl};

    // The boxes keep their fixed texts; the reason of a failed correction
    // goes to standard error, and so to the journal under a desktop session.
    CorrectionOptions options;
    options.reportFailure = [](const std::string& reason) {
        std::fprintf(stderr, "vintrel: the clock was not corrected: %s\n", reason.c_str());
    };
    TfrmTzMain form(std::move(services), std::move(options));
    QObject::connect(&instance, &SingleInstance::showRequested, &form,
                     [&form] { form.showWindowNormal(); });
    form.runFormCreate();

    TfrmProxy frmProxy(&form);
    TfrmAbout frmAbout(*shell, &form);
    form.setDialogs(&frmProxy, &frmAbout);
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    // Everything of the program is gone by now; what is left are the
    // libraries' own exit handlers, which a proxy script can crash.
    leaveProcess(RunProgram(argc, argv));
}
