#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/autostart_list.h"

namespace vintrel {

/// Looks an environment variable up; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

/// The folder of XDG autostart entries for `root`: machine-wide the first
/// folder of $XDG_CONFIG_DIRS (default /etc/xdg), per user $XDG_CONFIG_HOME
/// (default ~/.config), each with "/autostart" added. Empty when no folder can
/// be found (no home folder).
std::string XdgAutoStartFolder(AutoStartRoot root, const EnvironmentLookup& environment);

/// Auto-start lists held as XDG autostart desktop entries, one file
/// "<entry name>.desktop" per entry. The Run lists become the machine-wide and
/// per-user autostart folders. A RunOnce entry starts its program through
/// /bin/sh, which deletes the entry file first, so it runs at one logon only
/// (in the machine-wide folder that deletion needs root; until then it runs at
/// every logon). A machine-wide entry is refused for a program that anyone but
/// root could change (the file, or a folder or link on its way). There are no
/// service lists.
class XdgAutoStartLists final : public AutoStartLists {
public:
    /// `environment` says where the folders are; the process environment by default.
    explicit XdgAutoStartLists(EnvironmentLookup environment = nullptr);

    Opened open(const AutoStartLocation& location, AutoStartOpen mode) override;
    bool isNtFamily() const override { return true; }

private:
    EnvironmentLookup environment_;
};

}  // namespace vintrel
