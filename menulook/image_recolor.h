#pragma once

#include "menulook/bitmap.h"
#include "menulook/canvas.h"
#include "menulook/system_colors.h"

namespace vintrel {

/// Every pixel, row by row, becomes LightenColor(pixel, percent).
void LightenBitmap(Bitmap& image, int percent, const SystemColors& system);

/// Every pixel becomes GrayOutColor(pixel, level); pure black met before the
/// first other colour stays black.
void GrayOutBitmap(Bitmap& image, int level, const SystemColors& system);

/// The silhouette of `image` in `shadow` at (x, y): every pixel that differs
/// from the image's bottom-left (transparent) colour.
void DrawIconShadow(const Bitmap& image, Canvas& canvas, int x, int y, Color shadow);

}  // namespace vintrel
