#include "menulook/image_recolor.h"

#include <gtest/gtest.h>

#include "menulook/image_list.h"
#include "menulook/look_environment.h"
#include "tests/support/raster_canvas.h"

namespace vintrel {
namespace {

const FixedLookEnvironment kClassic;

Bitmap Row(std::initializer_list<Color> pixels) {
    Bitmap row(static_cast<int>(pixels.size()), 1);
    int x = 0;
    for (Color c : pixels) row.SetPixel(x++, 0, c);
    return row;
}

std::vector<Color> PixelsOf(const Bitmap& image) {
    std::vector<Color> pixels;
    for (int x = 0; x < image.Width(); ++x) pixels.push_back(image.Pixel(x, 0));
    return pixels;
}

TEST(LightenBitmapTest, LightensEveryPixelAndCapsTheLevel) {
    Bitmap image = Row({RGB(255, 0, 0), RGB(0, 0, 0), RGB(255, 0, 0)});
    LightenBitmap(image, 40, kClassic);
    EXPECT_EQ(PixelsOf(image),
              (std::vector<Color>{RGB(255, 102, 102), RGB(102, 102, 102), RGB(255, 102, 102)}));
    Bitmap capped = Row({RGB(1, 2, 3)});
    LightenBitmap(capped, 250, kClassic);
    EXPECT_EQ(capped.Pixel(0, 0), clWhite);
}

// The memo holds one source pixel: alternating colours must each get their own result.
TEST(LightenBitmapTest, MemoNeverHandsOutAStaleResult) {
    Bitmap image = Row({RGB(0, 0, 0), RGB(200, 200, 200), RGB(0, 0, 0), RGB(0, 0, 0)});
    LightenBitmap(image, 50, kClassic);
    EXPECT_EQ(PixelsOf(image), (std::vector<Color>{RGB(128, 128, 128), RGB(228, 228, 228),
                                                   RGB(128, 128, 128), RGB(128, 128, 128)}));
}

TEST(GrayOutBitmapTest, LeadingBlackStaysBlackUntilAnotherColourIsMet) {
    Bitmap image = Row({clBlack, clBlack, RGB(30, 60, 90), clBlack});
    GrayOutBitmap(image, 10, kClassic);
    EXPECT_EQ(PixelsOf(image),
              (std::vector<Color>{clBlack, clBlack, RGB(70, 70, 70), RGB(10, 10, 10)}));
}

TEST(RecolorTest, BitmapWithAColourTableKeepsToItsColours) {
    Bitmap image = Row({RGB(255, 0, 0)});
    image.SetColorTable({RGB(255, 0, 0), clWhite, RGB(255, 128, 128)});
    LightenBitmap(image, 30, kClassic);  // (255, 76, 76) is nearest to (255, 128, 128)
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 128, 128));
}

TEST(DrawIconShadowTest, SilhouetteCoversEveryPixelButTheTransparentColour) {
    Bitmap image(3, 2, clWhite);  // bottom-left white: the transparent colour
    image.SetPixel(1, 0, RGB(9, 9, 9));
    image.SetPixel(2, 1, RGB(200, 0, 0));
    testing::RasterCanvas canvas(6, 4, 32, RGB(1, 1, 1));
    DrawIconShadow(image, canvas, 2, 1, clWhite);
    EXPECT_EQ(canvas.Surface().Pixel(3, 1), clWhite);
    EXPECT_EQ(canvas.Surface().Pixel(4, 2), clWhite);
    EXPECT_EQ(canvas.Surface().Pixel(2, 1), RGB(1, 1, 1));
    EXPECT_EQ(canvas.Surface().Pixel(3, 2), RGB(1, 1, 1));
}

TEST(ImageListTest, DrawsItsEntryTransparentlyAndNothingForAMissingIndex) {
    TImageList list(2, 1);
    list.AddMasked(Row({RGB(0, 255, 0), RGB(5, 5, 5)}), RGB(0, 255, 0));
    Bitmap target(2, 1, RGB(7, 7, 7));
    list.Draw(target, 0, 0, 0);
    EXPECT_EQ(PixelsOf(target), (std::vector<Color>{RGB(7, 7, 7), RGB(5, 5, 5)}));
    list.Draw(target, 0, 0, 3);
    list.Draw(target, 0, 0, -1);
    EXPECT_EQ(PixelsOf(target), (std::vector<Color>{RGB(7, 7, 7), RGB(5, 5, 5)}));
}

TEST(LinePixelsTest, LeavesTheEndPointOut) {
    EXPECT_EQ(LinePixels({0, 0}, {3, 0}), (std::vector<Point>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(LinePixels({2, 2}, {0, 0}), (std::vector<Point>{{2, 2}, {1, 1}}));
    EXPECT_TRUE(LinePixels({4, 4}, {4, 4}).empty());
}

}  // namespace
}  // namespace vintrel
