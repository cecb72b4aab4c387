// The drawing rules on Qt surfaces: a 32-bit image and an 8-bit indexed one.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "menulook/color_math.h"
#include "menulook/qt_canvas.h"
#include "menulook/qt_conversions.h"
#include "tests/menulook/test_look.h"

namespace vintrel {
namespace {

using testing::TestLook;

constexpr Color kItem = RGB(249, 248, 247);
constexpr Color kIconColumn = RGB(219, 216, 209);
constexpr Color kBorder = RGB(10, 36, 106);
constexpr Color kCheckBox = RGB(206, 211, 225);
constexpr Color kFace = RGB(212, 208, 200);
constexpr Color kRed = RGB(255, 0, 0);
constexpr Color kKey = RGB(255, 0, 255);

Color At(const QImage& image, int x, int y) {
    return RgbFromQRgb(image.pixel(x, y));
}

class QtDrawTest : public ::testing::Test {
protected:
    QtDrawTest() {
        environment.SetMenuFont(FontFace{"DejaVu Sans", -11, clBlack});
        look = std::make_unique<TestLook>(environment);
        look->Activate();
        image.fill(Qt::magenta);
    }

    FixedLookEnvironment environment;
    std::unique_ptr<TestLook> look;
    TMenu menu{MenuKind::Popup};
    QImage image{120, 40, QImage::Format_RGB32};
};

TEST_F(QtDrawTest, MeasuresAccessKeyCaptionsWithoutTheirAmpersand) {
    TMenuItem& file = menu.Items().Add("&File");
    QtCanvas canvas(image);
    int width = 0, height = 0;
    look->MeasureMenuItem(file, canvas, width, height);
    const QFontMetrics metrics(QFontFromFace(look->Font()), &image);
    EXPECT_EQ(width, metrics.horizontalAdvance("&File") - metrics.horizontalAdvance("&") + 24 + 10);
    const int th = metrics.height();
    EXPECT_EQ(height, th + RoundHalfEven(th * 0.75));
}

TEST_F(QtDrawTest, CheckedItemBoxAndTickOnATrueColourImage) {
    TMenuItem& item = menu.Items().Add("&Auto Synchronize Daily");
    item.SetChecked(true);
    {
        QtCanvas canvas(image);
        look->DrawMenuItem(item, canvas, {0, 0, 100, 24}, false);
    }
    EXPECT_EQ(At(image, 3, 3), kIconColumn);
    EXPECT_EQ(At(image, 7, 7), kBorder);
    EXPECT_EQ(At(image, 16, 16), kBorder);
    EXPECT_EQ(At(image, 9, 9), kCheckBox);
    EXPECT_EQ(At(image, 8, 12), clBlack);
    EXPECT_EQ(At(image, 18, 7), clBlack);
    EXPECT_EQ(At(image, 19, 6), kIconColumn);
    EXPECT_EQ(At(image, 99, 24), kItem);
    int textPixels = 0;  // the caption lands in the text box
    for (int y = 0; y < 25; ++y)
        for (int x = 29; x < 100; ++x) textPixels += At(image, x, y) != kItem ? 1 : 0;
    EXPECT_GT(textPixels, 20);
}

TEST_F(QtDrawTest, HighlightedImageLiftsAndCastsItsShadowOnAQtImage) {
    Bitmap glyph(16, 16, kKey);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) glyph.SetPixel(x, y, kRed);
    TMenuItem& item = menu.Items().Add("&Ping Now");
    item.SetBitmap(glyph);
    {
        QtCanvas canvas(image);
        look->DrawMenuItem(item, canvas, {0, 0, 100, 24}, true);
    }
    EXPECT_EQ(At(image, 6, 7), kRed);
    EXPECT_EQ(At(image, 15, 16), RGB(127, 137, 157));
}

TEST_F(QtDrawTest, SeparatorOnAQtImage) {
    TMenuItem& item = menu.Items().Add("-");
    {
        QtCanvas canvas(image);
        look->DrawMenuItem(item, canvas, {0, 0, 100, 4}, false);
    }
    EXPECT_EQ(At(image, 31, 2), RGB(160, 160, 160));
    EXPECT_EQ(At(image, 30, 2), kItem);
    EXPECT_EQ(At(image, 31, 1), kItem);
}

TEST_F(QtDrawTest, BarHighlightShadowStepsOnAQtImage) {
    {
        QtCanvas canvas(image);
        look->ApplyWorkingPalette(canvas);
        look->DrawBarItemHighlight(LookOwner::MenuItem, canvas, false, clBtnFace, {10, 0, 60, 20});
    }
    EXPECT_EQ(At(image, 52, 10), kBorder);
    EXPECT_EQ(At(image, 53, 19), RGB(112, 110, 100));
    EXPECT_EQ(At(image, 59, 19), RGB(202, 200, 190));
}

// An 8-bit surface: no washing, white item and highlight, colours of the table only.
TEST_F(QtDrawTest, IndexedSurfaceTakesTheShallowBranches) {
    QImage indexed(120, 40, QImage::Format_Indexed8);
    const QVector<QRgb> table = {qRgb(0, 0, 0),       qRgb(255, 255, 255), qRgb(255, 0, 0),
                                 qRgb(255, 0, 255),   qRgb(212, 208, 200), qRgb(10, 36, 106),
                                 qRgb(128, 128, 128), qRgb(255, 255, 0)};
    indexed.setColorTable(table);
    indexed.fill(3);
    Bitmap glyph(16, 16, kKey);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) glyph.SetPixel(x, y, kRed);
    TMenuItem& idle = menu.Items().Add("&Read me");
    idle.SetBitmap(glyph);
    TMenuItem& selected = menu.Items().Add("&About this program");
    {
        QtCanvas canvas(indexed);
        look->DrawMenuItem(idle, canvas, {0, 0, 100, 19}, false);
        EXPECT_FALSE(look->DeepColor());
        look->DrawMenuItem(selected, canvas, {0, 20, 100, 39}, true);
    }
    const QImage shown = indexed.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(At(shown, 7, 8), kRed);       // not washed out
    EXPECT_EQ(At(shown, 2, 2), kFace);      // icon column in clBtnFace
    EXPECT_EQ(At(shown, 60, 2), clWhite);   // item in white
    EXPECT_EQ(At(shown, 60, 21), kBorder);  // highlight frame
    EXPECT_EQ(At(shown, 60, 25), clWhite);  // highlight fill
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_TRUE(table.contains(shown.pixel(x, y))) << x << "," << y;
}

}  // namespace
}  // namespace vintrel
