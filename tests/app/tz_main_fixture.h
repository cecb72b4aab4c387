#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/tz_main.h"
#include "platform/registry.h"
#include "settings/settings_store.h"
#include "shell/kv_auto_run.h"
#include "tests/app/fake_main_form_view.h"
#include "tests/support/clock_setter_spy.h"
#include "tests/support/daytime_test_server.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_daytime_client.h"
#include "tests/support/fake_host_resolver.h"
#include "tests/support/fake_shell_launcher.h"
#include "tests/support/fake_time_zone_source.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xdg_sandbox.h"
#include "timesync/serial_time.h"

namespace vintrel::testing {

inline const std::string kMakerUrl = "https://maker.example/";

/// The value stored under the settings key, read from the settings file
/// itself; nothing when the value was never written.
inline std::optional<std::string> Stored(const std::string& name) {
    RegistryKeyResult opened =
        registry().openKey(RegistryRoot::CurrentUser, "\\SOFTWARE\\Kavrin\\Proxy\\");
    if (!opened.result.ok()) return std::nullopt;
    RegistryValue value;
    if (!opened.key->queryValue(name, value).ok()) return std::nullopt;
    return value.data.substr(0, value.data.find('\0'));
}

/// Writes the settings file with `text` after the file's header line.
inline void WriteSettingsFile(const std::string& text) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path folder = std::filesystem::path(config) / "vintrel";
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder / "user.reg", text);
}

/// The main window's behaviour over a plain view, with the settings file and
/// the autostart folders in a sandbox, a fake clock, a fake time server and a
/// clock setter that moves the fake clock as the real one would move.
class TzMainTest : public ::testing::Test {
protected:
    // A Monday noon UTC; local time two hours ahead.
    static constexpr double kLocalOffset = 2.0 / 24;

    TzMainTest() : clock_(DateFromParts(2025, 2, 17) + TimeFromParts(12, 0, 0, 0), kLocalOffset) {
        resolver_.addresses["www.google.com"] = "127.0.0.2";
        setter_.onSet = [this](const SystemTime& utc) { clock_.setUtc(FromSystemTime(utc)); };
        // A program of root's in folders of root's, as a machine-wide entry needs.
        std::filesystem::create_directories(std::filesystem::path(program_).parent_path());
        std::ofstream(program_) << "#!/bin/sh\n";
        std::filesystem::permissions(program_, std::filesystem::perms::owner_all);
        autoRun_.SetFileName(program_);
    }

    TzMain& Form() {
        if (!form_) {
            form_ = std::make_unique<TzMain>(
                view_, TzMainServices{daytime_, resolver_, setter_, shell_, &autoRun_, nullptr,
                                      "vintrel", readme_, kMakerUrl});
        }
        return *form_;
    }

    /// The form after its start-up sequence.
    TzMain& Started() {
        Form().FormCreate();
        return *form_;
    }

    /// The time server answers with the fake clock's time plus `aheadDays`.
    void ServerAnswers(double aheadDays) {
        daytime_.result = {NistLine(clock_.utc() + aheadDays), {}};
    }
    void ServerSilent() { daytime_.result = {{}, "Connection refused"}; }

    std::string MachineEntry() const { return sandbox_.machineFolder() + "/vintrel.desktop"; }

    XdgSandbox sandbox_;
    const std::string program_ = sandbox_.root() + "/opt/vintrel/bin/vintrel";
    FakeClock clock_;
    FakeTimeZoneSource zone_;
    FakeDaytimeClient daytime_;
    FakeHostResolver resolver_;
    ClockSetterSpy setter_;
    FakeShellLauncher shell_;
    TkvAutoRun autoRun_;
    std::vector<std::string> readme_;
    FakeMainFormView view_;
    std::unique_ptr<TzMain> form_;
};

}  // namespace vintrel::testing
