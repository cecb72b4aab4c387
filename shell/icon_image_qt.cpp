#include "shell/icon_image_qt.h"

#include <algorithm>
#include <vector>

#include <QPixmap>

namespace vintrel {

QImage toQImage(const IconImage& icon) {
    if (icon.empty()) return {};
    QImage image(icon.width(), icon.height(), QImage::Format_ARGB32);
    const auto* row = icon.pixels().data();
    for (int y = 0; y < icon.height(); ++y, row += icon.width())
        std::copy(row, row + icon.width(), reinterpret_cast<QRgb*>(image.scanLine(y)));
    return image;
}

IconImage iconImageFromQImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(argb.width()) *
                   static_cast<std::size_t>(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        pixels.insert(pixels.end(), line, line + argb.width());
    }
    return IconImage(argb.width(), argb.height(), std::move(pixels));
}

QIcon toTrayQIcon(const IconImage& icon) {
    if (icon.empty()) {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }
    QIcon trayIcon(QPixmap::fromImage(toQImage(icon)));
    // Qt picks the rendering that fits the tray's size at its device pixel ratio.
    for (const IconImage& rendering : icon.renderings())
        if (!rendering.empty()) trayIcon.addPixmap(QPixmap::fromImage(toQImage(rendering)));
    return trayIcon;
}

}  // namespace vintrel
