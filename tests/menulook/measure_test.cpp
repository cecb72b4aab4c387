#include <gtest/gtest.h>

#include "menulook/image_list.h"
#include "tests/menulook/test_look.h"
#include "tests/support/raster_canvas.h"

namespace vintrel {
namespace {

using testing::RasterCanvas;
using testing::TestLook;

struct MeasureCase {
    const char* name;
    const char* caption;
    const char* shortCut;
    int imageWidth;
    int imageHeight;
    int textHeight;
    int proposedWidth;
    int proposedHeight;
    int width;
    int height;
};

class MeasureMenuItemTest : public ::testing::TestWithParam<MeasureCase> {};

// Characters are 7 pixels wide, "&" 4, so a wrongly counted "&" shows.
TEST_P(MeasureMenuItemTest, GivesTheDescribedSize) {
    const MeasureCase& c = GetParam();
    const FixedLookEnvironment environment;
    TestLook look(environment);
    look.Activate();
    TMenu menu(MenuKind::Popup);
    TMenuItem& item = menu.Items().Add(c.caption);
    item.SetShortCut(c.shortCut);
    if (c.imageWidth > 0) item.SetBitmap(Bitmap(c.imageWidth, c.imageHeight));
    RasterCanvas canvas(1, 1);
    canvas.SetCharWidth(7);
    canvas.SetCharWidth('&', 4);
    canvas.SetTextHeight(c.textHeight);
    int width = c.proposedWidth;
    int height = c.proposedHeight;
    look.MeasureMenuItem(item, canvas, width, height);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MeasureMenuItemTest,
    ::testing::Values(
        MeasureCase{"access_key_ampersand_not_counted", "&File", "", 0, 0, 13, 0, 0, 62, 23},
        MeasureCase{"two_ampersands_subtract_one_only", "A&&B", "", 0, 0, 13, 0, 0, 52, 23},
        MeasureCase{"separator_is_four_high_whatever_proposed", "-", "", 0, 0, 13, 0, 30, 34, 4},
        MeasureCase{"separator_keeps_a_wider_proposal", "-", "", 0, 0, 13, 100, 2, 100, 4},
        MeasureCase{"leading_dash_is_plain_text", "-x", "", 0, 0, 13, 0, 0, 48, 23},
        MeasureCase{"shortcut_appends_text_and_www", "Open", "Ctrl+O", 0, 0, 13, 0, 0, 125, 23},
        MeasureCase{"blank_shortcut_appends_nothing", "Open", "  ", 0, 0, 13, 0, 0, 62, 23},
        MeasureCase{"text_height_14_rounds_half_to_even", "Open", "", 0, 0, 14, 0, 0, 62, 24},
        MeasureCase{"image_16_fits_text_height_13", "Open", "", 16, 16, 13, 0, 0, 62, 23},
        MeasureCase{"wide_tall_image_widens_and_heightens", "Open", "", 30, 20, 13, 0, 0, 68, 26},
        MeasureCase{"larger_proposal_kept", "Open", "", 0, 0, 13, 200, 40, 200, 40}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MeasureMenuItemTest, BarItemsHaveNoIconColumn) {
    const FixedLookEnvironment environment;
    TestLook look(environment);
    look.Activate();
    TMenu bar(MenuKind::Main);
    look.hostMenu = &bar;
    TMenuItem& file = bar.Items().Add("&File");
    TMenuItem& open = file.Add("Open");
    RasterCanvas canvas(1, 1);
    canvas.SetCharWidth('&', 4);
    int width = 0, height = 0;
    look.MeasureMenuItem(file, canvas, width, height);
    EXPECT_EQ(width, 28 + 10);
    width = 0;
    look.MeasureMenuItem(open, canvas, width, height);
    EXPECT_EQ(width, 28 + 24 + 10);
}

TEST(MeasureMenuItemTest, ListImagesSizeOnlyItemsWithAnIndex) {
    const FixedLookEnvironment environment;
    TestLook look(environment);
    look.Activate();
    TMenu menu(MenuKind::Popup);
    TImageList wide(32, 20);
    menu.SetImages(&wide);
    TMenuItem& listed = menu.Items().Add("a");
    listed.SetImageIndex(0);
    TMenuItem& unlisted = menu.Items().Add("a");
    unlisted.SetBitmap(Bitmap(40, 40));  // ignored once the menu has a list
    EXPECT_EQ(look.ItemImageSize(listed), (ImageSize{32, 20}));
    EXPECT_EQ(look.ItemImageSize(unlisted), (ImageSize{24, 0}));

    TImageList sub(16, 16);
    listed.SetSubMenuImages(&sub);
    TMenuItem& child = listed.Add("b");
    child.SetImageIndex(3);
    EXPECT_EQ(look.ItemImageSize(child), (ImageSize{24, 16}));
}

TEST(MeasureMenuItemTest, InactiveLookLeavesTheProposal) {
    const FixedLookEnvironment environment;
    TestLook look(environment);
    TMenu menu(MenuKind::Popup);
    TMenuItem& item = menu.Items().Add("-");
    RasterCanvas canvas(1, 1);
    int width = 5, height = 6;
    look.MeasureMenuItem(item, canvas, width, height);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 6);
}

}  // namespace
}  // namespace vintrel
