#include <algorithm>
#include <string>

#include "app/maker.h"
#include "app/win32/about_box_win32.h"
#include "app/win32/main_window_win32.h"
#include "app/win32/proxy_dialog_win32.h"
#include "app/win32/single_instance_win32.h"
#include "app/win32/win32_application.h"
#include "platform/clock_setter.h"
#include "platform/daytime_client.h"
#include "platform/executable_path.h"
#include "platform/host_resolver.h"
#include "platform/shell_launcher.h"
#include "platform/system_services.h"
#include "shell/application_exception.h"

#include "shell/win32/windows_last.h"

using namespace vintrel;

namespace {

int RunProgram() {
    installSystemServices();
    setApplicationExceptionHandler(ShowWin32ExceptionBox);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // A second copy brings the first one's window up and ends, before any of
    // its components could touch the start-at-logon entry.
    Win32SingleInstance instance;
    switch (instance.start()) {
        case Win32SingleInstance::Start::Shown:
            return 0;
        case Win32SingleInstance::Start::Failed:
            // Runs on unguarded rather than leave the user with no window.
            OutputDebugStringA(
                ("vintrel: cannot watch for a second copy: " + instance.error() + "\n").c_str());
            break;
        case Win32SingleInstance::Start::Running:
            break;
    }

    const std::unique_ptr<DaytimeClient> daytime = makeDaytimeClient();
    const std::unique_ptr<HostResolver> resolver = makeSystemHostResolver();
    const std::unique_ptr<ClockSetter> clock = makeSystemClockSetter();
    const std::unique_ptr<ShellLauncher> shell = makeDesktopShellLauncher();

    // The read-me is looked for beside the program, then in its doc folder;
    // the folder is cut at the last "/", which Windows takes as a separator too.
    std::string executable = RunningExecutablePath();
    std::replace(executable.begin(), executable.end(), '\\', '/');
    const std::string folder = executable.substr(0, executable.find_last_of('/') + 1);
    TzMainServices services{*daytime,
                            *resolver,
                            *clock,
                            *shell,
                            nullptr,
                            nullptr,
                            executable.substr(folder.size()),
                            ReadmeCandidates(executable, folder + "doc"),
                            kMakerUrl};

    // The boxes keep their fixed texts; the reason of a failed correction
    // goes to the debugger's output, where a support person can read it.
    CorrectionOptions options;
    options.reportFailure = [](const std::string& reason) {
        OutputDebugStringA(("vintrel: the clock was not corrected: " + reason + "\n").c_str());
    };
    Win32MainWindow form(std::move(services), std::move(options));
    form.setShowRequestMessage(instance.showMessage());
    form.runFormCreate();

    Win32ProxyDialog frmProxy(form.Handle());
    Win32AboutBox frmAbout(*shell, form.Handle());
    form.setDialogs(&frmProxy, [&frmAbout] { frmAbout.runModal(); });
    return RunWin32MessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        return RunProgram();
    } catch (...) {
        ShowWin32ExceptionBox(std::current_exception());
        return 1;
    }
}
