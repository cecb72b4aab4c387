// The main window's start-up, closing and daily schedule, over a plain view.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include "tests/app/tz_main_fixture.h"
#include "tests/support/desktop_entry_reader.h"
#include "timesync/daytime_reply.h"
#include "timesync/regional_format.h"
#include "timesync/time_correction.h"

namespace vintrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// ---- Start-up ---------------------------------------------------------------

struct StartCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> settings;
    std::string lastPing;
    std::string server;
    bool autoRun;
    bool visible;
    bool startMinimizedChecked;
    bool autoPing;
};

// Names the case in test listings.
void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class StartUpTest : public TzMainTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartUpTest, FollowsTheStoredSettings) {
    const StartCase& c = GetParam();
    for (const auto& [name, value] : c.settings) WriteSetting(kSettingsKey, name, value);

    TzMain& form = Started();

    EXPECT_EQ(view_.caption, "Vintrel v2.6");
    EXPECT_EQ(view_.lastPingText, c.lastPing);
    EXPECT_EQ(form.selectedServer(), c.server);
    EXPECT_EQ(autoRun_.AutoRun(), c.autoRun);
    EXPECT_EQ(std::filesystem::exists(MachineEntry()), c.autoRun);
    EXPECT_EQ(view_.visibleProperty(), c.visible);
    EXPECT_EQ(view_.shown, c.visible);
    EXPECT_EQ(view_.check(MenuCheck::StartMinimized1), c.startMinimizedChecked);
    EXPECT_EQ(view_.check(MenuCheck::mnuAutomatic), c.autoPing);
    EXPECT_EQ(view_.check(MenuCheck::PingDaily1), c.autoPing);
    EXPECT_EQ(view_.timer2Enabled(), c.autoPing);
    EXPECT_THAT(view_.messages, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartUpTest,
    ::testing::Values(
        StartCase{"nothing_stored_gives_the_defaults",
                  {},
                  "Never",
                  "129.6.15.27",
                  false,
                  true,
                  false,
                  false},
        StartCase{"empty_values_count_as_absent",
                  {{"LastPing", ""}, {"ipAddress", ""}, {"AutoStart", ""}, {"AutoPing", ""}},
                  "Never",
                  "129.6.15.27",
                  false,
                  true,
                  false,
                  false},
        StartCase{"last_ping_shown_as_stored",
                  {{"LastPing", "17/02/2025 13:00:00"}},
                  "17/02/2025 13:00:00",
                  "129.6.15.27",
                  false,
                  true,
                  false,
                  false},
        StartCase{"stored_server_selected",
                  {{"ipAddress", "132.163.97.3"}},
                  "Never",
                  "132.163.97.3",
                  false,
                  true,
                  false,
                  false},
        StartCase{"auto_start_writes_the_entry_anew",
                  {{"AutoStart", "1"}},
                  "Never",
                  "129.6.15.27",
                  true,
                  true,
                  false,
                  false},
        StartCase{"start_minimized_keeps_the_window_hidden",
                  {{"StartMinimized", "1"}},
                  "Never",
                  "129.6.15.27",
                  false,
                  false,
                  true,
                  false},
        StartCase{"auto_ping_checks_both_items_and_arms_timer2",
                  {{"AutoPing", "True"}},
                  "Never",
                  "129.6.15.27",
                  false,
                  true,
                  false,
                  true},
        StartCase{"any_text_counts_as_set",
                  {{"StartMinimized", "0"}, {"AutoPing", "no"}, {"AutoStart", "x"}},
                  "Never",
                  "129.6.15.27",
                  true,
                  false,
                  true,
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TzMainTest, StartUpEntryStartsThisProgram) {
    WriteSetting(kSettingsKey, "AutoStart", "1");
    Started();
    const std::optional<std::string> text = ReadWholeFile(MachineEntry());
    ASSERT_TRUE(text.has_value());
    const DesktopEntry entry = ReadDesktopEntry(*text);
    EXPECT_EQ(entry.error, "");
    EXPECT_EQ(SplitExec(entry.values.at("Exec")), std::vector<std::string>{program_});
}

TEST_F(TzMainTest, StartUpFillsTheRowsButLeavesLocalTimeToTheFirstTick) {
    Started();
    EXPECT_EQ(view_.systemUtcText, DateTimeText(CurrentUtc()));
    EXPECT_EQ(view_.localText, "lblSystemUtc");
    EXPECT_EQ(view_.zoneTexts.size(), 8u);
    Form().Timer1Timer();
    EXPECT_EQ(view_.localText, DateTimeText(LocalNow()));
}

TEST_F(TzMainTest, MenuChecksAtCreationBeforeStartUp) {
    Form();
    EXPECT_FALSE(view_.check(MenuCheck::mnuAutostart));
    EXPECT_FALSE(view_.check(MenuCheck::StartMinimized1));
    EXPECT_TRUE(view_.check(MenuCheck::mnuAutomatic));
    EXPECT_TRUE(view_.check(MenuCheck::PingDaily1));
    for (std::size_t i = 0; i < kTimeServers.size(); ++i) {
        EXPECT_EQ(view_.serverChecks[i], i == 1) << kTimeServers[i];
    }
}

// An unreadable settings file ends the start-up before the window is shown
// (the window then shows itself after the error box).
TEST_F(TzMainTest, SettingsErrorEndsStartUpWithTheWindowHidden) {
    WriteSettingsFile("this is no registry file\n");
    EXPECT_THROW(
        {
            try {
                Form().FormCreate();
            } catch (const ERegistryException& e) {
                EXPECT_EQ(std::string(e.what()),
                          "Failed to get data for 'LastPing': " +
                              std::string(std::getenv("XDG_CONFIG_HOME")) +
                              "/vintrel/user.reg, line 1: not a registry file header");
                throw;
            }
        },
        ERegistryException);
    EXPECT_EQ(view_.caption, "Vintrel v2.6");
    EXPECT_FALSE(view_.visibleProperty());
    EXPECT_FALSE(view_.shown);
    EXPECT_EQ(view_.lastPingText, "lblLastPing");
    // The broken file is left for the user to mend.
    EXPECT_EQ(ReadWholeFile(std::string(std::getenv("XDG_CONFIG_HOME")) + "/vintrel/user.reg"),
              "this is no registry file\n");
}

TEST_F(TzMainTest, StartUpTellsWhenTheEntryCannotBeWritten) {
    // A file where the machine-wide autostart folder should be.
    std::filesystem::create_directories(sandbox_.root() + "/etc xdg");
    WriteFileBytes(sandbox_.machineFolder(), "in the way");
    WriteSetting(kSettingsKey, "AutoStart", "1");

    Started();

    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_THAT(view_.messages[0],
                ::testing::StartsWith("Vintrel could not be set to start at logon: "));
    EXPECT_TRUE(autoRun_.AutoRun());
    EXPECT_TRUE(view_.visibleProperty());
}

// ---- Closing ----------------------------------------------------------------

TEST_F(TzMainTest, ClosingOnlyHidesTheWindow) {
    TzMain& form = Started();
    EXPECT_FALSE(form.FormClose());
    EXPECT_FALSE(view_.shown);
    EXPECT_TRUE(view_.visibleProperty());
    EXPECT_FALSE(view_.closed);
    EXPECT_FALSE(form.exiting());
}

TEST_F(TzMainTest, ExitClosesTheWindowForGood) {
    TzMain& form = Started();
    form.mnuExitClick();
    EXPECT_TRUE(form.exiting());
    EXPECT_TRUE(view_.closed);
    EXPECT_TRUE(form.FormClose());
}

// ---- Without a notification area ---------------------------------------------

enum class Then { Nothing, CloseBox, TrayGoes, TrayComes };

struct ReachCase {
    const char* name;
    bool trayAtStart;
    bool startMinimized;
    Then then;
    bool shown;
    bool minimized;
};

void PrintTo(const ReachCase& c, std::ostream* os) {
    *os << c.name;
}

class ReachableTest : public TzMainTest, public ::testing::WithParamInterface<ReachCase> {};

// Pins the window hidden with nothing left to bring it back.
TEST_P(ReachableTest, WindowIsNeverHiddenToNowhere) {
    const ReachCase& c = GetParam();
    view_.trayPresent = c.trayAtStart;
    if (c.startMinimized) WriteSetting(kSettingsKey, "StartMinimized", "1");
    TzMain& form = Started();
    switch (c.then) {
        case Then::Nothing:
            break;
        case Then::CloseBox:
            EXPECT_FALSE(form.FormClose());
            break;
        case Then::TrayGoes:
        case Then::TrayComes:
            view_.trayPresent = c.then == Then::TrayComes;
            form.NotificationAreaChanged(view_.trayPresent);
            break;
    }
    EXPECT_EQ(view_.shown, c.shown);
    EXPECT_EQ(view_.minimized, c.minimized);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReachableTest,
    ::testing::Values(
        ReachCase{"StartMinimizedWithTrayHides", true, true, Then::Nothing, false, false},
        ReachCase{"StartMinimizedWithoutTrayMinimises", false, true, Then::Nothing, true, true},
        ReachCase{"CloseBoxWithoutTrayMinimises", false, false, Then::CloseBox, true, true},
        ReachCase{"TrayGoingWhileHiddenShowsWindow", true, true, Then::TrayGoes, true, false},
        ReachCase{"TrayGoingWhileShownChangesNothing", true, false, Then::TrayGoes, true, false},
        ReachCase{"TrayComingLeavesMinimisedWindow", false, true, Then::TrayComes, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Daily schedule -----------------------------------------------------------

TEST_F(TzMainTest, FirstTickArmsTimer2WhateverLastPingSays) {
    WriteSetting(kSettingsKey, "LastPing", DateTimeText(LocalNow()));
    TzMain& form = Started();
    EXPECT_FALSE(view_.timer2);
    form.Timer1Timer();
    EXPECT_TRUE(view_.timer2);
}

TEST_F(TzMainTest, SuccessWaitsADayOfLocalTimeBeforeTheNextAttempt) {
    WriteSetting(kSettingsKey, "AutoPing", "True");
    TzMain& form = Started();
    ServerAnswers(30.0 / 86400);
    const SerialTime localBefore = LocalNow();

    form.Timer2Timer();

    ASSERT_EQ(setter_.settings.size(), 1u);
    // Pins the fault of the daily correction bringing up a password prompt.
    EXPECT_EQ(setter_.interactive, std::vector<bool>{false});
    EXPECT_THAT(view_.messages, IsEmpty());
    EXPECT_FALSE(view_.timer2);
    EXPECT_EQ(form.lastSyncTime(), localBefore);
    EXPECT_EQ(view_.lastPingText, DateTimeText(localBefore));
    EXPECT_EQ(Stored("LastPing"), DateTimeText(localBefore));
    EXPECT_EQ(view_.screenCursor, CursorShape::Default);

    // The clock moved 30 s forward when it was set; a day after the local
    // time read before that, attempts start again.
    clock_.setUtc(localBefore - kLocalOffset + 1.0 - 1.0 / 86400);
    form.Timer1Timer();
    EXPECT_FALSE(view_.timer2);
    clock_.advance(2.0 / 86400);
    form.Timer1Timer();
    EXPECT_TRUE(view_.timer2);
}

TEST_F(TzMainTest, SilentFailureShowsNothingAndKeepsTrying) {
    WriteSetting(kSettingsKey, "AutoPing", "True");
    TzMain& form = Started();
    ServerSilent();

    form.Timer2Timer();
    form.Timer2Timer();

    EXPECT_EQ(daytime_.requests.size(), 2u);
    EXPECT_THAT(view_.messages, IsEmpty());
    EXPECT_TRUE(view_.timer2);
    EXPECT_EQ(view_.timer2Countdowns, 1);
    EXPECT_EQ(view_.lastPingText, "Never");
    EXPECT_EQ(Stored("LastPing"), std::nullopt);
    EXPECT_EQ(view_.screenCursor, CursorShape::Default);
}

// The second opinion comes from the Time Servers menu: its first server at
// another site than the selected one.
TEST_F(TzMainTest, DailyCorrectionChecksALargeStepWithAnotherSiteOfTheMenu) {
    WriteSetting(kSettingsKey, "AutoPing", "True");
    TzMain& form = Started();
    ServerAnswers(10.0);
    daytime_.resultFor["http://132.163.97.1:13"] = {NistLine(clock_.utc()), {}};

    form.Timer2Timer();

    ASSERT_EQ(daytime_.requests.size(), 2u);
    EXPECT_EQ(daytime_.requests[0].url, "http://129.6.15.27:13");
    EXPECT_EQ(daytime_.requests[1].url, "http://132.163.97.1:13");
    EXPECT_THAT(setter_.settings, IsEmpty());
    EXPECT_THAT(view_.messages, IsEmpty());
    EXPECT_TRUE(view_.timer2);
    EXPECT_EQ(Stored("LastPing"), std::nullopt);
}

TEST_F(TzMainTest, SilentRefusalOfTheClockShowsNothingAndKeepsTrying) {
    WriteSetting(kSettingsKey, "AutoPing", "True");
    TzMain& form = Started();
    ServerAnswers(0);
    setter_.refusal = "Interactive authentication required";

    form.Timer2Timer();

    EXPECT_EQ(setter_.settings.size(), 1u);
    EXPECT_THAT(view_.messages, IsEmpty());
    EXPECT_TRUE(view_.timer2);
    EXPECT_EQ(form.lastSyncTime(), 0);
    EXPECT_EQ(Stored("LastPing"), std::nullopt);
}

TEST_F(TzMainTest, OffStateTicksDoNothingAlthoughTimer1RearmsTimer2) {
    TzMain& form = Started();  // "AutoPing" empty: off
    ServerAnswers(0);
    form.Timer1Timer();
    EXPECT_TRUE(view_.timer2);
    form.Timer2Timer();
    EXPECT_THAT(daytime_.requests, IsEmpty());
    EXPECT_THAT(resolver_.lookups, IsEmpty());
    EXPECT_THAT(setter_.settings, IsEmpty());
    EXPECT_EQ(view_.screenCursor, CursorShape::Default);
    EXPECT_TRUE(view_.timer2);
}

TEST_F(TzMainTest, TurningAutomaticOnKeepsARunningCountdown) {
    TzMain& form = Started();
    form.Timer1Timer();
    ASSERT_TRUE(view_.timer2);
    ASSERT_EQ(view_.timer2Countdowns, 1);
    form.mnuAutomaticClick();
    EXPECT_TRUE(view_.timer2);
    EXPECT_EQ(view_.timer2Countdowns, 1);
}

TEST_F(TzMainTest, TurningAutomaticOnStartsACountdownHoweverRecentTheLastSuccess) {
    WriteSetting(kSettingsKey, "AutoPing", "True");
    TzMain& form = Started();
    ServerAnswers(0);
    form.Timer2Timer();
    ASSERT_FALSE(view_.timer2);
    form.mnuAutomaticClick();  // off
    form.mnuAutomaticClick();  // on again
    EXPECT_TRUE(view_.timer2);
    EXPECT_EQ(view_.timer2Countdowns, 2);
}

TEST_F(TzMainTest, ManualPingThatSucceedsStopsTheAttemptsForADay) {
    WriteSetting(kSettingsKey, "AutoPing", "True");
    TzMain& form = Started();
    ServerAnswers(-3.0 / 1440);  // the clock is three minutes fast

    form.mnuPingClick();

    EXPECT_THAT(view_.messages,
                ElementsAre("System Clock has been adjusted by ...\r\n\r\n0 Days\r\n0 Hours\r\n"
                            "3 Minutes\r\n0 Seconds"));
    EXPECT_FALSE(view_.timer2);
    EXPECT_EQ(view_.cursor, CursorShape::Default);
    form.Timer1Timer();
    EXPECT_FALSE(view_.timer2);
}

TEST_F(TzMainTest, ManualPingTellsWhatWentWrong) {
    TzMain& form = Started();
    ServerSilent();
    form.mnuPingClick();
    EXPECT_THAT(view_.messages, ElementsAre(kUnreachableServerText));
    resolver_.addresses.clear();
    form.mnuPingClick();
    EXPECT_THAT(view_.messages, ElementsAre(kUnreachableServerText, kNoConnectionText));
}

// ---- Hidden in the notification area -------------------------------------------

// Hidden, Timer1 sleeps until the day is up instead of ticking each second: a
// sleep a millisecond short misses the moment, a long one delays the attempts.
struct SleepCase {
    const char* name;
    long long msBeforeDue;  // where the local clock stands when the window hides
    std::chrono::milliseconds sleep;
};

void PrintTo(const SleepCase& c, std::ostream* os) {
    *os << c.name;
}

class HiddenScheduleTest : public TzMainTest, public ::testing::WithParamInterface<SleepCase> {};

TEST_P(HiddenScheduleTest, SleepsUntilTheDayIsUpAndRefreshesNothing) {
    const SleepCase& c = GetParam();
    WriteSetting(kSettingsKey, "AutoPing", "True");
    TzMain& form = Started();
    ServerAnswers(0);
    form.Timer2Timer();
    ASSERT_FALSE(view_.timer2);
    clock_.setUtc(form.lastSyncTime() + 1.0 - kLocalOffset - c.msBeforeDue / 86400000.0);

    form.FormHide();
    EXPECT_EQ(view_.timer1Interval, c.sleep);
    clock_.advance(c.sleep.count() / 86400000.0);
    form.Timer1Timer();

    EXPECT_EQ(view_.timer2, c.msBeforeDue <= c.sleep.count());
    EXPECT_EQ(view_.localText, "lblSystemUtc");
}

INSTANTIATE_TEST_SUITE_P(
    Hidden, HiddenScheduleTest,
    ::testing::Values(SleepCase{"three_minutes_to_go", 180000, std::chrono::minutes(3)},
                      SleepCase{"one_millisecond_to_go", 1, std::chrono::milliseconds(1)},
                      SleepCase{"a_day_to_go_looks_again_later", 86400000, TzMain::kLongestSleep}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TzMainTest, ShowingTheWindowMakesItsRowsCurrentAtOnce) {
    TzMain& form = Started();
    form.FormHide();
    EXPECT_TRUE(view_.timer2);  // the day since the start of the run is up at once
    clock_.advance(1.0 / 24);
    form.FormShow();
    EXPECT_EQ(view_.localText, DateTimeText(LocalNow()));
    EXPECT_EQ(view_.systemUtcText, DateTimeText(CurrentUtc()));
    EXPECT_EQ(view_.timer1Interval, TzMain::kTimer1Interval);
}

TEST_F(TzMainTest, QueriesGoToTheSelectedServer) {
    WriteSetting(kSettingsKey, "ipAddress", "10.0.0.13");
    TzMain& form = Started();
    ServerAnswers(0);
    form.mnuPingClick();
    ASSERT_EQ(daytime_.requests.size(), 1u);
    EXPECT_EQ(daytime_.requests[0].url, "http://10.0.0.13:13");
    EXPECT_EQ(daytime_.requests[0].agent, "vintrel");
}

}  // namespace
}  // namespace vintrel::testing
