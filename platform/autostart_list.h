#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vintrel {

/// Whose logon an auto-start list serves: every user's (HKEY_LOCAL_MACHINE on
/// Windows) or the current user's (HKEY_CURRENT_USER).
enum class AutoStartRoot : unsigned char { Machine, User };

/// One auto-start list, named as Windows names it: a root and the key path below
/// it, such as "Software\Microsoft\Windows\CurrentVersion\RunOnce". The list
/// name at the end of the path says when its entries run: "Run" at every logon,
/// "RunOnce" at the next logon only; "RunServices" and "RunServicesOnce" are the
/// service lists that only systems outside the NT family have.
struct AutoStartLocation {
    AutoStartRoot root = AutoStartRoot::Machine;
    std::string keyPath;

    friend bool operator==(const AutoStartLocation&, const AutoStartLocation&) = default;
};

/// The outcome of an operation on an auto-start list.
struct AutoStartResult {
    bool ok = false;
    /// Why it failed, in words a user can read; empty on success.
    std::string reason;
};

/// An opened auto-start list: entries keyed by name, each holding a text (the
/// command line that is started). Closed when destroyed.
class AutoStartList {
public:
    virtual ~AutoStartList() = default;
    /// Whether an entry of that name exists; its text is not looked at.
    virtual bool exists(std::string_view name) const = 0;
    /// Creates or replaces the entry `name` with `value`.
    virtual AutoStartResult write(std::string_view name, std::string_view value) = 0;
    /// Deletes the entry `name`.
    virtual AutoStartResult remove(std::string_view name) = 0;
};

/// How a list is opened: creating it when missing (to write an entry) or only
/// when it already exists (to delete one).
enum class AutoStartOpen : unsigned char { CreateIfMissing, ExistingOnly };

/// The system's auto-start lists.
class AutoStartLists {
public:
    struct Opened {
        /// The opened list, or nullptr when it could not be opened.
        std::unique_ptr<AutoStartList> list;
        /// Why it could not be opened; empty when it was.
        std::string reason;
    };

    virtual ~AutoStartLists() = default;
    virtual Opened open(const AutoStartLocation& location, AutoStartOpen mode) = 0;
    /// Whether the system counts as the NT family, the one without service
    /// lists. Systems other than Windows have none either and answer true.
    virtual bool isNtFamily() const = 0;
};

/// The lists in use: the operating system's, unless a test installed others.
AutoStartLists& autoStartLists();

/// Makes `lists` the lists in use until the next call; nullptr restores the
/// operating system's. The caller keeps ownership.
void installAutoStartLists(AutoStartLists* lists);

/// The operating system's own lists.
AutoStartLists& realAutoStartLists();

}  // namespace vintrel
