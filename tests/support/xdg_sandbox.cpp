#include "tests/support/xdg_sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vintrel::testing {
namespace {

std::optional<std::string> Get(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

XdgSandbox::XdgSandbox()
    : saved_{{"HOME", Get("HOME")},
             {"XDG_CONFIG_HOME", Get("XDG_CONFIG_HOME")},
             {"XDG_CONFIG_DIRS", Get("XDG_CONFIG_DIRS")}} {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/vintrel-xdg-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    root_ = pattern;
    setenv("HOME", (root_ + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ + "/user config $HOME").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (root_ + "/etc xdg:/etc/xdg").c_str(), 1);
}

XdgSandbox::~XdgSandbox() {
    for (const Saved& saved : saved_) {
        if (saved.value) {
            setenv(saved.name, saved.value->c_str(), 1);
        } else {
            unsetenv(saved.name);
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string XdgSandbox::userFolder() const {
    return root_ + "/user config $HOME/autostart";
}

std::string XdgSandbox::machineFolder() const {
    return root_ + "/etc xdg/autostart";
}

}  // namespace vintrel::testing
