#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/shell_launcher.h"

namespace vintrel {
namespace {

class Win32ShellLauncher final : public ShellLauncher {
public:
    void openUrl(const std::string& url) override { open(url); }

    void openDocument(const std::string& path) override { open(path); }

    void openDateTimeSettings() override {
        WinExec("rundll32.exe shell32.dll,Control_RunDLL Timedate.cpl", SW_SHOWNORMAL);
    }

private:
    static void open(const std::string& target) {
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
};

}  // namespace

std::unique_ptr<ShellLauncher> makeDesktopShellLauncher() {
    return std::make_unique<Win32ShellLauncher>();
}

}  // namespace vintrel
