#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/autostart_list.h"

namespace vintrel {

/// Which auto-start list an entry goes to.
enum TkvAutoExecKind : std::uint8_t {
    aekMachineRun,
    aekMachineRunOnce,
    aekUserRun,
    aekUserRunOnce,
    aekServiceRun,
    aekServiceRunOnce,
};

/// The list of `kind`: its root and its key path below the root.
AutoStartLocation AutoExecLocation(TkvAutoExecKind kind);

/// The entry name for `fileName`: everything after its last "\", ":" or "/"
/// (all of it when it holds none).
std::string AutoExecEntryName(std::string_view fileName);

/// Writes the entry that starts `fileName`: named after its file-name part,
/// holding the whole of it. Never throws; `reason` says why it failed.
AutoStartResult TryRegisterAutoExec(TkvAutoExecKind kind, std::string_view fileName,
                                    AutoStartLists& lists = autoStartLists());

/// Whether the entry that starts `fileName` was written.
bool RegisterAutoExec(TkvAutoExecKind kind, std::string_view fileName,
                      AutoStartLists& lists = autoStartLists());

/// Deletes the entry named after the file-name part of `fileName`, whatever
/// it holds. True when it is gone or was never there; false when the list
/// cannot be opened or the entry not deleted. Never throws.
bool UnregisterAutoExec(TkvAutoExecKind kind, std::string_view fileName,
                        AutoStartLists& lists = autoStartLists());

}  // namespace vintrel
