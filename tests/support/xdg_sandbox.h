#pragma once

#include <optional>
#include <string>

namespace vintrel::testing {

/// A temporary folder that HOME, XDG_CONFIG_HOME and XDG_CONFIG_DIRS point
/// into for the sandbox's lifetime, so no test can reach the real autostart
/// folders. The folder names hold a space and a "$" to try the quoting of the
/// paths written into entries. Removed with everything in it at the end.
class XdgSandbox {
public:
    XdgSandbox();
    ~XdgSandbox();
    XdgSandbox(const XdgSandbox&) = delete;
    XdgSandbox& operator=(const XdgSandbox&) = delete;

    const std::string& root() const { return root_; }
    /// The autostart folders the lists should use.
    std::string userFolder() const;
    std::string machineFolder() const;

private:
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    };

    std::string root_;
    Saved saved_[3];
};

}  // namespace vintrel::testing
