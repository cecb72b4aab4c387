// The menu framework on Qt and the look on a window: actions mirror items,
// owner-drawn items are measured and painted by their handlers, and the look
// hooks and unhooks both menus of its owner.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include "menulook/menu_look.h"
#include "menulook/owner_draw_style.h"
#include "menulook/qt_conversions.h"
#include "menulook/qt_menus.h"

namespace vintrel {
namespace {

QStringList TextsOf(const QWidget* widget) {
    QStringList texts;
    for (const QAction* action : widget->actions()) texts << action->text();
    return texts;
}

TEST(QtMenusTest, ActionsMirrorTheItemsAndTheirChanges) {
    QMainWindow window;
    auto* menu = new TMainMenu(&window);
    EXPECT_EQ(window.menuBar(), menu->MenuBar());
    TMenuItem& file = menu->Items().Add("&File");
    TMenuItem& ping = file.Add("&Ping Atomic Clock");
    file.Add("-");
    TMenuItem& exit = file.Add("&Exit");
    menu->Items().Add("&Help");
    file.Insert(1, std::make_unique<TMenuItem>("Start Minimized"));

    EXPECT_EQ(TextsOf(menu->MenuBar()), (QStringList{"&File", "&Help"}));
    QMenu* fileMenu = menu->SubMenuOf(file);
    ASSERT_NE(fileMenu, nullptr);
    EXPECT_EQ(TextsOf(fileMenu),
              (QStringList{"&Ping Atomic Clock", "Start Minimized", "-", "&Exit"}));
    EXPECT_TRUE(fileMenu->actions()[2]->isSeparator());
    EXPECT_EQ(MenuItemOfAction(menu->ActionOf(ping)), &ping);

    exit.SetCaption("E&xit");
    exit.SetEnabled(false);
    ping.SetChecked(true);
    EXPECT_EQ(menu->ActionOf(exit)->text(), "E&xit");
    EXPECT_FALSE(menu->ActionOf(exit)->isEnabled());
    EXPECT_TRUE(menu->ActionOf(ping)->isChecked());

    file.Remove(exit);
    EXPECT_EQ(fileMenu->actions().size(), 3);
}

TEST(QtMenusTest, ChoosingAnActionClicksItsItemWhichDecidesTheCheck) {
    TPopupMenu menu(nullptr);
    TMenuItem& daily = menu.Items().Add("&Auto Synchronized Daily");
    daily.SetAutoCheck(true);
    TMenuItem& first = menu.Items().Add("192.0.2.1");
    TMenuItem& second = menu.Items().Add("192.0.2.2");
    first.SetRadioItem(true);
    second.SetRadioItem(true);
    second.SetChecked(true);
    int clicks = 0;
    first.OnClick = [&](TMenuItem& item) {
        ++clicks;
        item.SetChecked(!item.Checked());
    };
    menu.ActionOf(daily)->trigger();
    EXPECT_TRUE(daily.Checked());
    EXPECT_TRUE(menu.ActionOf(daily)->isChecked());
    menu.ActionOf(first)->trigger();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(first.Checked());
    EXPECT_FALSE(second.Checked());
    EXPECT_FALSE(menu.ActionOf(second)->isChecked());
    // A checked item's own handler may uncheck it; Qt's toggle must not undo that.
    menu.ActionOf(first)->trigger();
    EXPECT_FALSE(first.Checked());
    EXPECT_FALSE(menu.ActionOf(first)->isChecked());
}

TEST(QtMenusTest, ParentItemIsClickedWhenItsSubMenuOpens) {
    TPopupMenu menu(nullptr);
    TMenuItem& servers = menu.Items().Add("&Time Servers");
    servers.Add("192.0.2.1");
    int opened = 0;
    servers.OnClick = [&](TMenuItem&) { ++opened; };
    emit menu.SubMenuOf(servers)->aboutToShow();
    EXPECT_EQ(opened, 1);
}

TEST(QtMenusTest, PopupOpensAtThePointAndReturnsWhenClosed) {
    TPopupMenu menu(nullptr);
    menu.Items().Add("E&xit");
    int popups = 0;
    menu.OnPopup = [&](TPopupMenu&) { ++popups; };
    QPoint shownAt;
    QTimer::singleShot(0, menu.Menu(), [&] {
        shownAt = menu.Menu()->pos();
        menu.Menu()->close();
    });
    menu.Popup(30, 40);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(shownAt, QPoint(30, 40));
}

class OwnerDrawnMenuTest : public ::testing::Test {
protected:
    OwnerDrawnMenuTest() {
        TMenuItem& ping = menu.Items().Add("&Ping Now");
        menu.Items().Add("-");
        menu.Items().Add("E&xit");
        ping.OnMeasureItem = MeasureItemHandler([](TMenuItem& item, Canvas&, int& w, int& h) {
            w = 150;
            h = item.IsSeparator() ? 4 : 37;
        });
        ping.OnDrawItem = DrawItemHandler([this](TMenuItem&, Canvas& canvas, const Rect& r, bool) {
            ++draws;
            canvas.FillRect(r, RGB(1, 2, 3));
        });
        menu.Items().Item(1).OnMeasureItem = ping.OnMeasureItem;
    }
    QRect Geometry(int index) { return menu.Menu()->actionGeometry(menu.Menu()->actions()[index]); }

