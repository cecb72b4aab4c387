#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/autostart_list.h"

namespace vintrel::testing {

/// Auto-start lists held in memory that record every access in order, e.g.
/// "open HKLM\...\Run create", "exists clock.exe", "write clock.exe=C:\clock.exe",
/// "remove clock.exe", "nt?". Installs itself for its lifetime.
class RecordingAutoStartLists final : public AutoStartLists {
public:
    RecordingAutoStartLists();
    ~RecordingAutoStartLists() override;
    RecordingAutoStartLists(const RecordingAutoStartLists&) = delete;
    RecordingAutoStartLists& operator=(const RecordingAutoStartLists&) = delete;

    /// "HKLM\<key path>" or "HKCU\<key path>".
    static std::string KeyOf(const AutoStartLocation& location);

    Opened open(const AutoStartLocation& location, AutoStartOpen mode) override;
    bool isNtFamily() const override;

    mutable std::vector<std::string> calls;
    /// The lists that exist: key (as KeyOf) → entry name → text.
    std::map<std::string, std::map<std::string, std::string>> lists;
    bool ntFamily = true;
    /// When set, every open fails with this reason.
    bool failOpen = false;
    std::string openFailure;
    /// When set, every write fails.
    bool failWrite = false;
    /// When set, every open throws.
    bool throwOnOpen = false;
};

}  // namespace vintrel::testing
