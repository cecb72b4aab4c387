#include "shell/auto_exec.h"

#include <exception>
#include <string>

namespace vintrel {
namespace {

bool IsServiceKind(TkvAutoExecKind kind) {
    return kind == aekServiceRun || kind == aekServiceRunOnce;
}

const char* ListName(TkvAutoExecKind kind) {
    switch (kind) {
        case aekMachineRun:
        case aekUserRun:
            return "Run";
        case aekMachineRunOnce:
        case aekUserRunOnce:
            return "RunOnce";
        case aekServiceRun:
            return "RunServices";
        case aekServiceRunOnce:
            return "RunServicesOnce";
    }
    return "";  // not a kind; no list has this path
}

}  // namespace

AutoStartLocation AutoExecLocation(TkvAutoExecKind kind) {
    const bool perUser = kind == aekUserRun || kind == aekUserRunOnce;
    return {perUser ? AutoStartRoot::User : AutoStartRoot::Machine,
            std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + ListName(kind)};
}

std::string AutoExecEntryName(std::string_view fileName) {
    const std::size_t last = fileName.find_last_of("\\:/");
    return std::string(last == std::string_view::npos ? fileName : fileName.substr(last + 1));
}

AutoStartResult TryRegisterAutoExec(TkvAutoExecKind kind, std::string_view fileName,
                                    AutoStartLists& lists) {
    try {
        if (IsServiceKind(kind) && lists.isNtFamily()) {
            return {false, "this system has no service start-up lists"};
        }
        const AutoStartLocation location = AutoExecLocation(kind);
        AutoStartLists::Opened key = lists.open(location, AutoStartOpen::CreateIfMissing);
        if (!key.list) {
            return {false, key.reason.empty() ? "Unable to open the " + location.keyPath + " key"
                                              : key.reason};
        }
        return key.list->write(AutoExecEntryName(fileName), fileName);
    } catch (const std::exception& e) {
        return {false, e.what()};
    } catch (...) {
        return {false, "an unknown error occurred"};
    }
}

bool RegisterAutoExec(TkvAutoExecKind kind, std::string_view fileName, AutoStartLists& lists) {
    return TryRegisterAutoExec(kind, fileName, lists).ok;
}

bool UnregisterAutoExec(TkvAutoExecKind kind, std::string_view fileName, AutoStartLists& lists) {
    try {
        if (IsServiceKind(kind) && lists.isNtFamily()) return false;
        AutoStartLists::Opened key =
            lists.open(AutoExecLocation(kind), AutoStartOpen::ExistingOnly);
        if (!key.list) return false;
        const std::string name = AutoExecEntryName(fileName);
        return !key.list->exists(name) || key.list->remove(name).ok;
    } catch (...) {
        return false;
    }
}

}  // namespace vintrel
