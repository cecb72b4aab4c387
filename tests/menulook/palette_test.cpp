#include "menulook/working_palette.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "menulook/look_environment.h"
#include "menulook/menu_look_rules.h"
#include "tests/support/raster_canvas.h"

namespace vintrel {
namespace {

using testing::RasterCanvas;

const FixedLookEnvironment kClassic;

TEST(WorkingPaletteTest, SystemColoursOnADeepSurface) {
    WorkingPalette p = PaletteFromSettings(MenuLookSettings{}, true, kClassic);
    ApplySystemColors(p, true, clMenuText, kClassic);
    EXPECT_EQ(p.WorkingColor, RGB(249, 248, 247));
    EXPECT_EQ(p.WorkingIconBackColor, RGB(219, 216, 209));
    EXPECT_EQ(p.WorkingSelectColor, RGB(177, 185, 207));
    EXPECT_EQ(p.WorkingSelectBorderColor, clHighlight);
    EXPECT_EQ(p.WorkingSelectFontColor, clMenuText);
    EXPECT_EQ(p.CheckBoxColor, RGB(206, 211, 225));
    EXPECT_EQ(p.CheckBoxSelectColor, RGB(132, 146, 180));
    EXPECT_EQ(p.WorkingCheckedColor, clHighlight);
    EXPECT_EQ(p.WorkingMenuBarColor, clBtnFace);
    EXPECT_EQ(p.WorkingDisabledColor, RGB(141, 141, 141));
    EXPECT_EQ(p.WorkingSeparatorColor, RGB(160, 160, 160));
    // The popup frame colours always come from the first two columns.
    EXPECT_EQ(p.PopupBorderColor, RGB(122, 120, 110));
    EXPECT_EQ(p.PopupShadowColor, RGB(136, 134, 124));
}

TEST(WorkingPaletteTest, SystemColoursOnAShallowSurface) {
    WorkingPalette p = PaletteFromSettings(MenuLookSettings{}, false, kClassic);
    ApplySystemColors(p, false, clMenuText, kClassic);
    const WorkingPalette expected{clWhite,     clBtnFace,   clWhite,     clHighlight, clMenuText,
                                  clWhite,     clWhite,     clHighlight, clBtnFace,   clBtnShadow,
                                  clBtnShadow, clBtnShadow, clBtnShadow};
    EXPECT_EQ(p, expected);
}

TEST(WorkingPaletteTest, PropertiesOnADeepAndAShallowSurface) {
    MenuLookSettings s;
    s.Color = RGB(1, 1, 1);
    s.IconBackColor = RGB(2, 2, 2);
    s.SelectColor = RGB(0, 0, 100);
    s.SelectBorderColor = RGB(3, 3, 3);
    s.SelectFontColor = RGB(4, 4, 4);
    s.CheckedColor = RGB(5, 5, 5);
    s.MenuBarColor = RGB(6, 6, 6);
    s.DisabledColor = RGB(7, 7, 7);
    s.SeparatorColor = RGB(8, 8, 8);

    const WorkingPalette deep = PaletteFromSettings(s, true, kClassic);
    const WorkingPalette expectedDeep{
        RGB(1, 1, 1),       RGB(2, 2, 2),       RGB(173, 173, 205), RGB(3, 3, 3), RGB(4, 4, 4),
        RGB(204, 204, 224), RGB(128, 128, 178), RGB(5, 5, 5),       RGB(6, 6, 6), RGB(7, 7, 7),
        RGB(8, 8, 8),       RGB(122, 120, 110), RGB(136, 134, 124)};
    EXPECT_EQ(deep, expectedDeep);

    const WorkingPalette shallow = PaletteFromSettings(s, false, kClassic);
    const WorkingPalette expectedShallow{RGB(1, 1, 1), RGB(2, 2, 2), RGB(0, 0, 100), RGB(3, 3, 3),
                                         RGB(4, 4, 4), clWhite,      clSilver,       RGB(5, 5, 5),
                                         RGB(6, 6, 6), RGB(7, 7, 7), RGB(8, 8, 8),   clBtnShadow,
                                         clBtnShadow};
    EXPECT_EQ(shallow, expectedShallow);
}

class PaintingRules : public MenuLookRules {
public:
    using MenuLookRules::MenuLookRules;
};

TEST(ApplyWorkingPaletteTest, SamplesTheDepthOfEverySurface) {
    PaintingRules look(kClassic);
    RasterCanvas deep(1, 1, 32);
    RasterCanvas shallow(1, 1, 8);
    look.ApplyWorkingPalette(deep);
    EXPECT_TRUE(look.DeepColor());
    EXPECT_EQ(look.Palette().WorkingColor, RGB(249, 248, 247));
    look.ApplyWorkingPalette(shallow);
    EXPECT_FALSE(look.DeepColor());
    EXPECT_EQ(look.Palette().WorkingColor, clWhite);
    RasterCanvas sixteen(1, 1, 16);
    look.ApplyWorkingPalette(sixteen);
    EXPECT_TRUE(look.DeepColor());
}

// An assigned font gives way to the system menu font at the next paint while
// UseSystemColors is set, and only then.
TEST(ApplyWorkingPaletteTest, SystemColoursReplaceTheAssignedFontAtPaint) {
    FixedLookEnvironment environment;
    environment.SetMenuFont(FontFace{"Menu Face", -12, clBlack});
    PaintingRules look(environment);
    RasterCanvas canvas(1, 1, 32);
    look.SetFont({"Assigned", -20, RGB(1, 2, 3)});
    look.SetUseSystemColors(false);
    look.ApplyWorkingPalette(canvas);
    EXPECT_EQ(look.Font().Name, "Assigned");
    EXPECT_EQ(look.Palette().WorkingSelectFontColor, look.SelectFontColor());

    look.SetUseSystemColors(true);
    look.ApplyWorkingPalette(canvas);
    EXPECT_EQ(look.Font().Name, "Menu Face");
    EXPECT_EQ(look.Font().Height, -12);
    EXPECT_EQ(look.Font().Color, clMenuText);
    EXPECT_EQ(look.Palette().WorkingSelectFontColor, clMenuText);
}

TEST(LoadSystemMenuFontTest, RenamesMsSansSerifAndKeepsTheFontWhenUnreadable) {
    FixedLookEnvironment environment;
    environment.SetMenuFont(FontFace{"MS Sans Serif", -11, clBlack});
    PaintingRules look(environment);
    FontFace font{"Old", -9, RGB(1, 2, 3)};
    look.LoadSystemMenuFont(font);
    EXPECT_EQ(font.Name, "Tahoma");
    EXPECT_EQ(font.Color, clMenuText);

    environment.SetMenuFont(std::nullopt);
    FontFace kept{"Old", -9, RGB(1, 2, 3)};
    look.LoadSystemMenuFont(kept);
    EXPECT_EQ(kept, (FontFace{"Old", -9, RGB(1, 2, 3)}));
}

TEST(MenuLookRulesTest, ConstructionLoadsTheMenuFontAndTakesItsColourForSelections) {
    FixedLookEnvironment environment;
    environment.SetMenuFont(FontFace{"Menu Face", -12, clBlack});
    PaintingRules look(environment);
    EXPECT_EQ(look.Font().Name, "Menu Face");
    EXPECT_EQ(look.SelectFontColor(), clMenuText);
    EXPECT_FALSE(look.Active());

    environment.SetMenuFont(std::nullopt);
    PaintingRules fallback(environment);
    EXPECT_EQ(fallback.Font(), FontFace{});
    EXPECT_EQ(fallback.SelectFontColor(), clWindowText);
}

// ---- Readable under any desktop palette ----------------------------------------

struct DesktopCase {
    const char* name;
    Color face, paper, text, highlight, shadow;
};

void PrintTo(const DesktopCase& c, std::ostream* os) {
    *os << c.name;
}

int Luma(Color c) {
    return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
}

int Contrast(Color a, Color b) {
    return std::abs(Luma(a) - Luma(b));
}

class ReadablePaletteTest : public ::testing::TestWithParam<DesktopCase> {};

// Pins white menu text on light grey under a dark palette.
TEST_P(ReadablePaletteTest, TextStandsOutFromEveryGroundItIsWrittenOn) {
    const DesktopCase& c = GetParam();
    FixedLookEnvironment desktop;
    desktop.SetSysColor(COLOR_BTNFACE, c.face);
    desktop.SetSysColor(COLOR_WINDOW, c.paper);
    desktop.SetSysColor(COLOR_MENUTEXT, c.text);
    desktop.SetSysColor(COLOR_HIGHLIGHT, c.highlight);
    desktop.SetSysColor(COLOR_BTNSHADOW, c.shadow);
    for (bool deep : {true, false}) {
        WorkingPalette p = PaletteFromSettings(MenuLookSettings{}, deep, desktop);
        ApplySystemColors(p, deep, clMenuText, desktop);
        const Color text = ColorToRGB(clMenuText, desktop);
        const auto ground = [&](Color col) { return ColorToRGB(col, desktop); };
        EXPECT_GE(Contrast(ground(p.WorkingColor), text), 100) << "items, deep " << deep;
        EXPECT_GE(Contrast(ground(p.WorkingSelectColor), ground(p.WorkingSelectFontColor)), 100)
            << "highlighted item, deep " << deep;
        EXPECT_GE(Contrast(ground(p.WorkingMenuBarColor), text), 100) << "menu bar, deep " << deep;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, ReadablePaletteTest,
    ::testing::Values(DesktopCase{"Classic", RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),
                                  RGB(10, 36, 106), RGB(128, 128, 128)},
                      DesktopCase{"Dark", RGB(53, 53, 53), RGB(42, 42, 42), RGB(255, 255, 255),
                                  RGB(42, 130, 218), RGB(35, 35, 35)},
                      DesktopCase{"HighContrastBlack", RGB(0, 0, 0), RGB(0, 0, 0),
                                  RGB(255, 255, 255), RGB(26, 235, 255), RGB(128, 128, 128)},
                      DesktopCase{"HighContrastWhite", RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(0, 0, 0), RGB(55, 0, 110), RGB(128, 128, 128)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
