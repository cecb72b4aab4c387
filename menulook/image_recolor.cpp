#include "menulook/image_recolor.h"

#include <algorithm>

#include "menulook/color_math.h"

namespace vintrel {
namespace {

// Icons are mostly runs of one colour: a one-entry memo of the last source
// pixel spares the arithmetic and the nearest-colour lookup of the write.
template <typename Map>
void RecolorPixels(Bitmap& image, Color memoSource, Color memoResult, bool memoFilled, Map map) {
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Color source = image.Pixel(x, y);
            if (!memoFilled || source != memoSource) {
                memoSource = source;
                memoResult = map(source);
                memoFilled = true;
            }
            image.SetPixel(x, y, memoResult);
        }
    }
}

}  // namespace

void LightenBitmap(Bitmap& image, int percent, const SystemColors& system) {
    const int p = std::min(percent, 100);
    RecolorPixels(image, clBlack, clBlack, false,
                  [&](Color c) { return LightenColor(c, p, system); });
}

void GrayOutBitmap(Bitmap& image, int level, const SystemColors& system) {
    RecolorPixels(image, clBlack, clBlack, true,
                  [&](Color c) { return GrayOutColor(c, level, system); });
}

void DrawIconShadow(const Bitmap& image, Canvas& canvas, int x, int y, Color shadow) {
    if (image.IsEmpty()) return;
    const Color key = image.Pixel(0, image.Height() - 1);
    // The silhouette's own transparent colour must differ from the shadow colour.
    const Color clear = key != shadow ? key : shadow ^ 0x000001;
    Bitmap silhouette(image.Width(), image.Height(), clear);
    silhouette.SetScale(image.Scale());
    for (int row = 0; row < image.Height(); ++row) {
        for (int column = 0; column < image.Width(); ++column) {
            if (image.Pixel(column, row) != key) silhouette.SetPixel(column, row, shadow);
        }
    }
    canvas.DrawImage(x, y, silhouette, clear);
}

}  // namespace vintrel
