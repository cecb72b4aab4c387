// TEMPORARY: stand-ins so that vintrel-sync links before the Linux daytime
// client, host resolver, clock setter and the settings store are merged.
// Delete this file and the pending_stubs target when they are; nothing else
// links it.
#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "settings/settings_store.h"

namespace vintrel {
namespace {

constexpr const char* kPending = "not built into this copy of the program yet";

class PendingDaytimeClient final : public DaytimeClient {
public:
    DaytimeFetch fetch(const DaytimeRequest&) override { return {{}, kPending}; }
};

class PendingHostResolver final : public HostResolver {
public:
    std::string firstIPv4(const std::string&) override { return {}; }
};

}  // namespace

std::unique_ptr<DaytimeClient> makeDaytimeClient(DaytimeTimeouts) {
    return std::make_unique<PendingDaytimeClient>();
}

std::unique_ptr<HostResolver> makeSystemHostResolver() {
    return std::make_unique<PendingHostResolver>();
}

std::string ReadSetting(std::string_view, std::string_view, std::string_view defaultValue) {
    return std::string(defaultValue);
}

void WriteSetting(std::string_view, std::string_view name, std::string_view) {
    throw ERegistryException("Failed to set data for '" + std::string(name) + "'");
}

}  // namespace vintrel
