#include "shell/tray_icon.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/application_exception.h"
#include "tests/shell/fake_tray_backend.h"

namespace vintrel {
namespace {

using ::testing::ElementsAre;
using testing::FakeApplication;
using testing::FakeForm;
using testing::FakeImageList;
using testing::FakeMainWindow;
using testing::FakePopupMenu;
using testing::FakeTrayBackend;
using ::testing::IsEmpty;
using testing::solidIcon;

std::string describe(TShiftState shift) {
    static const std::pair<TShiftMember, const char*> kNames[] = {
        {TShiftMember::ssShift, "Shift"}, {TShiftMember::ssAlt, "Alt"},
        {TShiftMember::ssCtrl, "Ctrl"},   {TShiftMember::ssLeft, "Left"},
        {TShiftMember::ssRight, "Right"}, {TShiftMember::ssMiddle, "Middle"}};
    std::string text;
    for (const auto& [member, name] : kNames)
        if (shift.contains(member)) text += (text.empty() ? "" : ",") + std::string(name);
    return "[" + text + "]";
}

std::string describe(TMouseButton button) {
    return button == TMouseButton::mbLeft    ? "left"
           : button == TMouseButton::mbRight ? "right"
                                             : "middle";
}

/// Collects every exception handed to the application's handler while it lives.
class HandledExceptions {
public:
    HandledExceptions() {
        previous_ = setApplicationExceptionHandler([this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                texts.push_back(e.what());
            }
        });
    }
    ~HandledExceptions() { setApplicationExceptionHandler(previous_); }
    std::vector<std::string> texts;

private:
    ApplicationExceptionHandler previous_;
};

class TrayIconTest : public ::testing::Test {
protected:
    TrayIconTest() { tray = makeTray(); }

    std::unique_ptr<TkvTrayIcon> makeTray() {
        auto icon = std::make_unique<TkvTrayIcon>(&form, backend);
        icon->SetName("TrayIcon1");
        record(*icon);
        return icon;
    }

