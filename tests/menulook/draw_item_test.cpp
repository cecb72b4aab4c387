#include <gtest/gtest.h>

#include "tests/menulook/test_look.h"
#include "tests/support/raster_canvas.h"

namespace vintrel {
namespace {

using testing::RasterCanvas;
using testing::TestLook;

// The classic scheme with UseSystemColors on a deep surface.
constexpr Color kItem = RGB(249, 248, 247);
constexpr Color kIconColumn = RGB(219, 216, 209);
constexpr Color kSelect = RGB(177, 185, 207);
constexpr Color kBorder = RGB(10, 36, 106);
constexpr Color kCheckBox = RGB(206, 211, 225);
constexpr Color kCheckBoxSelected = RGB(132, 146, 180);
constexpr Color kSeparator = RGB(160, 160, 160);
constexpr Color kDisabledText = RGB(141, 141, 141);
constexpr Color kFace = RGB(212, 208, 200);
constexpr Color kUntouched = RGB(255, 0, 255);
constexpr Color kRed = RGB(255, 0, 0);

class DrawMenuItemTest : public ::testing::Test {
protected:
    DrawMenuItemTest() { look.Activate(); }

    TMenuItem& Add(const char* caption) { return menu.Items().Add(caption); }
    void Draw(TMenuItem& item, bool selected, Rect rect = {0, 0, 100, 24}) {
        look.DrawMenuItem(item, canvas, rect, selected);
    }
    Color At(int x, int y) const { return canvas.Surface().Pixel(x, y); }
    int CountOf(Color c) const {
        int count = 0;
        for (int y = 0; y < canvas.Surface().Height(); ++y)
            for (int x = 0; x < canvas.Surface().Width(); ++x) count += At(x, y) == c ? 1 : 0;
        return count;
    }