    TPopupMenu menu{nullptr};
    int draws = 0;
};

TEST_F(OwnerDrawnMenuTest, HandlersSizeAndPaintOnlyOwnerDrawnMenus) {
    const int plainHeight = Geometry(0).height();
    menu.SetOwnerDraw(true);
    EXPECT_EQ(Geometry(0).height(), 37);
    EXPECT_EQ(Geometry(1).height(), 4);
    EXPECT_GE(Geometry(2).width(), 150);           // every item takes the widest width
    EXPECT_EQ(Geometry(2).height(), plainHeight);  // no handler: the normal look

    menu.Menu()->resize(menu.Menu()->sizeHint());
    const QImage shot = menu.Menu()->grab().toImage();
    EXPECT_GE(draws, 1);
    const QPoint inside = Geometry(0).center();
    EXPECT_EQ(RgbFromQRgb(shot.pixel(inside)), RGB(1, 2, 3));
    EXPECT_NE(RgbFromQRgb(shot.pixel(Geometry(2).center())), RGB(1, 2, 3));

    menu.SetOwnerDraw(false);
    EXPECT_EQ(Geometry(0).height(), plainHeight);
}

TEST(QtMenusTest, OwnerDrawnBarItemsGetRoomForTheHighlightShadow) {
    QMainWindow window;
    TMainMenu menu(&window);
    TMenuItem& file = menu.Items().Add("&File");
    file.OnMeasureItem = MeasureItemHandler([](TMenuItem&, Canvas&, int& w, int& h) {
        w = 40;
        h = 23;
    });
    menu.SetOwnerDraw(true);
    menu.MenuBar()->resize(400, 30);
    const QRect r = menu.MenuBar()->actionGeometry(menu.ActionOf(file));
    EXPECT_EQ(r.width(),
              40 + OwnerDrawMenuStyle::kBarItemOverhang + OwnerDrawMenuStyle::kBarItemCaptionRoom);
    EXPECT_EQ(r.height(), 23);
}

// The system widens owner-drawn popup items by a check mark's width; without
// it the text runs to the menu's edge and the submenu arrow has no room.
TEST(QtMenusTest, OwnerDrawnPopupItemsGetRoomForACheckMark) {
    TPopupMenu menu(nullptr);
    TMenuItem& item = menu.Items().Add("&Time Servers");
    item.OnMeasureItem = MeasureItemHandler([](TMenuItem&, Canvas&, int& w, int& h) {
        w = 40;
        h = 23;
    });
    menu.SetOwnerDraw(true);
    const QRect r = menu.Menu()->actionGeometry(menu.ActionOf(item));
    EXPECT_EQ(r.width(), 40 + OwnerDrawMenuStyle::kPopupItemCheckRoom);
    EXPECT_EQ(r.height(), 23);
}

// Items paint their whole rectangle; the popup's edge must stay outside them.
TEST(QtMenusTest, OwnerDrawnPopupKeepsABorderAroundItsItems) {
    TPopupMenu menu(nullptr);
    TMenuItem& item = menu.Items().Add("&Open Vintrel.");
    item.OnMeasureItem = MeasureItemHandler([](TMenuItem&, Canvas&, int& w, int& h) {
        w = 40;
        h = 23;
    });
    item.OnDrawItem = DrawItemHandler(
        [](TMenuItem&, Canvas& canvas, const Rect& r, bool) { canvas.FillRect(r, RGB(1, 2, 3)); });
    menu.SetOwnerDraw(true);
    QMenu& widget = *menu.Menu();
    const QRect r = widget.actionGeometry(menu.ActionOf(item));
    EXPECT_EQ(r.left(), OwnerDrawMenuStyle::kPopupBorder);
    EXPECT_EQ(r.top(), OwnerDrawMenuStyle::kPopupBorder);
    widget.resize(widget.sizeHint());
    EXPECT_EQ(widget.width(), r.width() + 2 * OwnerDrawMenuStyle::kPopupBorder);
    const QImage shot = widget.grab().toImage();
    EXPECT_NE(RgbFromQRgb(shot.pixel(0, r.center().y())), RGB(1, 2, 3));
    EXPECT_EQ(RgbFromQRgb(shot.pixel(r.center())), RGB(1, 2, 3));

    menu.SetOwnerDraw(false);
    EXPECT_EQ(widget.style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &widget),
              QApplication::style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &widget));
}

