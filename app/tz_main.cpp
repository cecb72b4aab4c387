#include "app/tz_main.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <utility>

#include "platform/shell_launcher.h"
#include "settings/internet_settings.h"
#include "settings/settings_store.h"
#include "settings/stored_correction_settings.h"
#include "shell/kv_auto_run.h"
#include "timesync/daytime_reply.h"
#include "timesync/regional_format.h"
#include "timezone/time_zone_report.h"

namespace vintrel {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

std::string ReadFlag(const char* name) {
    return ReadSetting(kSettingsKey, name, "");
}

}  // namespace

std::vector<std::string> ReadmeCandidates(const std::string& executablePath,
                                          const std::string& installedDocDir) {
    const std::size_t slash = executablePath.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : executablePath.substr(0, slash + 1);
    return {folder + "readme.rtf", installedDocDir + "/readme.rtf"};
}

TzMain::TzMain(MainFormView& view, TzMainServices services, CorrectionOptions options)
    : view_(view),
      services_(std::move(services)),
      ownScheduler_(services_.scheduler ? nullptr : makeEventLoopScheduler()),
      ownProbeTimer_(services_.probeTimer ? nullptr : makeEventLoopScheduler()),
      ownSettings_(services_.correctionSettings ? nullptr
                                                : std::make_unique<StoredCorrectionSettings>()),
      correction_(*this,
                  {services_.daytime, services_.resolver, services_.clock,
                   services_.correctionSettings ? *services_.correctionSettings : *ownSettings_,
                   services_.probeTimer ? *services_.probeTimer : *ownProbeTimer_,
                   services_.scheduler ? *services_.scheduler : *ownScheduler_},
                  [&] {
                      if (options.agent.empty()) options.agent = services_.agent;
                      // A large silent step is checked against another site of the menu.
                      if (options.servers.empty()) {
                          options.servers.assign(kTimeServers.begin(), kTimeServers.end());
                      }
                      return options;
                  }()),
      selectedServer_(kDefaultTimeServer) {
    // A start-at-logon entry that cannot be written is told to the user, also
    // when the start-up sequence asks for it before the window is shown.
    if (services_.autoRun != nullptr) {
        services_.autoRun->SetOnError(
            [this](TkvAutoRun&, const std::string& message) { view_.showMessage(message); });
    }
    serverChecks_[kInitiallyCheckedServer] = true;
    for (std::size_t i = 0; i < serverChecks_.size(); ++i)
        view_.showServerCheck(i, serverChecks_[i]);
    for (MenuCheck item : {MenuCheck::mnuAutostart, MenuCheck::StartMinimized1,
                           MenuCheck::mnuAutomatic, MenuCheck::PingDaily1}) {
        view_.showCheck(item, checked(item));
    }
}

bool TzMain::checked(MenuCheck item) const {
    return checks_.at(static_cast<std::size_t>(item));
}

void TzMain::setCheck(MenuCheck item, bool checked) {
    checks_.at(static_cast<std::size_t>(item)) = checked;
    view_.showCheck(item, checked);
}

void TzMain::setServerCheck(std::size_t index, bool checked) {
    serverChecks_.at(index) = checked;
    view_.showServerCheck(index, checked);
}

void TzMain::FormCreate() {
    view_.setCaption(kCaption);
    ShowTimeZoneReport(view_);
    view_.setSystemUtcText(DateTimeText(CurrentUtc()));
    view_.setLastPingText(ReadSetting(kSettingsKey, "LastPing", "Never"));
    selectedServer_ = ReadSetting(kSettingsKey, "ipAddress", kDefaultTimeServer);
    services_.autoRun->SetAutoRun(!ReadFlag("AutoStart").empty());
    const bool startMinimized = !ReadFlag("StartMinimized").empty();
    if (!startMinimized) {
        view_.setVisibleProperty(true);
    } else if (!view_.notificationAreaPresent()) {
        view_.minimizeWindow();  // hidden, nothing could bring it back
    }
    setCheck(MenuCheck::StartMinimized1, startMinimized);
    const bool autoPing = !ReadFlag("AutoPing").empty();
    setCheck(MenuCheck::mnuAutomatic, autoPing);
    setCheck(MenuCheck::PingDaily1, autoPing);
    view_.setTimer2Enabled(autoPing);
}

bool TzMain::FormClose() {
    if (exiting_) return true;
    // Closing only hides the window; the program goes on in the notification
    // area, or, when there is none, on the taskbar.
    if (view_.notificationAreaPresent()) {
        view_.hideWindow();
    } else {
        view_.minimizeWindow();
    }
    return false;
}

void TzMain::NotificationAreaChanged(bool present) {
    if (present || view_.windowShown()) return;
    view_.setTimer1Enabled(true);
    view_.showWindowNormal();
}

void TzMain::mnuExitClick() {
    exiting_ = true;
    view_.closeApplication();
}

void TzMain::FormHide() {
    if (asleep_) return;
    asleep_ = true;
    WatchForTheDay();
}

void TzMain::FormShow() {
    if (!asleep_) return;
    asleep_ = false;
    view_.setTimer1Interval(kTimer1Interval);
    Timer1Timer();  // the rows are current the moment the window is seen
}

