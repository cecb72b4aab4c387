#pragma once

#include "menulook/bitmap.h"
#include "shell/icon_image.h"

struct HBITMAP__;

namespace vintrel {

/// A bitmap resource of the program (LoadImage); the caller deletes it.
HBITMAP__* LoadBitmapResource(int id);
/// A glyph resource as the menu look draws it: its transparent parts take
/// the colour of its bottom-left pixel.
Bitmap GlyphBitmap(int id);
/// The program's icon at `size` pixels, for the notification area.
IconImage ProgramIconImage(int size);

}  // namespace vintrel