class MenuLookOnWindowTest : public ::testing::Test {
protected:
    MenuLookOnWindowTest() {
        mainMenu = new TMainMenu(&window);
        TMenuItem& file = mainMenu->Items().Add("&File");
        file.Add("&Ping Atomic Clock");
        file.Add("-");
        file.Add("&Time Servers").Add("192.0.2.1");
        mainMenu->Items().Add("&Help").Add("&About this program");
        popupMenu = new TPopupMenu(&window);
        popupMenu->Items().Add("&Open Vintrel.");
        popupMenu->Items().Add("E&xit");
    }

    static std::vector<TMenuItem*> ItemsOf(TMenu& menu) {
        std::vector<TMenuItem*> items;
        for (int i = 0; i < menu.Items().Count(); ++i)
            ForEachItem(menu.Items().Item(i), [&](TMenuItem& item) { items.push_back(&item); });
        return items;
    }
    int HookedCount(TMenu& menu, const TMenuLook& look) {
        int hooked = 0;
        for (TMenuItem* item : ItemsOf(menu)) hooked += look.IsHooked(*item) ? 1 : 0;
        return hooked;
    }

    FixedLookEnvironment environment;
    QMainWindow window;
    TMainMenu* mainMenu;
    TPopupMenu* popupMenu;
};

TEST_F(MenuLookOnWindowTest, ConstructionSetsTheDescribedValues) {
    TMenuLook look(&window, environment);
    EXPECT_EQ(look.HostForm(), &window);
    EXPECT_FALSE(look.Active());
    EXPECT_EQ(look.DimLevel(), 30);
    EXPECT_EQ(look.GrayLevel(), 10);
    EXPECT_EQ(look.Font(), (FontFace{"Tahoma", -11, clMenuText}));
    EXPECT_EQ(look.GetColor(), clBtnFace);
    EXPECT_EQ(look.IconBackColor(), clBtnFace);
    EXPECT_EQ(look.MenuBarColor(), clBtnFace);
    EXPECT_EQ(look.SelectColor(), clHighlight);
    EXPECT_EQ(look.SelectBorderColor(), clHighlight);
    EXPECT_EQ(look.SelectFontColor(), clMenuText);
    EXPECT_EQ(look.DisabledColor(), clInactiveCaption);
    EXPECT_EQ(look.SeparatorColor(), clBtnFace);
    EXPECT_EQ(look.CheckedColor(), clHighlight);
    EXPECT_EQ(look.IconWidth(), 24);
    EXPECT_TRUE(look.DrawSelect());
    EXPECT_TRUE(look.UseSystemColors());
    EXPECT_FALSE(look.OverrideOwnerDraw());
    EXPECT_FALSE(look.Gradient());
    EXPECT_FALSE(look.FlatMenu());
    EXPECT_FALSE(look.AutoDetect());
    EXPECT_EQ(look.LookContainers().Bits(), 30);
    EXPECT_EQ(look.LookControls().Bits(), 479);
    EXPECT_FALSE(look.LookContainersStored());
    EXPECT_FALSE(look.LookControlsStored());
    look.SetLookControls(LookSet{xcMainMenu});
    EXPECT_TRUE(look.LookControlsStored());
    EXPECT_EQ(HookedCount(*mainMenu, look), 0);
    EXPECT_EQ(look.HostMainMenu(), mainMenu);
}

