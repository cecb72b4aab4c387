#include "menulook/menu_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vintrel {
namespace {

class RecordingObserver : public MenuObserver {
public:
    void ItemInserted(TMenuItem& item) override { log.push_back("+" + item.Caption()); }
    void ItemRemoving(TMenuItem& item) override { log.push_back("-" + item.Caption()); }
    void ItemChanged(TMenuItem& item) override { log.push_back("~" + item.Caption()); }
    void MenuChanged(TMenu& /*menu*/) override { log.push_back("menu"); }
    std::vector<std::string> log;
};

TEST(MenuModelTest, ItemsKnowTheirMenuThroughTheirParents) {
    TMenu menu(MenuKind::Main);
    TMenuItem& file = menu.Items().Add("&File");
    TMenuItem& ping = file.Add("&Ping");
    EXPECT_EQ(ping.GetParentMenu(), &menu);
    EXPECT_EQ(file.Parent(), &menu.Items());
    std::unique_ptr<TMenuItem> detached = file.Remove(ping);
    EXPECT_EQ(detached->GetParentMenu(), nullptr);
    EXPECT_EQ(file.Count(), 0);
}

TEST(MenuModelTest, ObserversHearOfEveryChangeOnce) {
    TMenu menu(MenuKind::Popup);
    RecordingObserver observer;
    menu.AddObserver(&observer);
    TMenuItem& item = menu.Items().Add("Exit");
    item.SetCaption("E&xit");
    item.SetCaption("E&xit");  // unchanged: no notice
    item.SetEnabled(false);
    menu.SetOwnerDraw(true);
    menu.Items().Remove(item);
    EXPECT_EQ(observer.log,
              (std::vector<std::string>{"+Exit", "~E&xit", "~E&xit", "menu", "-E&xit"}));
}

TEST(MenuModelTest, CheckingARadioItemUnchecksItsGroupOnly) {
    TMenu menu(MenuKind::Popup);
    TMenuItem& a = menu.Items().Add("a");
    TMenuItem& b = menu.Items().Add("b");
    TMenuItem& other = menu.Items().Add("other");
    TMenuItem& plain = menu.Items().Add("plain");
    for (TMenuItem* item : {&a, &b, &other}) item->SetRadioItem(true);
    other.SetGroupIndex(1);
    plain.SetChecked(true);
    a.SetChecked(true);
    other.SetChecked(true);
    b.SetChecked(true);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_TRUE(other.Checked());
    EXPECT_TRUE(plain.Checked());
}

TEST(MenuModelTest, ClickInvertsAnAutoCheckItemBeforeItsHandlerAndIgnoresDisabledItems) {
    TMenu menu(MenuKind::Popup);
    TMenuItem& item = menu.Items().Add("Start Minimized");
    item.SetAutoCheck(true);
    std::vector<bool> seen;
    item.OnClick = [&](TMenuItem& clicked) { seen.push_back(clicked.Checked()); };
    item.Click();
    item.Click();
    item.SetEnabled(false);
    item.Click();
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST(MenuModelTest, ShortcutTextIsTrimmed) {
    TMenuItem item("Open");
    item.SetShortCut("  Ctrl+O ");
    EXPECT_EQ(item.ShortCutText(), "Ctrl+O");
}

}  // namespace
}  // namespace vintrel
