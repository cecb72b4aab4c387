#include "menulook/color_math.h"

#include <gtest/gtest.h>

#include "menulook/look_environment.h"

namespace vintrel {
namespace {

// The classic scheme: clBtnFace RGB(212, 208, 200), clHighlight RGB(10, 36, 106).
const FixedLookEnvironment kClassic;

struct RoundCase {
    const char* name;
    double value;
    int expected;
};

class RoundHalfEvenTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundHalfEvenTest,
                         ::testing::Values(RoundCase{"half_below_one_goes_down", 0.5, 0},
                                           RoundCase{"one_and_a_half_goes_up", 1.5, 2},
                                           RoundCase{"two_and_a_half_goes_down", 2.5, 2},
                                           RoundCase{"item_height_of_text_13", 9.75, 10},
                                           RoundCase{"item_height_of_text_14", 10.5, 10},
                                           RoundCase{"under_half", 122.49, 122},
                                           RoundCase{"over_half", 109.51, 110},
                                           RoundCase{"negative_half_goes_to_zero", -0.5, 0},
                                           RoundCase{"negative_one_and_a_half", -1.5, -2}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ColorCase {
    const char* name;
    Color (*compute)();
    Color expected;
};

class ColorArithmeticTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorArithmeticTest, GivesTheDescribedColour) {
    EXPECT_EQ(GetParam().compute(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorArithmeticTest,
    ::testing::Values(
        ColorCase{"darken_negative_lightens_green_least",
                  [] { return DarkenColor(clBlack, -40, kClassic); }, RGB(40, 42, 40)},
        ColorCase{"darken_green_two_less", [] { return DarkenColor(clBtnFace, 90, kClassic); },
                  RGB(122, 120, 110)},
        ColorCase{"darken_clamps_at_zero", [] { return DarkenColor(RGB(10, 1, 60), 50, kClassic); },
                  RGB(0, 0, 10)},
        ColorCase{"darken_clamps_at_255", [] { return DarkenColor(clWhite, -40, kClassic); },
                  clWhite},
        ColorCase{"lighten_over_100_is_white",
                  [] { return LightenColor(RGB(1, 2, 3), 150, kClassic); }, clWhite},
        ColorCase{"lighten_zero_keeps", [] { return LightenColor(RGB(1, 2, 3), 0, kClassic); },
                  RGB(1, 2, 3)},
        ColorCase{"lighten_red_40", [] { return LightenColor(RGB(255, 0, 0), 40, kClassic); },
                  RGB(255, 102, 102)},
        ColorCase{"lighten_halves_to_even", [] { return LightenColor(clHighlight, 50, kClassic); },
                  RGB(132, 146, 180)},
        ColorCase{"lighten_negative_never_wraps",
                  [] { return LightenColor(RGB(10, 10, 10), -200, kClassic); }, RGB(0, 0, 0)},
        ColorCase{"gray_white_capped_at_240", [] { return GrayOutColor(clWhite, 10, kClassic); },
                  RGB(240, 240, 240)},
        ColorCase{"gray_mean_truncates", [] { return GrayOutColor(RGB(1, 1, 2), 0, kClassic); },
                  RGB(1, 1, 1)},
        ColorCase{"gray_black_plus_level", [] { return GrayOutColor(clBlack, 10, kClassic); },
                  RGB(10, 10, 10)},
        ColorCase{"gray_negative_level_never_wraps",
                  [] { return GrayOutColor(clBlack, -10, kClassic); }, RGB(0, 0, 0)},
        ColorCase{"contrast_light_face_keeps_font",
                  [] { return ContrastTextColor(RGB(219, 216, 209), clMenuText, kClassic); },
                  clMenuText},
        ColorCase{"contrast_green_above_200_keeps_font",
                  [] { return ContrastTextColor(RGB(0, 201, 0), RGB(1, 2, 3), kClassic); },
                  RGB(1, 2, 3)},
        ColorCase{"contrast_dark_lightens_90",
                  [] { return ContrastTextColor(RGB(10, 36, 106), clMenuText, kClassic); },
                  RGB(230, 233, 240)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorResolutionTest, SystemColoursAreAskedForAtEveryUse) {
    FixedLookEnvironment environment;
    EXPECT_EQ(ColorToRGB(clBtnFace, environment), RGB(212, 208, 200));
    environment.SetSysColor(COLOR_BTNFACE, RGB(100, 100, 100));
    EXPECT_EQ(LightenColor(clBtnFace, 0, environment), RGB(100, 100, 100));
    EXPECT_EQ(ColorToRGB(RGB(1, 2, 3), environment), RGB(1, 2, 3));
}

}  // namespace
}  // namespace vintrel
