#pragma once

#include <string>
#include <vector>

#include "platform/shell_launcher.h"

namespace vintrel::testing {

/// Keeps what it was asked to open, as "url URL", "document PATH" or
/// "date-time settings", and starts nothing.
class FakeShellLauncher final : public ShellLauncher {
public:
    std::vector<std::string> opened;

    void openUrl(const std::string& url) override { opened.push_back("url " + url); }
    void openDocument(const std::string& path) override { opened.push_back("document " + path); }
    void openDateTimeSettings() override { opened.push_back("date-time settings"); }
};

}  // namespace vintrel::testing
