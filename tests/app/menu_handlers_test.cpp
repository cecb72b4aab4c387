// The handlers of the menu bar, the notification menu and the logo button,
// over a plain view: their effect on the settings file, the window and the
// start-at-logon entry, and what they hand to the desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include <functional>

#include "settings/internet_settings.h"
#include "tests/app/tz_main_fixture.h"
#include "tests/support/temp_dir.h"

namespace vintrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct ToggleCase {
    const char* name;
    std::function<void(TzMain&)> click;
    MenuCheck item;
    const char* setting;
    const char* onValue;
};

// Names the case in test listings.
void PrintTo(const ToggleCase& c, std::ostream* os) {
    *os << c.name;
}

class ToggleTest : public TzMainTest, public ::testing::WithParamInterface<ToggleCase> {};

// Each toggle stores its value and shows its check; a second click undoes both.
TEST_P(ToggleTest, StoresAndShowsItsState) {
    const ToggleCase& c = GetParam();
    TzMain& form = Started();
    const bool before = view_.check(c.item);

    c.click(form);
    EXPECT_EQ(view_.check(c.item), !before);
    EXPECT_EQ(Stored(c.setting), before ? "" : c.onValue);

    c.click(form);
    EXPECT_EQ(view_.check(c.item), before);
    EXPECT_EQ(Stored(c.setting), before ? c.onValue : "");
    EXPECT_THAT(view_.messages, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Items, ToggleTest,
    ::testing::Values(ToggleCase{"auto_start", [](TzMain& f) { f.mnuAutostartClick(); },
                                 MenuCheck::mnuAutostart, "AutoStart", "1"},
                      ToggleCase{"start_minimized", [](TzMain& f) { f.StartMinimized1Click(); },
                                 MenuCheck::StartMinimized1, "StartMinimized", "1"},
                      ToggleCase{"auto_synchronize_file_menu",
                                 [](TzMain& f) { f.mnuAutomaticClick(); }, MenuCheck::mnuAutomatic,
                                 "AutoPing", "True"},
                      ToggleCase{"auto_synchronized_tray_menu",
                                 [](TzMain& f) { f.mnuAutomaticClick(); }, MenuCheck::PingDaily1,
                                 "AutoPing", "True"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TzMainTest, AutomaticToggleMirrorsBothItemsAndTimer2) {
    TzMain& form = Started();
    form.mnuAutomaticClick();
    EXPECT_TRUE(view_.check(MenuCheck::mnuAutomatic));
    EXPECT_TRUE(view_.check(MenuCheck::PingDaily1));
    EXPECT_TRUE(view_.timer2);
    form.mnuAutomaticClick();
    EXPECT_FALSE(view_.check(MenuCheck::mnuAutomatic));
    EXPECT_FALSE(view_.check(MenuCheck::PingDaily1));
    EXPECT_FALSE(view_.timer2);
}

TEST_F(TzMainTest, AutoStartWritesAndDeletesTheEntry) {
    TzMain& form = Started();
    form.mnuAutostartClick();
    EXPECT_TRUE(autoRun_.AutoRun());
    EXPECT_TRUE(std::filesystem::exists(MachineEntry()));
    form.mnuAutostartClick();
    EXPECT_FALSE(autoRun_.AutoRun());
    EXPECT_FALSE(std::filesystem::exists(MachineEntry()));
}

// The machine-wide folder cannot be written: the user is told, and the
// request stands, so the next start tries again.
TEST_F(TzMainTest, AutoStartThatCannotBeWrittenIsToldAndKept) {
    TzMain& form = Started();
    std::filesystem::create_directories(sandbox_.root() + "/etc xdg");
    WriteFileBytes(sandbox_.machineFolder(), "in the way");

    form.mnuAutostartClick();

    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_THAT(view_.messages[0],
                ::testing::StartsWith("Vintrel could not be set to start at logon: "));
    EXPECT_TRUE(autoRun_.AutoRun());
    EXPECT_EQ(Stored("AutoStart"), "1");
    EXPECT_TRUE(view_.check(MenuCheck::mnuAutostart));
    form.File1Click();
    EXPECT_TRUE(view_.check(MenuCheck::mnuAutostart));
}

TEST_F(TzMainTest, AutoStartInAReadOnlyFolderIsToldAndKept) {
    std::filesystem::create_directories(sandbox_.machineFolder());
    std::filesystem::permissions(sandbox_.machineFolder(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_exec);
    WithoutFileRights asUser;
    if (!asUser.works()) GTEST_SKIP() << "root cannot give up its file rights here";
    TzMain& form = Started();

    form.mnuAutostartClick();

    EXPECT_EQ(view_.messages.size(), 1u);
    EXPECT_TRUE(autoRun_.AutoRun());
    EXPECT_EQ(Stored("AutoStart"), "1");
    EXPECT_TRUE(view_.check(MenuCheck::mnuAutostart));
}

TEST_F(TzMainTest, FileMenuShowsTheLastRequestNotTheEntry) {
    TzMain& form = Started();
    autoRun_.SetAutoRun(true);
    form.File1Click();
    EXPECT_TRUE(view_.check(MenuCheck::mnuAutostart));
    // The entry goes behind the program's back; the item still shows the request.
    std::filesystem::remove(MachineEntry());
    form.File1Click();
    EXPECT_TRUE(view_.check(MenuCheck::mnuAutostart));
    autoRun_.SetAutoRun(false);
    form.File1Click();
    EXPECT_FALSE(view_.check(MenuCheck::mnuAutostart));
}

TEST_F(TzMainTest, StartMinimizedDoesNotHideTheWindowNow) {
    TzMain& form = Started();
    form.StartMinimized1Click();
    EXPECT_TRUE(view_.visibleProperty());
    EXPECT_TRUE(view_.shown);
    EXPECT_EQ(Stored("StartMinimized"), "1");
}

// ---- Time servers -------------------------------------------------------------

std::vector<std::size_t> CheckedServers(const FakeMainFormView& view) {
    std::vector<std::size_t> checked;
    for (std::size_t i = 0; i < view.serverChecks.size(); ++i)
        if (view.serverChecks[i]) checked.push_back(i);
    return checked;
}

TEST_F(TzMainTest, ServerItemSelectsStoresAndChecksOnlyItself) {
    TzMain& form = Started();
    form.ServerItemClick(6);
    EXPECT_EQ(form.selectedServer(), "132.163.97.2");
    EXPECT_EQ(Stored("ipAddress"), "132.163.97.2");
    EXPECT_THAT(CheckedServers(view_), ElementsAre(6u));
}

TEST_F(TzMainTest, ClickingTheCheckedServerUnchecksItButKeepsItSelected) {
    TzMain& form = Started();
    form.ServerItemClick(6);
    form.ServerItemClick(6);
    EXPECT_THAT(CheckedServers(view_), IsEmpty());
    EXPECT_EQ(form.selectedServer(), "132.163.97.2");
    EXPECT_EQ(Stored("ipAddress"), "132.163.97.2");
    // The submenu opens with the selected server checked again.
    form.mnuServersClick();
    EXPECT_THAT(CheckedServers(view_), ElementsAre(6u));
}

struct SubmenuCase {
    const char* name;
    std::string stored;
    std::vector<std::size_t> checkedOnOpening;
};

// Names the case in test listings.
void PrintTo(const SubmenuCase& c, std::ostream* os) {
    *os << c.name;
}

class ServerSubmenuTest : public TzMainTest, public ::testing::WithParamInterface<SubmenuCase> {};

TEST_P(ServerSubmenuTest, OpeningChecksTheSelectedServer) {
    if (!GetParam().stored.empty()) WriteSetting(kSettingsKey, "ipAddress", GetParam().stored);
    TzMain& form = Started();
    ASSERT_THAT(CheckedServers(view_), ElementsAre(1u));  // checked at creation
    form.mnuServersClick();
    EXPECT_EQ(CheckedServers(view_), GetParam().checkedOnOpening);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, ServerSubmenuTest,
    ::testing::Values(SubmenuCase{"default_server_checks_the_fourth", "", {3}},
                      SubmenuCase{"stored_server_checks_its_item", "128.138.140.44", {10}},
                      SubmenuCase{"unknown_server_leaves_the_old_check", "192.0.2.1", {1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TzMainTest, UnknownStoredServerStillGetsTheQueries) {
    WriteSetting(kSettingsKey, "ipAddress", "192.0.2.1");
    TzMain& form = Started();
    form.mnuServersClick();
    ServerAnswers(0);
    form.mnuPingClick();
    ASSERT_EQ(daytime_.requests.size(), 1u);
    EXPECT_EQ(daytime_.requests[0].url, "http://192.0.2.1:13");
}

// ---- Notification menu and shell commands -------------------------------------

TEST_F(TzMainTest, OpenShowsTheWindowAndRestartsTheClock) {
    WriteSetting(kSettingsKey, "StartMinimized", "1");
    TzMain& form = Started();
    view_.timer1 = false;
    form.OpenVintrel1Click();
    EXPECT_TRUE(view_.timer1);
    EXPECT_TRUE(view_.shown);
    EXPECT_FALSE(view_.visibleProperty());
}

TEST_F(TzMainTest, ShellCommandsHandTheDesktopTheRightThing) {
    TzMain& form = Started();
    form.mnuControlPanelClick();
    form.mnuQuorrelClick();
    form.SpeedButton2Click();
    EXPECT_THAT(shell_.opened,
                ElementsAre("date-time settings", "url " + kMakerUrl, "url " + kMakerUrl));
    // The logo button lets the window catch up first.
    EXPECT_GE(view_.pendingEventRuns, 1);
}

struct ReadmeCase {
    const char* name;
    bool besideExecutable;
    bool installed;
    const char* opened;
};

// Names the case in test listings.
void PrintTo(const ReadmeCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadmeTest : public TzMainTest, public ::testing::WithParamInterface<ReadmeCase> {};

TEST_P(ReadmeTest, OpensTheFirstReadmeThatIsThere) {
    const std::string bin = sandbox_.root() + "/bin";
    const std::string doc = sandbox_.root() + "/share/doc/vintrel";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(doc);
    if (GetParam().besideExecutable) WriteFileBytes(bin + "/readme.rtf", "{\\rtf1}");
    if (GetParam().installed) WriteFileBytes(doc + "/readme.rtf", "{\\rtf1}");
    readme_ = ReadmeCandidates(bin + "/vintrel", doc);

    Started().mnuReadmeClick();

    const std::string expected = std::string(GetParam().opened) == "bin" ? bin : doc;
    EXPECT_THAT(shell_.opened, ElementsAre("document " + expected + "/readme.rtf"));
    EXPECT_THAT(view_.messages, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Places, ReadmeTest,
    ::testing::Values(ReadmeCase{"beside_the_executable_first", true, true, "bin"},
                      ReadmeCase{"installed_copy_when_none_beside", false, true, "doc"},
                      ReadmeCase{"missing_everywhere_handed_over_as_is", false, false, "bin"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TzMainTest, AboutOpensTheAboutBox) {
    Started().mnuAboutClick();
    EXPECT_EQ(view_.aboutBoxes, 1);
}

// ---- Internet settings ----------------------------------------------------------

class ScriptedInternetSettings final : public InternetSettingsView {
public:
    ConnectionChoice shownChoice = ConnectionChoice::Direct;
    std::string shownAddress, shownPort;
    std::function<void(ScriptedInternetSettings&)> user;
    bool ok = false;

    void setChoice(ConnectionChoice c) override { choice_ = c; }
    ConnectionChoice choice() const override { return choice_; }
    void setProxyAddress(const std::string& t) override { address_ = t; }
    std::string proxyAddress() const override { return address_; }
    void setProxyPort(const std::string& t) override { port_ = t; }
    std::string proxyPort() const override { return port_; }
    bool showModal() override {
        shownChoice = choice_;
        shownAddress = address_;
        shownPort = port_;
        if (user) user(*this);
        return ok;
    }

    ConnectionChoice choice_ = ConnectionChoice::Direct;
    std::string address_, port_;
};

TEST_F(TzMainTest, InternetSettingsItemEditsTheStoredConnection) {
    WriteSetting(kSettingsKey, "ConnectionType", "2");
    WriteSetting(kSettingsKey, "Address", "proxy.lan");
    ScriptedInternetSettings dialog;
    dialog.ok = true;
    dialog.user = [](ScriptedInternetSettings& d) {
        d.choice_ = ConnectionChoice::Proxy;
        d.port_ = "3128";
    };
    TzMain& form = Started();
    form.setInternetSettings(&dialog);

    form.mnuProxyClick();

    EXPECT_EQ(dialog.shownChoice, ConnectionChoice::FollowSystem);
    EXPECT_EQ(dialog.shownAddress, "proxy.lan");
    EXPECT_EQ(dialog.shownPort, "");
    EXPECT_EQ(Stored("ConnectionType"), "3");
    EXPECT_EQ(Stored("Address"), "proxy.lan");
    EXPECT_EQ(Stored("Port"), "3128");
}

}  // namespace
}  // namespace vintrel::testing
