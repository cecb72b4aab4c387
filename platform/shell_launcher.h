#pragma once

#include <memory>
#include <string>

namespace vintrel {

/// Hands documents, web addresses and the system's date and time settings to
/// the desktop. Outcomes are not examined by the callers.
class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    /// Opens a web address with the desktop's browser.
    virtual void openUrl(const std::string& url) = 0;
    /// Opens a document (a file path) with the desktop's default application.
    virtual void openDocument(const std::string& path) = 0;
    /// Brings up the desktop's date and time settings.
    virtual void openDateTimeSettings() = 0;
};

std::unique_ptr<ShellLauncher> makeDesktopShellLauncher();

}  // namespace vintrel
