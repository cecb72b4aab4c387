#include "menulook/qt_canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "menulook/qt_conversions.h"

namespace vintrel {
namespace {

constexpr Color kBack = RGB(255, 0, 255);

QImage Surface(QImage::Format format = QImage::Format_RGB32) {
    QImage image(40, 30, format);
    image.fill(QColor(255, 0, 255));
    return image;
}

Color At(const QImage& image, int x, int y) {
    return RgbFromQRgb(image.pixel(x, y));
}

TEST(QtCanvasTest, ShapesLandOnTheirExactPixels) {
    QImage image = Surface();
    {
        QtCanvas canvas(image);
        canvas.FillRect({2, 2, 5, 4}, RGB(1, 2, 3));
        canvas.FrameRect({10, 10, 15, 14}, RGB(9, 9, 9), RGB(7, 7, 7));
        canvas.FrameRect({20, 10, 25, 14}, RGB(9, 9, 9), std::nullopt);
        canvas.Line({0, 20}, {5, 20}, RGB(4, 4, 4));
        canvas.Line({30, 0}, {30, 3}, RGB(4, 4, 4));
        canvas.Line({30, 10}, {33, 13}, RGB(4, 4, 4));
        canvas.SetPixel(39, 29, RGB(5, 5, 5));
        EXPECT_EQ(canvas.BitsPerPixel(), 32);
        EXPECT_EQ(canvas.Pixel(2, 2), RGB(1, 2, 3));
        EXPECT_EQ(canvas.Pixel(-1, 0), CLR_INVALID);
    }
    EXPECT_EQ(At(image, 4, 3), RGB(1, 2, 3));
    EXPECT_EQ(At(image, 5, 3), kBack);
    EXPECT_EQ(At(image, 4, 4), kBack);
    EXPECT_EQ(At(image, 10, 10), RGB(9, 9, 9));
    EXPECT_EQ(At(image, 14, 13), RGB(9, 9, 9));
    EXPECT_EQ(At(image, 15, 13), kBack);
    EXPECT_EQ(At(image, 12, 12), RGB(7, 7, 7));
    EXPECT_EQ(At(image, 22, 12), kBack);  // a frame without a brush leaves its inside
    EXPECT_EQ(At(image, 4, 20), RGB(4, 4, 4));
    EXPECT_EQ(At(image, 5, 20), kBack);  // lines leave their end out
    EXPECT_EQ(At(image, 30, 2), RGB(4, 4, 4));
    EXPECT_EQ(At(image, 30, 3), kBack);
    EXPECT_EQ(At(image, 32, 12), RGB(4, 4, 4));
    EXPECT_EQ(At(image, 33, 13), kBack);
    EXPECT_EQ(At(image, 39, 29), RGB(5, 5, 5));
}

TEST(QtCanvasTest, ImagesLeaveTheirTransparentColourOut) {
    QImage image = Surface();
    Bitmap glyph(2, 2, RGB(0, 255, 0));
    glyph.SetPixel(1, 0, RGB(200, 0, 0));
    {
        QtCanvas canvas(image);
        canvas.DrawImage(3, 4, glyph, RGB(0, 255, 0));
    }
    EXPECT_EQ(At(image, 4, 4), RGB(200, 0, 0));
    EXPECT_EQ(At(image, 3, 4), kBack);
    EXPECT_EQ(At(image, 3, 5), kBack);
}

TEST(QtCanvasTest, OriginMapsCanvasPointsOntoTheImage) {
    QImage image = Surface();
    {
        QtCanvas canvas(image, QPoint(100, 200), 24);
        canvas.FillRect({100, 200, 102, 201}, RGB(1, 1, 1));
        EXPECT_EQ(canvas.Pixel(101, 200), RGB(1, 1, 1));
        EXPECT_EQ(canvas.BitsPerPixel(), 24);
    }
    EXPECT_EQ(At(image, 1, 0), RGB(1, 1, 1));
    EXPECT_EQ(At(image, 2, 0), kBack);
}

TEST(QtCanvasTest, IndexedSurfaceShowsOnlyTheColoursOfItsTable) {
    QImage image(10, 10, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0)});
    image.fill(0);
    {
        QtCanvas canvas(image);
        EXPECT_EQ(canvas.BitsPerPixel(), 8);
        EXPECT_EQ(canvas.NearestColor(RGB(250, 20, 10)), RGB(255, 0, 0));
        EXPECT_EQ(canvas.NearestColor(RGB(200, 200, 200)), clWhite);
        canvas.FillRect({0, 0, 5, 5}, canvas.NearestColor(RGB(240, 240, 240)));
        EXPECT_EQ(canvas.Pixel(1, 1), clWhite);
    }
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.pixelIndex(1, 1), 1);
    EXPECT_EQ(image.pixelIndex(6, 6), 0);
}

TEST(QtCanvasTest, TrueColourSurfaceMapsColoursToThemselves) {
    QImage image = Surface(QImage::Format_RGB16);
    QtCanvas canvas(image);
    EXPECT_EQ(canvas.BitsPerPixel(), 16);
    EXPECT_EQ(canvas.NearestColor(RGB(1, 2, 3)), RGB(1, 2, 3));
}

TEST(QtCanvasTest, TextIsMeasuredWithTheCanvasFontAndClippedToItsBox) {
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    const FontFace font{"DejaVu Sans", -11, clBlack};
    const QFontMetrics metrics(QFontFromFace(font), &image);
    {
        QtCanvas canvas(image);
        canvas.SetFont(font);
        EXPECT_EQ(canvas.TextWidth("&File"), metrics.horizontalAdvance("&File"));
        EXPECT_EQ(canvas.TextHeight("W"), metrics.height());
        canvas.DrawText("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", {10, 5, 60, 30}, DT_LEFT, clBlack);
    }
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
            (x >= 10 && x < 60 && y >= 5 && y < 30 ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
}

TEST(QtCanvasTest, PainterCanvasReadsBackOnlyFromImages) {
    QImage image = Surface();
    QPainter painter(&image);
    QtCanvas canvas(painter, 32);
    canvas.FillRect({0, 0, 2, 2}, RGB(3, 3, 3));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(3, 3, 3));
}

TEST(QtConversionsTest, BitmapsKeepTheirPixelsAndColourTables) {
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(40, 50, 60)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);
    const Bitmap bitmap = BitmapFromQImage(indexed);
    EXPECT_EQ(bitmap.Pixel(1, 0), RGB(40, 50, 60));
    EXPECT_EQ(bitmap.ColorTable().size(), 2u);
    const QImage back = QImageFromBitmap(bitmap, RGB(10, 20, 30));
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);
    EXPECT_EQ(back.pixel(1, 0), qRgb(40, 50, 60));
}

}  // namespace
}  // namespace vintrel
