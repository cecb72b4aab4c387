#include "menulook/qt_conversions.h"

#include <QFontMetrics>
#include <cmath>

namespace vintrel {

QFont QFontFromFace(const FontFace& face) {
    QFont font(QString::fromStdString(face.Name));
    if (face.Height < 0) {
        font.setPixelSize(-face.Height);
    } else if (face.Height > 0) {
        // A cell height includes the leading above the characters.
        font.setPixelSize(face.Height);
        const int cell = QFontMetrics(font).height();
        if (cell > face.Height) font.setPixelSize(std::max(1, face.Height * face.Height / cell));
    }
    font.setBold(face.Bold);
    font.setItalic(face.Italic);
    font.setUnderline(face.Underline);
    font.setStrikeOut(face.StrikeOut);
    return font;
}

FontFace FaceFromQFont(const QFont& font, double dpi) {
    FontFace face;
    face.Name = font.family().toStdString();
    if (font.pixelSize() > 0) {
        face.Height = -font.pixelSize();
    } else {
        face.Height = -static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0));
    }
    face.Bold = font.bold();
    face.Italic = font.italic();
    face.Underline = font.underline();
    face.StrikeOut = font.strikeOut();
    return face;
}

Bitmap BitmapFromQImage(const QImage& image) {
    if (image.isNull()) return {};
    Bitmap bitmap(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            bitmap.SetPixel(x, y, RgbFromQRgb(image.pixel(x, y)));
    }
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
        image.format() == QImage::Format_MonoLSB) {
        std::vector<Color> table;
        for (QRgb c : image.colorTable()) table.push_back(RgbFromQRgb(c));
        bitmap.SetColorTable(std::move(table));
    }
    bitmap.SetScale(static_cast<int>(std::lround(image.devicePixelRatio())));
    return bitmap;
}

QImage QImageFromBitmap(const Bitmap& bitmap, std::optional<Color> transparent) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x) {
            const Color c = bitmap.Pixel(x, y);
            const bool clear = transparent && c == (*transparent & 0xFFFFFF);
            line[x] = qRgba(GetRValue(c), GetGValue(c), GetBValue(c), clear ? 0 : 255);
        }
    }
    image.setDevicePixelRatio(bitmap.Scale());
    return image;
}

}  // namespace vintrel