TEST_F(MenuLookOnWindowTest, ActivationHooksBothMenusAndDeactivationUnhooksThem) {
    TMenuLook look(&window, environment);
    look.SetActive(true);
    EXPECT_TRUE(mainMenu->OwnerDraw());
    EXPECT_TRUE(popupMenu->OwnerDraw());
    EXPECT_EQ(HookedCount(*mainMenu, look), 7);
    EXPECT_EQ(HookedCount(*popupMenu, look), 2);
    look.SetActive(false);
    EXPECT_FALSE(mainMenu->OwnerDraw());
    EXPECT_FALSE(popupMenu->OwnerDraw());
    EXPECT_EQ(HookedCount(*mainMenu, look) + HookedCount(*popupMenu, look), 0);
}

TEST_F(MenuLookOnWindowTest, ControlSetDecidesWhichMenusAreHooked) {
    TMenuLook look(&window, environment);
    look.SetActive(true);
    look.SetLookControls(LookSet{xcMainMenu});
    EXPECT_EQ(HookedCount(*mainMenu, look), 7);
    EXPECT_EQ(HookedCount(*popupMenu, look), 0);
    EXPECT_FALSE(popupMenu->OwnerDraw());
}

TEST_F(MenuLookOnWindowTest, ApplicationDrawHandlerSurvivesActivation) {
    TMenuItem& about = mainMenu->Items().Item(1).Item(0);
    int own = 0;
    about.OnDrawItem =
        DrawItemHandler([&](TMenuItem&, Canvas&, const Rect&, bool) { ++own; }, &own);
    TMenuLook look(&window, environment);
    look.SetActive(true);
    look.SetActive(false);
    EXPECT_TRUE(about.OnDrawItem.IsFrom(&own));
    look.SetActive(true);
    look.SetOverrideOwnerDraw(true);  // runs the walk again, now taking over
    EXPECT_TRUE(look.IsHooked(about));
}

TEST_F(MenuLookOnWindowTest, AutoDetectHooksItemsAsTheyAreAdded) {
    TMenuLook look(&window, environment);
    look.SetActive(true);
    TMenuItem& late = popupMenu->Items().Add("Late");
    EXPECT_FALSE(look.IsHooked(late));
    look.SetAutoDetect(true);
    TMenuItem& later = popupMenu->Items().Add("Later");
    EXPECT_TRUE(look.IsHooked(later));
    EXPECT_TRUE(look.IsHooked(late));
}

TEST_F(MenuLookOnWindowTest, ActiveLookPaintsTheItemsOfItsMenus) {
    TMenuLook look(&window, environment);
    look.SetActive(true);
    QMenu* popup = popupMenu->Menu();
    popup->resize(popup->sizeHint());
    popup->grab();  // the first paint finds the popup
    const QImage shot = popup->grab().toImage();
    const QRect first = popup->actionGeometry(popup->actions()[0]);
    const int w = shot.width(), h = shot.height(), y = first.center().y();
    constexpr Color kIconColumn = RGB(219, 216, 209), kItem = RGB(249, 248, 247);
    // The margin between the style's frame and the items takes the items'
    // colours: the icon column runs on to the frame, with no band around it.
    const struct {
        QPoint at;
        Color colour;
    } pixels[] = {{{first.left() + 3, y}, kIconColumn},
                  {{first.right() - 3, first.top() + 2}, kItem},
                  {{1, y}, kIconColumn},
                  {{2, 1}, kIconColumn},
                  {{2, h - 2}, kIconColumn},
                  {{w - 2, y}, kItem},
                  {{w / 2, 1}, kItem},
                  {{w / 2, h - 2}, kItem}};
    for (const auto& p : pixels)
        EXPECT_EQ(RgbFromQRgb(shot.pixel(p.at)), p.colour) << p.at.x() << "," << p.at.y();
}

