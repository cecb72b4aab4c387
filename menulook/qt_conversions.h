#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <optional>
#include <string_view>

#include "menulook/bitmap.h"
#include "menulook/color.h"
#include "menulook/font_face.h"

namespace vintrel {

inline QColor QColorFromRgb(Color rgb) {
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
inline Color RgbFromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}
inline Color RgbFromQRgb(QRgb c) {
    return RGB(qRed(c), qGreen(c), qBlue(c));
}
inline QString QStringFromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// The Qt font for a stored font; a negative height is the character height in
/// pixels, a positive one the cell height.
QFont QFontFromFace(const FontFace& font);
/// The stored form of a Qt font at `dpi` dots per inch; colour and character
/// set are left at their defaults.
FontFace FaceFromQFont(const QFont& font, double dpi);

/// An image's pixels; an indexed image keeps its colour table and the device
/// pixel ratio becomes the scale. Transparent pixels read as their colour
/// without alpha.
Bitmap BitmapFromQImage(const QImage& image);
/// A true-colour image of the bitmap at its scale (device pixel ratio);
/// pixels of `transparent` get alpha 0.
QImage QImageFromBitmap(const Bitmap& bitmap, std::optional<Color> transparent = std::nullopt);

}  // namespace vintrel