    FixedLookEnvironment environment;
    TestLook look{environment};
    TMenu menu{MenuKind::Popup};
    RasterCanvas canvas{120, 40};
};

TEST_F(DrawMenuItemTest, IdleItemHasItsColumnAndTextOneRowTaller) {
    TMenuItem& item = Add("&Open");
    Draw(item, false, {0, 0, 100, 23});
    EXPECT_EQ(At(5, 10), kIconColumn);
    EXPECT_EQ(At(50, 10), kItem);
    EXPECT_EQ(At(50, 23), kItem);  // the extra row below the rectangle
    EXPECT_EQ(At(50, 24), kUntouched);
    ASSERT_EQ(canvas.Texts().size(), 1u);
    const auto& text = canvas.Texts()[0];
    EXPECT_EQ(text.text, " &Open");
    EXPECT_EQ(text.box, (Rect{29, 5, 100, 24}));
    EXPECT_EQ(text.format, DT_LEFT);
    EXPECT_EQ(text.color, clBlack);
}

TEST_F(DrawMenuItemTest, HighlightBoxIsFilledAndFramedInsideTheItem) {
    TMenuItem& item = Add("Open");
    Draw(item, true, {0, 0, 100, 23});
    EXPECT_EQ(At(50, 0), kItem);
    EXPECT_EQ(At(0, 1), kBorder);
    EXPECT_EQ(At(99, 1), kBorder);
    EXPECT_EQ(At(50, 22), kBorder);
    EXPECT_EQ(At(50, 10), kSelect);
    EXPECT_EQ(At(5, 10), kSelect);
    EXPECT_EQ(At(50, 23), kItem);
}

TEST_F(DrawMenuItemTest, FlatMenuHighlightIsOneColumnNarrower) {
    look.SetFlatMenu(true);
    TMenuItem& item = Add("Open");
    Draw(item, true, {0, 0, 100, 23});
    EXPECT_EQ(At(98, 10), kBorder);
    EXPECT_EQ(At(99, 10), kItem);
    EXPECT_EQ(look.popupItemsDrawn, 1);
}

TEST_F(DrawMenuItemTest, HighlightedDisabledItemKeepsThePixelsBeneath) {
    TMenuItem& item = Add("Open");
    item.SetEnabled(false);
    Draw(item, true);
    EXPECT_EQ(At(50, 10), kUntouched);
    EXPECT_EQ(At(5, 10), kUntouched);
    ASSERT_EQ(canvas.Texts().size(), 1u);
    EXPECT_EQ(canvas.Texts()[0].color, kDisabledText);
    Draw(item, false);
    EXPECT_EQ(At(50, 10), kItem);
}

TEST_F(DrawMenuItemTest, SeparatorLineLiesAtTopPlusTwoWithoutText) {
    TMenuItem& item = Add("-");
    Draw(item, false, {0, 10, 100, 14});
    EXPECT_EQ(At(31, 12), kSeparator);
    EXPECT_EQ(At(99, 12), kSeparator);
    EXPECT_EQ(At(30, 12), kItem);
    EXPECT_EQ(At(50, 11), kItem);
    EXPECT_EQ(At(50, 13), kItem);
    EXPECT_TRUE(canvas.Texts().empty());
}

TEST_F(DrawMenuItemTest, CheckedItemGetsAFramedBoxWithATickLeavingItsTopRight) {
    TMenuItem& item = Add("Auto");
    item.SetChecked(true);
    Draw(item, false);  // column 24 × 25 from x 0: box (7, 7)–(17, 17)
    EXPECT_EQ(At(7, 7), kBorder);
    EXPECT_EQ(At(16, 16), kBorder);
    EXPECT_EQ(At(17, 12), kIconColumn);
    EXPECT_EQ(At(6, 12), kIconColumn);
    EXPECT_EQ(At(9, 9), kCheckBox);
    EXPECT_EQ(At(8, 12), clBlack);
    EXPECT_EQ(At(11, 15), clBlack);
    EXPECT_EQ(At(18, 7), clBlack);  // outside the box, towards (19, 6)
    EXPECT_EQ(At(19, 6), kIconColumn);
    Draw(item, true);
    EXPECT_EQ(At(9, 9), kCheckBoxSelected);
}

TEST_F(DrawMenuItemTest, CheckedRadioItemIsADotInTheBox) {
    TMenuItem& item = Add("192.0.2.1");
    item.SetRadioItem(true);
    item.SetChecked(true);
    Draw(item, false);
    ASSERT_EQ(canvas.Shapes().size(), 1u);
    EXPECT_EQ(canvas.Shapes()[0].kind, "ellipse");
    EXPECT_EQ(canvas.Shapes()[0].rect, (Rect{7, 7, 17, 17}));
    EXPECT_EQ(canvas.Shapes()[0].pen, kBorder);
    EXPECT_EQ(canvas.Shapes()[0].brush, kCheckBox);
}

TEST_F(DrawMenuItemTest, UncheckedItemsHaveNoBox) {
    TMenuItem& item = Add("Auto");
    item.SetRadioItem(true);
    Draw(item, true);
    EXPECT_TRUE(canvas.Shapes().empty());
    EXPECT_EQ(At(9, 9), kSelect);
}

// A 16 × 16 glyph: a red square (4..11) on the transparent colour magenta.
Bitmap Glyph() {
    Bitmap glyph(16, 16, kUntouched);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) glyph.SetPixel(x, y, kRed);
    return glyph;
}

constexpr Color kShadow = RGB(127, 137, 157);  // DarkenColor(kSelect, 50)

TEST_F(DrawMenuItemTest, IdleImageRestsWashedOut) {
    TMenuItem& item = Add("Ping");
    item.SetBitmap(Glyph());
    Draw(item, false);  // resting at (3, 4): the square covers 7..14 × 8..15
    EXPECT_EQ(At(7, 8), RGB(255, 76, 76));
    EXPECT_EQ(At(14, 15), RGB(255, 76, 76));
    EXPECT_EQ(At(6, 8), kIconColumn);
    EXPECT_EQ(item.GetBitmap().Pixel(4, 4), kRed);  // the item's own image stays
}

TEST_F(DrawMenuItemTest, HighlightedImageIsLiftedOverItsShadow) {
    TMenuItem& item = Add("Ping");
    item.SetBitmap(Glyph());
    Draw(item, true);
    EXPECT_EQ(At(6, 7), kRed);  // one up and left of rest
    EXPECT_EQ(At(13, 14), kRed);
    EXPECT_EQ(At(14, 15), kShadow);  // one down and right of rest
    EXPECT_EQ(At(15, 16), kShadow);
    EXPECT_EQ(At(8, 16), kShadow);
    EXPECT_EQ(At(7, 16), kSelect);
}

TEST_F(DrawMenuItemTest, CheckedImageIsNeitherLiftedWashedNorShadowed) {
    TMenuItem& item = Add("Ping");
    item.SetBitmap(Glyph());
    item.SetChecked(true);
    Draw(item, true);
    EXPECT_EQ(At(7, 8), kRed);
    EXPECT_EQ(At(14, 15), kRed);
    EXPECT_EQ(CountOf(kShadow), 0);
    Draw(item, false);
    EXPECT_EQ(At(7, 8), kRed);
}

TEST_F(DrawMenuItemTest, DisabledImageIsGreyedAndWashedInPlace) {
    TMenuItem& item = Add("Ping");
    item.SetBitmap(Glyph());
    item.SetEnabled(false);
    Draw(item, true);
    EXPECT_EQ(At(7, 8), RGB(159, 159, 159));
    EXPECT_EQ(At(14, 15), RGB(159, 159, 159));
    EXPECT_EQ(CountOf(kShadow), 0);
}

TEST_F(DrawMenuItemTest, ShallowSurfaceNeverWashesIdleImages) {
    RasterCanvas shallow(120, 40, 8);
    shallow.SetColorTable({clBlack, clWhite, kRed, kUntouched, kFace, kBorder, RGB(128, 128, 128)});
    TMenuItem& item = Add("Ping");
    item.SetBitmap(Glyph());
    look.DrawMenuItem(item, shallow, {0, 0, 100, 24}, false);
    EXPECT_EQ(shallow.Surface().Pixel(7, 8), kRed);
    EXPECT_EQ(shallow.Surface().Pixel(50, 10), clWhite);  // WorkingColor
    EXPECT_EQ(shallow.Surface().Pixel(5, 10), kFace);     // WorkingIconBackColor
    look.DrawMenuItem(item, shallow, {0, 0, 100, 24}, true);
    EXPECT_EQ(shallow.Surface().Pixel(50, 10), clWhite);  // WorkingSelectColor
    EXPECT_EQ(shallow.Surface().Pixel(50, 1), kBorder);
}

TEST_F(DrawMenuItemTest, DefaultItemGetsAFourfoldHaloUnderItsText) {
    TMenuItem& item = Add("Open");
    item.SetDefault(true);
    Draw(item, false);
    ASSERT_EQ(canvas.Texts().size(), 5u);
    const auto& t = canvas.Texts();
    EXPECT_EQ(t[0].box, (Rect{30, 6, 100, 25}));
    EXPECT_EQ(t[0].color, RGB(219, 220, 217));
    EXPECT_EQ(t[1].box, (Rect{30, 8, 101, 25}));
    EXPECT_EQ(t[1].color, RGB(219, 220, 217));
    EXPECT_EQ(t[2].box, (Rect{29, 7, 100, 25}));
    EXPECT_EQ(t[2].color, RGB(209, 210, 207));
    EXPECT_EQ(t[3].box, (Rect{30, 7, 101, 25}));
    EXPECT_EQ(t[3].color, RGB(189, 190, 187));
    EXPECT_EQ(t[4].box, (Rect{29, 6, 100, 25}));
    EXPECT_EQ(t[4].color, clBlack);
    item.SetEnabled(false);
    RasterCanvas plain(120, 40);
    look.DrawMenuItem(item, plain, {0, 0, 100, 24}, false);
    EXPECT_EQ(plain.Texts().size(), 1u);
}

// Without the arrow a submenu could only be found by pointing at every item.
TEST_F(DrawMenuItemTest, ParentItemGetsAnArrowInTheTextColour) {
    TMenuItem& servers = Add("&Time Servers");
    servers.Add("192.0.2.1");
    Draw(servers, false);
    // A triangle seven pixels high whose base stands ten pixels inside the right edge.
    EXPECT_EQ(At(90, 9), clBlack);
    EXPECT_EQ(At(90, 15), clBlack);
    EXPECT_EQ(At(90, 16), kItem);
    EXPECT_EQ(At(93, 12), clBlack);
    EXPECT_EQ(At(94, 12), kItem);
    EXPECT_EQ(At(93, 11), kItem);

    servers.SetEnabled(false);
    Draw(servers, false);
    EXPECT_EQ(At(90, 12), kDisabledText);
}

TEST_F(DrawMenuItemTest, OnlyParentItemsGetAnArrow) {
    TMenuItem& item = Add("&Exit");
    Draw(item, false);
    EXPECT_EQ(At(90, 12), kItem);
}

TEST_F(DrawMenuItemTest, RightToLeftArrowPointsLeft) {
    menu.SetRightToLeft(true);
    TMenuItem& servers = Add("&Time Servers");
    servers.Add("192.0.2.1");
    Draw(servers, false);
    EXPECT_EQ(At(9, 9), clBlack);
    EXPECT_EQ(At(6, 12), clBlack);
    EXPECT_EQ(At(5, 12), kItem);
}

TEST_F(DrawMenuItemTest, ShortcutIsRightAlignedAndLighter) {
    TMenuItem& item = Add("Open");
    item.SetShortCut("Ctrl+O");
    Draw(item, false);
    ASSERT_EQ(canvas.Texts().size(), 2u);
    const auto& shortCut = canvas.Texts()[1];
    EXPECT_EQ(shortCut.text, "Ctrl+O ");
    EXPECT_EQ(shortCut.format, DT_RIGHT);
    EXPECT_EQ(shortCut.box.right, 90);
    EXPECT_EQ(shortCut.color, RGB(40, 42, 40));
}

TEST_F(DrawMenuItemTest, RightToLeftMenuMirrorsColumnBoxAndText) {
    menu.SetRightToLeft(true);
    TMenuItem& item = Add("Auto");
    item.SetChecked(true);
    Draw(item, false);
    EXPECT_EQ(At(80, 10), kIconColumn);
    EXPECT_EQ(At(20, 10), kItem);
    EXPECT_EQ(At(83, 7), kBorder);
    ASSERT_EQ(canvas.Texts().size(), 1u);
    EXPECT_EQ(canvas.Texts()[0].format, DT_RIGHT | DT_RTLREADING);
    EXPECT_EQ(canvas.Texts()[0].box.right, 71);
    EXPECT_EQ(canvas.Font().Charset, ARABIC_CHARSET);
}

TEST_F(DrawMenuItemTest, GradientFillsOneColumnPastTheWidenedRectangle) {
    look.SetGradient(true);
    TMenuItem& item = Add("Open");
    Draw(item, false);
    EXPECT_EQ(At(0, 10), kIconColumn);          // k = 1
    EXPECT_EQ(At(28, 10), RGB(250, 249, 248));  // k = 1 + 28 × 3 = 85
    EXPECT_EQ(At(39, 10), RGB(254, 253, 253));  // k reaches its cap of 96
    EXPECT_EQ(At(102, 10), RGB(254, 253, 253));
    EXPECT_EQ(At(103, 10), kUntouched);
}

class BarItemTest : public DrawMenuItemTest {
protected:
    BarItemTest() { look.hostMenu = &bar; }
    TMenu bar{MenuKind::Main};
};

TEST_F(BarItemTest, BarItemFillsItsWholeRectangleWithTheBarColour) {
    TMenuItem& file = bar.Items().Add("&File");
    look.DrawMenuItem(file, canvas, {10, 0, 50, 20}, false);
    EXPECT_EQ(At(10, 10), kFace);
    EXPECT_EQ(At(49, 20), kFace);
    EXPECT_EQ(At(50, 10), kUntouched);
    ASSERT_EQ(canvas.Texts().size(), 1u);
    EXPECT_EQ(canvas.Texts()[0].box.left, 15);
}

TEST_F(BarItemTest, NtFamilyWidensTheBarItemByEight) {
    environment.SetNtFamily(true);
    TMenuItem& file = bar.Items().Add("&File");
    look.DrawMenuItem(file, canvas, {10, 0, 50, 20}, false);
    EXPECT_EQ(At(57, 10), kFace);
    EXPECT_EQ(At(58, 10), kUntouched);
}

TEST_F(BarItemTest, SelectedBarItemTextKeepsTheFontColourOnALightColumn) {
    TMenuItem& file = bar.Items().Add("&File");
    look.DrawMenuItem(file, canvas, {10, 0, 50, 20}, true);
    ASSERT_EQ(canvas.Texts().size(), 1u);
    EXPECT_EQ(canvas.Texts()[0].color, clBlack);
}

// Shadow steps of DarkenColor(clBtnFace, 10, 30, 60, 100).
constexpr Color kStep10 = RGB(202, 200, 190);
constexpr Color kStep30 = RGB(182, 180, 170);
constexpr Color kStep60 = RGB(152, 150, 140);
constexpr Color kStep100 = RGB(112, 110, 100);

TEST_F(BarItemTest, DeepLeftToRightHighlightEndsEightShortWithASteppedShadow) {
    look.ApplyWorkingPalette(canvas);
    look.DrawBarItemHighlight(LookOwner::MenuItem, canvas, false, clBtnFace, {10, 0, 60, 20});
    EXPECT_EQ(At(10, 0), kBorder);
    EXPECT_EQ(At(10, 19), kBorder);
    EXPECT_EQ(At(52, 0), kBorder);
    EXPECT_EQ(At(52, 19), kBorder);
    EXPECT_EQ(At(30, 10), kSelect);
    EXPECT_EQ(At(30, 19), kSelect);  // open at the bottom
    EXPECT_EQ(At(53, 0), kStep10);
    EXPECT_EQ(At(59, 19), kStep10);
    EXPECT_EQ(At(57, 19), kStep30);
    EXPECT_EQ(At(55, 19), kStep60);
    EXPECT_EQ(At(53, 19), kStep100);
    EXPECT_EQ(At(59, 1), kFace);  // the rounded top
    EXPECT_EQ(At(55, 1), kFace);
    EXPECT_EQ(At(57, 3), kStep10);
    EXPECT_EQ(At(55, 5), kStep30);
    EXPECT_EQ(At(54, 5), RGB(172, 170, 160));  // DarkenColor(c, 40)
    EXPECT_EQ(At(54, 6), RGB(172, 170, 160));
}

TEST_F(BarItemTest, RightToLeftOrShallowHighlightEndsThreeShort) {
    for (int depth : {32, 8}) {
        RasterCanvas surface(120, 40, depth);
        surface.SetColorTable({kSelect, kBorder, kFace, RGB(142, 140, 130), clWhite});
        look.ApplyWorkingPalette(surface);
        look.DrawBarItemHighlight(LookOwner::MenuItem, surface, depth == 32, clBtnFace,
                                  {10, 0, 60, 20});
        EXPECT_EQ(surface.Surface().Pixel(57, 0), kBorder) << depth;
        EXPECT_EQ(surface.Surface().Pixel(57, 19), kBorder) << depth;
        EXPECT_EQ(surface.Surface().Pixel(58, 0), kFace) << depth;
        EXPECT_EQ(surface.Surface().Pixel(59, 1), kFace) << depth;
        EXPECT_EQ(surface.Surface().Pixel(58, 2), RGB(142, 140, 130)) << depth;
        EXPECT_EQ(surface.Surface().Pixel(59, 19), RGB(142, 140, 130)) << depth;
    }
}

TEST_F(DrawMenuItemTest, InactiveLookDrawsNothing) {
    look.Activate(false);
    TMenuItem& item = Add("Open");
    Draw(item, true);
    EXPECT_EQ(CountOf(kUntouched), 120 * 40);
    EXPECT_TRUE(canvas.Texts().empty());
}

}  // namespace
}  // namespace vintrel