// The style fills the rest of the bar with the palette's window colour, which
// is not the items' face under most palettes: the bar would be two-tone.
TEST_F(MenuLookOnWindowTest, BarBeyondItsItemsTakesTheItemsColour) {
    TMenuLook look(&window, environment);
    look.SetActive(true);
    QMenuBar* bar = mainMenu->MenuBar();
    bar->resize(400, bar->sizeHint().height());
    bar->grab();  // the first paint finds the bar
    const QImage shot = bar->grab().toImage();
    const QRect help = bar->actionGeometry(bar->actions().last());
    const Color item = RgbFromQRgb(shot.pixel(help.left() + 1, help.top() + 1));
    EXPECT_EQ(item, RGB(212, 208, 200));
    EXPECT_EQ(RgbFromQRgb(shot.pixel(help.right() + 40, help.center().y())), item);
}

TEST_F(MenuLookOnWindowTest, FlatMenuFramesThePopupAfterItsItemsArePainted) {
    TMenuLook look(&window, environment);
    look.SetFlatMenu(true);
    look.SetActive(true);
    QMenu* popup = popupMenu->Menu();
    popup->resize(popup->sizeHint());
    popup->grab();  // the first paint finds the popup
    const QImage shot = popup->grab().toImage();
    const int w = shot.width(), h = shot.height();
    EXPECT_EQ(RgbFromQRgb(shot.pixel(0, h / 2)), RGB(122, 120, 110));
    EXPECT_EQ(RgbFromQRgb(shot.pixel(w - 1, h / 2)), RGB(136, 134, 124));
    EXPECT_EQ(RgbFromQRgb(shot.pixel(w - 1, 0)), RGB(212, 208, 200));
}

TEST_F(MenuLookOnWindowTest, DestroyingTheLookUnhooksTheMenus) {
    auto* look = new TMenuLook(&window, environment);
    look->SetActive(true);
    delete look;
    EXPECT_FALSE(mainMenu->OwnerDraw());
    for (TMenuItem* item : ItemsOf(*mainMenu)) EXPECT_FALSE(item->OnDrawItem);
}

TEST(MenuLookOwnerTest, OwnerMustBeAWidgetOrNothing) {
    QObject notAWindow;
    FixedLookEnvironment environment;
    EXPECT_THROW({ TMenuLook look(&notAWindow, environment); }, EInvalidCast);
    TMenuLook orphan(nullptr, environment);
    orphan.SetActive(true);
    EXPECT_EQ(orphan.HostForm(), nullptr);
    EXPECT_EQ(orphan.HostMainMenu(), nullptr);
}

TEST(MenuLookOwnerTest, WindowGoesWithItsMenusAndLookInAnyOrder) {
    FixedLookEnvironment environment;
    auto* window = new QMainWindow;
    auto* look = new TMenuLook(window, environment);
    auto* menu = new TMainMenu(window);
    menu->Items().Add("&File").Add("&Exit");
    look->SetAutoDetect(true);
    look->SetActive(true);
    delete window;
    SUCCEED();
}

TEST(QtLookEnvironmentTest, ReadsTheDesktopsPaletteAndMenuFont) {
    const LookEnvironment& desktop = DesktopLookEnvironment();
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(desktop.SysColor(COLOR_HIGHLIGHT),
              RgbFromQColor(palette.color(QPalette::Active, QPalette::Highlight)));
    EXPECT_EQ(desktop.SysColor(COLOR_BTNFACE),
              RgbFromQColor(palette.color(QPalette::Active, QPalette::Button)));
    const std::optional<FontFace> font = desktop.MenuFont();
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->Name, QApplication::font("QMenu").family().toStdString());
    EXPECT_LT(font->Height, 0);
    EXPECT_EQ(font->Color, clMenuText);
    EXPECT_FALSE(desktop.NtFamily());
}

}  // namespace
}  // namespace vintrel