void TzMain::Timer1Timer() {
    if (asleep_) {
        WatchForTheDay();
        return;
    }
    view_.setSystemUtcText(DateTimeText(CurrentUtc()));
    const SerialTime localNow = LocalNow();
    view_.setLocalText(DateTimeText(localNow));
    if (localNow - lastSync_ >= 1.0) view_.setTimer2Enabled(true);
}

// Timer1's third step without the one-second tick: it sleeps until the day is
// up, and whatever stops Timer2 while the window is hidden comes back here.
void TzMain::WatchForTheDay() {
    using std::chrono::milliseconds;
    // In the clock's own unit, so that the tick aimed at the moment finds it.
    const milliseconds remaining(
        std::llround(std::clamp(lastSync_ + 1.0 - LocalNow(), -1.0, 1.0) * kMillisecondsPerDay));
    if (remaining <= milliseconds(0)) {
        view_.setTimer2Enabled(true);
        view_.setTimer1Interval(kLongestSleep);
        return;
    }
    view_.setTimer1Interval(std::min<milliseconds>(remaining, kLongestSleep));
}

void TzMain::Timer2Timer() {
    if (!checked(MenuCheck::mnuAutomatic)) return;
    // One correction at a time: a tick during one is skipped, and the next
    // tick a minute on tries again if it is still wanted.
    if (correction_.running()) return;
    // The screen shows the hourglass while the daily correction runs.
    view_.setScreenCursor(CursorShape::Hourglass);
    try {
        if (!correction_.runDaily([this] { view_.setScreenCursor(CursorShape::Default); })) {
            view_.setScreenCursor(CursorShape::Default);
        }
    } catch (...) {
        view_.setScreenCursor(CursorShape::Default);
        throw;
    }
}

void TzMain::mnuAutomaticClick() {
    const bool on = !checked(MenuCheck::mnuAutomatic);
    setCheck(MenuCheck::mnuAutomatic, on);
    setCheck(MenuCheck::PingDaily1, on);
    view_.setTimer2Enabled(on);
    if (asleep_ && !on) WatchForTheDay();
    WriteSetting(kSettingsKey, "AutoPing", on ? "True" : "");
}

void TzMain::mnuPingClick() {
    correction_.mnuPingClick();
}

void TzMain::File1Click() {
    setCheck(MenuCheck::mnuAutostart, services_.autoRun->AutoRun());
}

void TzMain::mnuAutostartClick() {
    // The item checks itself when clicked, then the handler follows its check.
    setCheck(MenuCheck::mnuAutostart, !checked(MenuCheck::mnuAutostart));
    services_.autoRun->SetAutoRun(checked(MenuCheck::mnuAutostart));
    WriteSetting(kSettingsKey, "AutoStart", services_.autoRun->AutoRun() ? "1" : "");
}

void TzMain::StartMinimized1Click() {
    setCheck(MenuCheck::StartMinimized1, !checked(MenuCheck::StartMinimized1));
    WriteSetting(kSettingsKey, "StartMinimized", checked(MenuCheck::StartMinimized1) ? "1" : "");
}

void TzMain::ServerItemClick(std::size_t index) {
    const bool check = !serverChecks_.at(index);
    if (check) {
        for (std::size_t i = 0; i < serverChecks_.size(); ++i) setServerCheck(i, false);
    }
    setServerCheck(index, check);
    selectedServer_ = kTimeServers.at(index);
    WriteSetting(kSettingsKey, "ipAddress", selectedServer_);
}

void TzMain::mnuServersClick() {
    for (std::size_t i = 0; i < kTimeServers.size(); ++i) {
        if (kTimeServers[i] != selectedServer_) continue;
        for (std::size_t j = 0; j < serverChecks_.size(); ++j) setServerCheck(j, false);
        setServerCheck(i, true);
    }
}

void TzMain::OpenVintrel1Click() {
    view_.setTimer1Enabled(true);
    view_.showWindowNormal();
}

void TzMain::mnuProxyClick() {
    if (services_.internetSettings != nullptr) EditInternetSettings(*services_.internetSettings);
}

void TzMain::mnuControlPanelClick() {
    services_.shell.openDateTimeSettings();
}

void TzMain::mnuReadmeClick() {
    const auto& candidates = services_.readmeCandidates;
    if (candidates.empty()) return;
    std::error_code ignored;
    for (const std::string& path : candidates) {
        if (std::filesystem::exists(path, ignored)) {
            services_.shell.openDocument(path);
            return;
        }
    }
    // Like the shell, a missing read-me is handed over as it is and reports nothing here.
    services_.shell.openDocument(candidates.front());
}

void TzMain::mnuQuorrelClick() {
    services_.shell.openUrl(services_.makerUrl);
}

void TzMain::SpeedButton2Click() {
    view_.processPendingEvents();
    services_.shell.openUrl(services_.makerUrl);
}

void TzMain::mnuAboutClick() {
    view_.showAboutBox();
}

void TzMain::setLastPingLabel(const std::string& text) {
    view_.setLastPingText(text);
}

void TzMain::setLastSyncTime(SerialTime localTime) {
    lastSync_ = localTime;
    if (asleep_) WatchForTheDay();
}

void TzMain::setTimer2Enabled(bool enabled) {
    view_.setTimer2Enabled(enabled);
    if (asleep_ && !enabled) WatchForTheDay();
}

void TzMain::setCursor(CursorShape shape) {
    view_.setCursor(shape);
}

void TzMain::showMessage(const std::string& text) {
    view_.showMessage(text);
}

}  // namespace vintrel
