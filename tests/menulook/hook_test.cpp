#include <gtest/gtest.h>

#include <vector>

#include "tests/menulook/test_look.h"
#include "tests/support/raster_canvas.h"

namespace vintrel {
namespace {

using testing::RasterCanvas;
using testing::TestLook;

class HookTest : public ::testing::Test {
protected:
    HookTest() {
        TMenuItem& file = menu.Items().Add("&File");
        file.Add("&Ping");
        TMenuItem& servers = file.Add("&Time Servers");
        servers.Add("192.0.2.1");
        servers.Add("192.0.2.2");
        menu.Items().Add("&Help").Add("&About");
    }

    std::vector<TMenuItem*> AllItems() {
        std::vector<TMenuItem*> items;
        for (int i = 0; i < menu.Items().Count(); ++i)
            ForEachItem(menu.Items().Item(i), [&](TMenuItem& item) { items.push_back(&item); });
        return items;
    }

    FixedLookEnvironment environment;
    TestLook look{environment};
    TMenu menu{MenuKind::Main};
    int applicationDraws = 0;
};

TEST_F(HookTest, ActivationMarksTheMenuAndHooksEveryItem) {
    look.ApplyToMenu(menu, true);
    EXPECT_TRUE(menu.OwnerDraw());
    for (TMenuItem* item : AllItems()) {
        EXPECT_TRUE(item->OnDrawItem.IsFrom(&look)) << item->Caption();
        EXPECT_TRUE(item->OnMeasureItem.IsFrom(&look)) << item->Caption();
    }
    look.ApplyToMenu(menu, false);
    EXPECT_FALSE(menu.OwnerDraw());
    for (TMenuItem* item : AllItems()) {
        EXPECT_FALSE(item->OnDrawItem) << item->Caption();
        EXPECT_FALSE(item->OnMeasureItem) << item->Caption();
    }
}

TEST_F(HookTest, AMenuWithoutItemsKeepsItsOwnerDrawFlag) {
    TMenu empty(MenuKind::Popup);
    look.ApplyToMenu(empty, true);
    EXPECT_FALSE(empty.OwnerDraw());
}

// The application's own draw handler must outlive the look's activation and
// deactivation; only OverrideOwnerDraw replaces it.
TEST_F(HookTest, ApplicationHandlersSurviveUnlessOverridden) {
    TMenuItem& about = menu.Items().Item(1).Item(0);
    about.OnDrawItem = DrawItemHandler(
        [this](TMenuItem&, Canvas&, const Rect&, bool) { ++applicationDraws; }, this);
    look.ApplyToMenu(menu, true);
    EXPECT_TRUE(about.OnDrawItem.IsFrom(this));
    EXPECT_TRUE(about.OnMeasureItem.IsFrom(&look));
    look.ApplyToMenu(menu, false);
    EXPECT_TRUE(about.OnDrawItem.IsFrom(this));
    EXPECT_FALSE(about.OnMeasureItem);

    look.SetOverrideOwnerDraw(true);
    look.ApplyToMenu(menu, true);
    EXPECT_TRUE(about.OnDrawItem.IsFrom(&look));
    look.ApplyToMenu(menu, false);
    EXPECT_FALSE(about.OnDrawItem);
}

TEST_F(HookTest, AnonymousHandlersAreNeverMistakenForTheLooks) {
    TMenuItem& about = menu.Items().Item(1).Item(0);
    about.OnMeasureItem = MeasureItemHandler([](TMenuItem&, Canvas&, int&, int&) {});
    look.ApplyToMenu(menu, true);
    look.ApplyToMenu(menu, false);
    EXPECT_TRUE(static_cast<bool>(about.OnMeasureItem));
}

TEST_F(HookTest, ItemsAddedLaterAreTakenOverWhenASiblingIsPainted) {
    look.Activate();
    look.ApplyToMenu(menu, true);
    TMenuItem& file = menu.Items().Item(0);
    TMenuItem& servers = file.Item(1);
    TMenuItem& late = file.Add("&Exit");
    TMenuItem& lateServer = servers.Add("192.0.2.3");
    TMenuItem& foreign = file.Add("Foreign");
    foreign.OnDrawItem = DrawItemHandler([](TMenuItem&, Canvas&, const Rect&, bool) {}, this);
    TMenuItem& otherMenu = menu.Items().Item(1).Add("Not a sibling");
    EXPECT_FALSE(late.OnDrawItem);

    RasterCanvas canvas(100, 30);
    look.DrawMenuItem(file.Item(0), canvas, {0, 0, 80, 23}, false);
    EXPECT_TRUE(late.OnDrawItem.IsFrom(&look));
    EXPECT_TRUE(lateServer.OnDrawItem.IsFrom(&look));
    EXPECT_TRUE(foreign.OnDrawItem.IsFrom(this));
    EXPECT_TRUE(foreign.OnMeasureItem.IsFrom(&look));
    EXPECT_FALSE(otherMenu.OnDrawItem);
}

TEST_F(HookTest, SettersRedrawTheMenuBarOrRunTheWalkAgain) {
    look.SetFont({"Tahoma", -11, clMenuText});
    look.SetMenuBarColor(clBtnFace);
    look.SetUseSystemColors(false);
    EXPECT_EQ(look.menuBarRedraws, 3);
    look.SetOverrideOwnerDraw(true);
    EXPECT_EQ(look.activationWalks, 0);
    look.Activate();
    look.SetOverrideOwnerDraw(false);
    EXPECT_EQ(look.activationWalks, 1);
}

TEST_F(HookTest, HookedHandlersDrawAndMeasureThroughTheLook) {
    look.Activate();
    look.ApplyToMenu(menu, true);
    TMenuItem& ping = menu.Items().Item(0).Item(0);
    RasterCanvas canvas(100, 30);
    int width = 0, height = 0;
    ping.OnMeasureItem(ping, canvas, width, height);
    EXPECT_EQ(height, 23);
    ping.OnDrawItem(ping, canvas, Rect{0, 0, 80, 23}, false);
    EXPECT_EQ(canvas.Texts().size(), 1u);
}

}  // namespace
}  // namespace vintrel