    void record(TkvTrayIcon& icon) {
        auto note = [this](std::string text) {
            return [this, text](TComponent*) { log.push_back(text); };
        };
        icon.SetOnClick(note("OnClick"));
        icon.SetOnDblClick(note("OnDblClick"));
        icon.SetOnPopupMenu(note("OnPopupMenu"));
        icon.SetOnShow(note("OnShow"));
        icon.SetOnHide(note("OnHide"));
        icon.SetOnMinimize(note("OnMinimize"));
        icon.SetOnCycleIcons(note("OnCycleIcons"));
        icon.SetOnMouseMove([this](TComponent*, TShiftState s, int x, int y) {
            log.push_back("OnMouseMove " + describe(s) + " " + at(x, y));
        });
        icon.SetOnMouseDown([this](TComponent*, TMouseButton b, TShiftState s, int x, int y) {
            log.push_back("OnMouseDown " + describe(b) + " " + describe(s) + " " + at(x, y));
        });
        icon.SetOnMouseUp([this](TComponent*, TMouseButton b, TShiftState s, int x, int y) {
            log.push_back("OnMouseUp " + describe(b) + " " + describe(s) + " " + at(x, y));
        });
    }
    static std::string at(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

    /// The main window's instance: its stored properties, then the loaded step.
    void setUpAsMainWindowDoes() {
        tray->SetHint("Vintrel");
        tray->SetIcon(solidIcon(0xFF0000FF));
        tray->SetMinimizeToTray(true);
        tray->SetPopupMenu(menu.get());
        tray->SetVisible(true);
        tray->Loaded();
    }

    void mouse(const std::vector<std::uint32_t>& messages) {
        for (std::uint32_t m : messages) backend.mouse(tray->TimerWindow(), {m});
    }
    const NotifyIconData* shownIcon(std::uint32_t id = 0) const {
        return backend.icon(tray->TimerWindow(), id);
    }

    std::vector<std::string> log;
    FakeMainWindow mainWindow;
    FakeApplication app{&mainWindow};
    FakeTrayBackend backend{&app, &log};
    FakeForm form{&mainWindow};
    std::unique_ptr<TkvTrayIcon> tray;
    std::unique_ptr<FakePopupMenu> menu = std::make_unique<FakePopupMenu>(&form, &log);
};

// --- Mouse actions --------------------------------------------------------

struct MouseCase {
    const char* name;
    std::vector<std::uint32_t> messages;
    std::vector<std::string> expected;
    bool popupByLeft = false;
    bool enabled = true;
    bool autoPopup = true;
    ModifierKeys keys = {};
};

const std::vector<std::string> kMenuOpens = {
    "process messages", "foreground", "popup 10,20 by TrayIcon1", "post null", "OnPopupMenu"};

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void PrintTo(const MouseCase& c, std::ostream* os) {
    *os << c.name;
}

class MouseSequenceTest : public TrayIconTest, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(MouseSequenceTest, FiresTheEventsInOrder) {
    const MouseCase& c = GetParam();
    tray->SetPopupMenu(menu.get());
    tray->SetPopupByLeft(c.popupByLeft);
    tray->SetEnabled(c.enabled);
    menu->SetAutoPopup(c.autoPopup);
    backend.keys = c.keys;
    log.clear();
    mouse(c.messages);
    EXPECT_EQ(log, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MouseSequenceTest,
    ::testing::Values(
        MouseCase{"LeftClickOpensNoMenuWithoutPopupByLeft",
                  {kWmLButtonDown, kWmLButtonUp},
                  {"OnMouseDown left [Left] 10,20", "foreground", "OnMouseUp left [Left] 10,20",
                   "OnClick"}},
        MouseCase{"SecondReleaseOfDoubleClickFiresNoClick",
                  {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmLButtonUp},
                  {"OnMouseDown left [Left] 10,20", "foreground", "OnMouseUp left [Left] 10,20",
                   "OnClick", "OnDblClick", "foreground", "OnMouseUp left [Left] 10,20"}},
        MouseCase{"ReleaseWithoutPressIsNoClick",
                  {kWmLButtonUp},
                  {"foreground", "OnMouseUp left [Left] 10,20"}},
        MouseCase{"RightReleaseOpensMenuAtCursor",
                  {kWmRButtonDown, kWmRButtonUp},
                  concat({"OnMouseDown right [Right] 10,20", "foreground",
                          "OnMouseUp right [Right] 10,20"},
                         kMenuOpens)},
        MouseCase{"EveryRightReleaseOpensMenu",
                  {kWmRButtonUp, kWmRButtonUp},
                  concat(concat({"foreground", "OnMouseUp right [Right] 10,20"}, kMenuOpens),
                         concat({"foreground", "OnMouseUp right [Right] 10,20"}, kMenuOpens))},
        MouseCase{"RightDoubleClickMessageDoesNothing", {kWmRButtonDblClk}, {"default 1235"}},
        MouseCase{"MenuWithoutAutoPopupStaysShut",
                  {kWmRButtonUp},
                  {"foreground", "OnMouseUp right [Right] 10,20"},
                  false,
                  true,
                  false},
        MouseCase{
            "MiddleButtonNeitherClicksNorOpens",
            {kWmMButtonDown, kWmMButtonUp},
            {"OnMouseDown middle [Middle] 10,20", "foreground", "OnMouseUp middle [Middle] 10,20"}},
        MouseCase{"DisabledIconIgnoresEveryMouseAction",
                  {kWmMouseMove, kWmLButtonDown, kWmLButtonUp, kWmRButtonDown, kWmRButtonUp,
                   kWmRButtonDblClk},
                  {},
                  false,
                  false},
        MouseCase{"PopupByLeftOpensMenuAfterClick",
                  {kWmLButtonDown, kWmLButtonUp},
                  concat({"OnMouseDown left [Left] 10,20", "foreground",
                          "OnMouseUp left [Left] 10,20", "OnClick"},
                         kMenuOpens),
                  true},
        MouseCase{"ModifierKeysJoinTheButton",
                  {kWmMouseMove, kWmRButtonDown},
                  {"OnMouseMove [Shift,Alt,Ctrl] 10,20",
                   "OnMouseDown right [Shift,Alt,Ctrl,Right] 10,20"},
                  false,
                  true,
                  true,
                  ModifierKeys{true, true, true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, FreedMenuIsForgottenAndNothingOpens) {
    setUpAsMainWindowDoes();
    menu.reset();
    EXPECT_EQ(tray->PopupMenu(), nullptr);
    log.clear();
    mouse({kWmRButtonDown, kWmRButtonUp});
    EXPECT_THAT(log, ::testing::Not(::testing::Contains(::testing::HasSubstr("popup"))));
}

// Regression: the waiting messages handled before opening may free the menu.
TEST_F(TrayIconTest, MenuFreedWhileWaitingMessagesRunIsNotOpened) {
    setUpAsMainWindowDoes();
    backend.onProcessMessages = [this] { menu.reset(); };
    log.clear();
    mouse({kWmRButtonUp});
    EXPECT_THAT(log,
                ElementsAre("foreground", "OnMouseUp right [Right] 10,20", "process messages"));
}

// --- The notify record ----------------------------------------------------

struct TipCase {
    const char* name;
    std::string hint;
    bool showHint;
    std::string expectedHint;
    std::string expectedTip;
};

void PrintTo(const TipCase& c, std::ostream* os) {
    *os << c.name;
}

class TipTest : public TrayIconTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TipTest, TipFollowsHintAndShowHint) {
    const TipCase& c = GetParam();
    tray->SetVisible(true);
    tray->SetHint(c.hint);
    tray->SetShowHint(c.showHint);
    EXPECT_EQ(tray->Hint(), c.expectedHint);
    ASSERT_NE(shownIcon(), nullptr);
    EXPECT_EQ(shownIcon()->tip(), c.expectedTip);
    EXPECT_EQ(shownIcon()->uFlags, kNifMessage | kNifIcon | kNifTip);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TipTest,
    ::testing::Values(TipCase{"HintOf64CharactersShowsFirst63", std::string(64, 'a'), true,
                              std::string(63, 'a'), std::string(63, 'a')},
                      TipCase{"HintOf63CharactersIsKeptWhole", std::string(63, 'b'), true,
                              std::string(63, 'b'), std::string(63, 'b')},
                      TipCase{"ShowHintFalseEmptiesTipButKeepsHint", "Vintrel", false, "Vintrel",
                              ""},
                      TipCase{"CutLeavesNoHalfCharacter", std::string(62, 'c') + "\xc3\xa9", true,
                              std::string(62, 'c'), std::string(62, 'c')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, RecordNamesTheTimerWindowAndTheCallback) {
    setUpAsMainWindowDoes();
    const auto firstAdd =
        std::find_if(backend.calls.begin(), backend.calls.end(),
                     [](const auto& c) { return c.first == NotifyIconMessage::Add; });
    ASSERT_NE(firstAdd, backend.calls.end());
    const NotifyIconData& added = firstAdd->second;
    EXPECT_EQ(added.cbSize, 88u);
    EXPECT_EQ(added.hWnd, tray->TimerWindow());
    EXPECT_EQ(added.uCallbackMessage, 1235u);
    EXPECT_EQ(added.hIcon, solidIcon(0xFF0000FF));
    EXPECT_EQ(added.tip(), "Vintrel");
}

// --- Adding and removing --------------------------------------------------

TEST_F(TrayIconTest, IconIdChangeMovesThePresentIcon) {
    setUpAsMainWindowDoes();
    log.clear();
    backend.calls.clear();
    tray->SetIconID(7);
    ASSERT_EQ(backend.calls.size(), 2u);
    EXPECT_EQ(backend.calls[0].first, NotifyIconMessage::Delete);
    EXPECT_EQ(backend.calls[0].second.uID, 0u);
    EXPECT_EQ(backend.calls[1].first, NotifyIconMessage::Add);
    EXPECT_EQ(backend.calls[1].second.uID, 7u);
    EXPECT_EQ(shownIcon(0), nullptr);
    EXPECT_NE(shownIcon(7), nullptr);
    EXPECT_THAT(log, ElementsAre("OnHide", "OnShow"));
}

TEST_F(TrayIconTest, IconAddedTwiceAtStartIsHarmless) {
    setUpAsMainWindowDoes();
    EXPECT_EQ(backend.count(NotifyIconMessage::Add), 2);
    EXPECT_EQ(backend.icons.size(), 1u);
    EXPECT_TRUE(tray->Visible());
    EXPECT_THAT(log, ElementsAre("OnShow", "OnShow"));
}

TEST_F(TrayIconTest, IconRefusedBeforeTheTaskbarExistsComesWithIt) {
    backend.shellPresent = false;
    setUpAsMainWindowDoes();  // started at logon: no notification area yet
    EXPECT_TRUE(tray->Visible());
    EXPECT_EQ(shownIcon(), nullptr);
    backend.recreateTaskbar();
    ASSERT_NE(shownIcon(), nullptr);
    EXPECT_EQ(shownIcon()->tip(), "Vintrel");
}

/// The text of the exception `action` raises, prefixed with its kind.
template <typename Action>
std::string failureOf(Action action) {
    try {
        action();
    } catch (const EkvTrayIcon& e) {
        return std::string("EkvTrayIcon: ") + e.what();
    } catch (const std::exception& e) {
        return std::string("other: ") + e.what();
    }
    return "nothing";
}

TEST_F(TrayIconTest, ShellFailuresNameTheComponent) {
    backend.failNotify = true;
    EXPECT_EQ(failureOf([&] { tray->SetVisible(true); }),
              "EkvTrayIcon: TrayIcon1.InsertToTray failed");
    EXPECT_EQ(failureOf([&] { tray->SetVisible(false); }),
              "EkvTrayIcon: TrayIcon1.DeleteFromTray failed");
    EXPECT_EQ(failureOf([&] { tray->SetHint("x"); }), "other: shell gone");  // sent unwrapped
}

// --- The taskbar created anew ---------------------------------------------

struct RecreateCase {
    const char* name;
    void (*hide)(FakeMainWindow&);
    bool expectedShown;
};

void PrintTo(const RecreateCase& c, std::ostream* os) {
    *os << c.name;
}

class TaskbarRecreatedTest : public TrayIconTest,
                             public ::testing::WithParamInterface<RecreateCase> {};

TEST_P(TaskbarRecreatedTest, IconComesBackAndWindowFollowsItsVisibleProperty) {
    setUpAsMainWindowDoes();
    GetParam().hide(mainWindow);
    backend.recreateTaskbar();
    ASSERT_NE(shownIcon(), nullptr);
    EXPECT_EQ(shownIcon()->tip(), "Vintrel");
    EXPECT_EQ(shownIcon()->hIcon, solidIcon(0xFF0000FF));
    EXPECT_EQ(mainWindow.shown, GetParam().expectedShown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TaskbarRecreatedTest,
    ::testing::Values(RecreateCase{"StartedHiddenComesUp",
                                   [](FakeMainWindow& w) { w.setVisibleProperty(false); }, true},
                      RecreateCase{"ClosedByCloseBoxStaysHidden",
                                   [](FakeMainWindow& w) { w.closeBox(); }, false},
                      RecreateCase{"StartedHiddenThenOpenedStaysUp",
                                   [](FakeMainWindow& w) {
                                       w.setVisibleProperty(false);
                                       w.showNormal();
                                   },
                                   true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, AbsentIconIsNotAddedByTaskbarRecreation) {
    backend.recreateTaskbar();
    EXPECT_EQ(backend.count(NotifyIconMessage::Add), 0);
}

TEST_F(TrayIconTest, SessionEndIsAllowed) {
    EXPECT_EQ(backend.send(tray->TimerWindow(), kWmQueryEndSession), 1);
}

// --- The application's minimise -------------------------------------------

TEST_F(TrayIconTest, MinimiseHidesApplicationAndKeepsTheIcon) {
    setUpAsMainWindowDoes();
    log.clear();
    EXPECT_EQ(backend.sendToApplication(kWmSize, kSizeMinimized), 42);
    EXPECT_FALSE(app.ownerShown);
    EXPECT_FALSE(mainWindow.property);
    EXPECT_FALSE(mainWindow.shown);
    EXPECT_EQ(backend.count(NotifyIconMessage::Add), 2);  // only the two of the start
    EXPECT_NE(shownIcon(), nullptr);
    EXPECT_THAT(log, ElementsAre("OnMinimize"));
    ASSERT_EQ(backend.originalProcedureMessages.size(), 1u);
    EXPECT_EQ(backend.originalProcedureMessages[0].Msg, kWmSize);
}

TEST_F(TrayIconTest, MinimiseLeavesApplicationAloneWithoutMinimizeToTray) {
    tray->SetVisible(true);
    backend.sendToApplication(kWmSize, kSizeMinimized);
    EXPECT_TRUE(app.ownerShown);
    EXPECT_TRUE(mainWindow.shown);
    EXPECT_EQ(backend.originalProcedureMessages.size(), 1u);
}

TEST_F(TrayIconTest, HidingTheIconBringsTheApplicationBack) {
    setUpAsMainWindowDoes();
    backend.sendToApplication(kWmSize, kSizeMinimized);
    tray->SetVisible(false);
    EXPECT_TRUE(app.ownerShown);
    EXPECT_TRUE(mainWindow.shown);
}

TEST_F(TrayIconTest, MinimizeOnStartHidesApplicationAndShowsIcon) {
    tray->SetMinimizeOnStart(true);
    tray->Loaded();
    EXPECT_FALSE(app.showMainForm);
    EXPECT_FALSE(mainWindow.property);
    EXPECT_TRUE(tray->Visible());
    EXPECT_NE(shownIcon(), nullptr);
}

// --- Destruction ----------------------------------------------------------

TEST_F(TrayIconTest, DestructionRemovesIconRestoresApplicationAndUnhooks) {
    setUpAsMainWindowDoes();
    backend.sendToApplication(kWmSize, kSizeMinimized);
    tray.reset();
    EXPECT_TRUE(backend.icons.empty());
    EXPECT_TRUE(mainWindow.shown);
    EXPECT_TRUE(backend.windows.empty());
    EXPECT_TRUE(backend.timers.empty());
    backend.sendToApplication(kWmSize, kSizeMinimized);  // reaches only the original now
    EXPECT_EQ(backend.originalProcedureMessages.size(), 2u);
}

TEST_F(TrayIconTest, OwnerBeingDestroyedIsNotBroughtBack) {
    setUpAsMainWindowDoes();
    mainWindow.setVisibleProperty(false);
    form.Destroying();
    tray.reset();
    EXPECT_TRUE(backend.icons.empty());
    EXPECT_FALSE(mainWindow.shown);
}

// Regression: a failing removal inside the destructor must not end the program.
TEST_F(TrayIconTest, FailureWhileDestroyedGoesToTheApplication) {
    HandledExceptions handled;
    tray->SetVisible(true);
    backend.failNotify = true;
    tray.reset();
    EXPECT_THAT(handled.texts, ElementsAre("TrayIcon1.DeleteFromTray failed"));
}

// Regression: hooks undone out of order left a procedure of a freed component.
TEST_F(TrayIconTest, HooksUndoneOutOfOrderLeaveNoDanglingProcedure) {
    auto second = makeTray();
    tray.reset();
    second.reset();
    backend.sendToApplication(kWmSize, kSizeMinimized);
    EXPECT_EQ(backend.originalProcedureMessages.size(), 1u);
}

// --- Design time ----------------------------------------------------------

TEST(TrayIconDesignTest, DesignTimeNeitherHooksNorReactsButShowsOnDesigning) {
    std::vector<std::string> log;
    FakeApplication app(nullptr);
    FakeTrayBackend backend(&app, &log);
    TComponent designer;
    designer.SetDesigning(true);
    TkvTrayIcon icon(&designer, backend);
    int clicks = 0;
    icon.SetOnMouseDown([&](TComponent*, TMouseButton, TShiftState, int, int) { ++clicks; });
    icon.SetVisible(true);
    EXPECT_TRUE(backend.icons.empty());
    icon.SetVisibleOnDesigning(true);
    EXPECT_EQ(backend.icons.size(), 1u);
    backend.mouse(icon.TimerWindow(), {kWmLButtonDown});
    EXPECT_EQ(clicks, 0);
    backend.sendToApplication(kWmSize, kSizeMinimized);
    EXPECT_EQ(backend.originalProcedureMessages.size(), 1u);
}

// --- Cycling through an image list ----------------------------------------

class CycleTest : public TrayIconTest {
protected:
    CycleTest() {
        images.images = {solidIcon(1), solidIcon(2), solidIcon(3)};
        tray->SetImageList(&images);
        tray->SetVisible(true);
    }
    FakeImageList images{&form};
};

TEST_F(CycleTest, TimerStepsThroughTheListAndWraps) {
    tray->SetCycleIcons(true);
    EXPECT_EQ(backend.timers.at({tray->TimerWindow(), 1}), 200u);
    std::vector<int> indexes;
    for (int i = 0; i < 4; ++i) {
        backend.tick(tray->TimerWindow());
        indexes.push_back(tray->ImageIndex());
        EXPECT_EQ(shownIcon()->hIcon, images.images[static_cast<std::size_t>(tray->ImageIndex())]);
    }
    EXPECT_THAT(indexes, ElementsAre(1, 2, 0, 1));
    EXPECT_EQ(std::count(log.begin(), log.end(), "OnCycleIcons"), 4);
}

TEST_F(CycleTest, ListChangesAndFreeingReachTheIcon) {
    images.replaceImages({solidIcon(9)});
    EXPECT_EQ(shownIcon()->hIcon, solidIcon(9));
    tray->SetImageIndex(5);  // no such image: the empty icon
    EXPECT_TRUE(shownIcon()->hIcon.empty());
}

TEST_F(TrayIconTest, FreedImageListIsForgottenAndCyclingGoesOn) {
    auto images = std::make_unique<FakeImageList>(&form);
    images->images = {solidIcon(1), solidIcon(2)};
    tray->SetImageList(images.get());
    tray->SetCycleIcons(true);
    images.reset();
    EXPECT_EQ(tray->ImageList(), nullptr);
    backend.tick(tray->TimerWindow());
    EXPECT_EQ(tray->ImageIndex(), 0);
}

TEST_F(TrayIconTest, CyclingFailureGoesToTheApplicationAndTimerRuns) {
    HandledExceptions handled;
    tray->SetCycleIcons(true);
    tray->SetOnCycleIcons([](TComponent*) { throw std::runtime_error("cycle broke"); });
    backend.tick(tray->TimerWindow());
    EXPECT_THAT(handled.texts, ElementsAre("cycle broke"));
    EXPECT_EQ(backend.timers.count({tray->TimerWindow(), 1}), 1u);
}

// Regression: creating the icon started (and stopped) a timer, so it failed
// when no timer was left although it never cycles.
TEST(TrayIconTimerTest, NoTimerIsNeededUntilCycling) {
    std::vector<std::string> log;
    FakeApplication app(nullptr);
    FakeTrayBackend backend(&app, &log);
    backend.timersAvailable = false;
    TkvTrayIcon icon(nullptr, backend);
    EXPECT_FALSE(icon.CycleIcons());
    EXPECT_EQ(icon.CycleInterval(), 200u);
    try {
        icon.SetCycleIcons(true);
        ADD_FAILURE() << "no EOutOfResources";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Not enough timers available");
    }
}

}  // namespace
}  // namespace vintrel
