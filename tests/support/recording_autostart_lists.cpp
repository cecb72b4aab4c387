#include "tests/support/recording_autostart_lists.h"

#include <stdexcept>

namespace vintrel::testing {
namespace {

class RecordingList final : public AutoStartList {
public:
    RecordingList(RecordingAutoStartLists& owner, std::map<std::string, std::string>& entries)
        : owner_(owner), entries_(entries) {}

    bool exists(std::string_view name) const override {
        owner_.calls.push_back("exists " + std::string(name));
        return entries_.contains(std::string(name));
    }

    AutoStartResult write(std::string_view name, std::string_view value) override {
        owner_.calls.push_back("write " + std::string(name) + "=" + std::string(value));
        if (owner_.failWrite) return {false, "the write was refused"};
        entries_[std::string(name)] = value;
        return {true, {}};
    }

    AutoStartResult remove(std::string_view name) override {
        owner_.calls.push_back("remove " + std::string(name));
        if (entries_.erase(std::string(name)) == 0) return {false, "no such entry"};
        return {true, {}};
    }

private:
    RecordingAutoStartLists& owner_;
    std::map<std::string, std::string>& entries_;
};

}  // namespace

RecordingAutoStartLists::RecordingAutoStartLists() {
    installAutoStartLists(this);
}

RecordingAutoStartLists::~RecordingAutoStartLists() {
    installAutoStartLists(nullptr);
}

std::string RecordingAutoStartLists::KeyOf(const AutoStartLocation& location) {
    return (location.root == AutoStartRoot::Machine ? "HKLM\\" : "HKCU\\") + location.keyPath;
}

AutoStartLists::Opened RecordingAutoStartLists::open(const AutoStartLocation& location,
                                                     AutoStartOpen mode) {
    const std::string key = KeyOf(location);
    const bool create = mode == AutoStartOpen::CreateIfMissing;
    calls.push_back("open " + key + (create ? " create" : " existing"));
    if (throwOnOpen) throw std::runtime_error("the lists threw");
    if (failOpen) return {nullptr, openFailure};
    if (!create && !lists.contains(key)) return {nullptr, "no such list"};
    return {std::make_unique<RecordingList>(*this, lists[key]), {}};
}

bool RecordingAutoStartLists::isNtFamily() const {
    calls.push_back("nt?");
    return ntFamily;
}

}  // namespace vintrel::testing
