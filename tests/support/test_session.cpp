#include "tests/support/test_session.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vintrel::testing {

TestSession::TestSession() {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + "/vintrel-session-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    root_ = pattern;
    const struct {
        const char* variable;
        const char* folder;
    } folders[] = {
        {"HOME", "/home"},
        {"XDG_CONFIG_HOME", "/home/.config"},
        {"XDG_CONFIG_DIRS", "/etc/xdg"},
        {"XDG_DATA_HOME", "/home/.local/share"},
        {"XDG_CACHE_HOME", "/home/.cache"},
        {"XDG_STATE_HOME", "/home/.local/state"},
        {"XDG_RUNTIME_DIR", "/run"},
    };
    for (const auto& folder : folders) {
        const std::string path = root_ + folder.folder;
        std::filesystem::create_directories(path);
        ::setenv(folder.variable, path.c_str(), 1);
    }
    // The runtime folder must be private, or Qt refuses it.
    ::chmod((root_ + "/run").c_str(), 0700);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::unsetenv("DISPLAY");
    // A run under a real compositor names its socket (a full path, since the
    // runtime folder is this session's): the windows then meet Wayland's rules
    // for menus, dialogs and placing instead of the offscreen platform's.
    const char* wayland = std::getenv("VINTREL_TEST_WAYLAND_SOCKET");
    if (wayland != nullptr && *wayland == '/') {
        ::setenv("QT_QPA_PLATFORM", "wayland", 1);
        ::setenv("WAYLAND_DISPLAY", wayland, 1);
    } else {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::unsetenv("WAYLAND_DISPLAY");
    }
}

TestSession::~TestSession() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

}  // namespace vintrel::testing
