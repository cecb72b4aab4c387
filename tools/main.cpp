#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock_setter.h"
#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "platform/qt_runtime.h"
#include "platform/registry.h"
#include "platform/scheduler.h"
#include "platform/system_services.h"
#include "tools/sync_arguments.h"
#include "tools/sync_command.h"
#include "tools/zone_command.h"

namespace {

int Run(int argc, char** argv) {
    using namespace vintrel;
    installSystemServices();
    const std::string agent = argc > 0 && argv[0] != nullptr
                                  ? std::filesystem::path(argv[0]).filename().string()
                                  : std::string(kSyncProgram);
    const ParsedSyncArguments parsed =
        ParseSyncArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << kSyncProgram << ": " << parsed.error << " (see --help)\n";
        return kSyncUsageError;
    }
    if (parsed.arguments.help) {
        std::cout << SyncUsage(kSyncProgram);
        return kSyncSuccess;
    }
    if (parsed.arguments.zone) return RunZone(std::cout, std::cerr);
    // No window to keep alive: a settings change in another program may finish first.
    setRegistryWriteWait(std::chrono::seconds(2));
    // The answers come through Qt's event loop, which wants an application object.
    ensureQtCore();
    const std::unique_ptr<DaytimeClient> client = makeDaytimeClient();
    const std::unique_ptr<HostResolver> resolver = makeSystemHostResolver();
    const std::unique_ptr<ClockSetter> clock = makeSystemClockSetter();
    // The same pipeline as the window's, on an event loop of its own.
    const std::unique_ptr<Scheduler> probeTimer = makeEventLoopScheduler();
    const std::unique_ptr<Scheduler> spacing = makeEventLoopScheduler();
    SyncServices services{*client, *resolver, *clock, agent};
    services.runUntil = runEventLoopUntil;
    services.probeTimer = probeTimer.get();
    services.spacing = spacing.get();
    return RunSync(parsed.arguments, services, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    vintrel::leaveProcess(Run(argc, argv));
}
