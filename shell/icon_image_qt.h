#pragma once

#include <QIcon>
#include <QImage>

#include "shell/icon_image.h"

namespace vintrel {

/// The image as a Qt image (ARGB32); a null image for the empty icon.
QImage toQImage(const IconImage& icon);
/// Any Qt image as an icon image; the empty icon for a null image.
IconImage iconImageFromQImage(const QImage& image);
/// The icon for a tray: the empty icon becomes a transparent 16 × 16 square,
/// so that the place in the notification area is kept as the shell keeps it
/// for a null icon handle. The icon's renderings come along as further sizes.
QIcon toTrayQIcon(const IconImage& icon);

}  // namespace vintrel
