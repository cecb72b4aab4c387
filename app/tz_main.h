#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_view.h"
#include "app/time_servers.h"
#include "platform/scheduler.h"
#include "timesync/correction_settings.h"
#include "timesync/correction_view.h"
#include "timesync/time_correction.h"

namespace vintrel {

class ClockSetter;
class DaytimeClient;
class HostResolver;
class InternetSettingsView;
class ShellLauncher;
class TkvAutoRun;

/// What the main window's handlers reach outside the window.
struct TzMainServices {
    DaytimeClient& daytime;
    HostResolver& resolver;
    ClockSetter& clock;
    ShellLauncher& shell;
    /// The window's start-at-logon component and the Internet settings dialog,
    /// which the window creates itself.
    TkvAutoRun* autoRun = nullptr;
    InternetSettingsView* internetSettings = nullptr;
    /// The executable's file name, announced to the time server.
    std::string agent;
    /// Where the read-me is looked for, in order: beside the executable, then
    /// the installed documentation folder.
    std::vector<std::string> readmeCandidates;
    /// The maker's web address.
    std::string makerUrl;
    /// Where the measured ("Precise") correction waits between its queries,
    /// and what bounds the connectivity probe; the event loop's own when unset.
    Scheduler* scheduler = nullptr;
    Scheduler* probeTimer = nullptr;
    /// The settings the correction reads and writes; the settings store's
    /// when unset.
    CorrectionSettings* correctionSettings = nullptr;
};

/// Where the read-me is looked for, in order: beside the executable (its
/// folder up to and with the last separator + "readme.rtf"), then in the
/// installed documentation folder.
std::vector<std::string> ReadmeCandidates(const std::string& executablePath,
                                          const std::string& installedDocDir);

/// The behaviour of the main window `TfrmTzMain`: its start-up, its timers and
/// the handlers of its menus and buttons, over a view of the window.
class TzMain : public CorrectionView {
public:
    static constexpr const char* kCaption = "Vintrel v2.6";
    static constexpr std::chrono::milliseconds kTimer1Interval{1000};
    /// The longest sleep of Timer1 while the window is hidden: the event loop's
    /// timers count neither a suspended machine nor a clock that was moved,
    /// so the day is looked at again at least this often.
    static constexpr std::chrono::minutes kLongestSleep{5};

    TzMain(MainFormView& view, TzMainServices services, CorrectionOptions options = {});

    /// The start-up sequence; an error ends it at that point and reaches the caller.
    void FormCreate();
    /// True when the window may close; otherwise it is only hidden.
    bool FormClose();
    void mnuExitClick();

    /// A notification area appeared or went away. The window must not stay
    /// hidden without one.
    void NotificationAreaChanged(bool present);

    /// The window went off the screen (hidden or minimised) or came back.
    void FormHide();
    void FormShow();

    void Timer1Timer();
    void Timer2Timer();
    void mnuAutomaticClick();
    void mnuPingClick();

    void File1Click();
    void mnuAutostartClick();
    void StartMinimized1Click();
    void ServerItemClick(std::size_t index);
    void mnuServersClick();
    void OpenVintrel1Click();
    void mnuProxyClick();
    void mnuControlPanelClick();
    void mnuReadmeClick();
    void mnuQuorrelClick();
    void SpeedButton2Click();
    void mnuAboutClick();

    void setInternetSettings(InternetSettingsView* dialog) { services_.internetSettings = dialog; }

    bool exiting() const { return exiting_; }
    bool checked(MenuCheck item) const;
    bool serverChecked(std::size_t index) const { return serverChecks_.at(index); }
    TimeCorrection& correction() { return correction_; }

    // CorrectionView
    std::string selectedServer() const override { return selectedServer_; }
    SerialTime lastSyncTime() const override { return lastSync_; }
    void setLastSyncTime(SerialTime localTime) override;
    void setLastPingLabel(const std::string& text) override;
    void setTimer2Enabled(bool enabled) override;
    void setCursor(CursorShape shape) override;
    void showMessage(const std::string& text) override;

private:
    void setCheck(MenuCheck item, bool checked);
    void setServerCheck(std::size_t index, bool checked);
    void WatchForTheDay();

    MainFormView& view_;
    TzMainServices services_;
    // What the correction uses outlives it: it cancels its pending calls
    // on them when destroyed.
    std::unique_ptr<Scheduler> ownScheduler_;
    std::unique_ptr<Scheduler> ownProbeTimer_;
    std::unique_ptr<CorrectionSettings> ownSettings_;
    TimeCorrection correction_;
    std::string selectedServer_;
    bool exiting_ = false;
    SerialTime lastSync_ = 0;
    // Off the screen, Timer1 refreshes nothing and only wakes for the daily schedule.
    bool asleep_ = false;
    std::array<bool, 4> checks_{false, false, true, true};
    std::array<bool, kTimeServers.size()> serverChecks_{};
};

}  // namespace vintrel
