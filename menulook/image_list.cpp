#include "menulook/image_list.h"

namespace vintrel {

int TImageList::AddMasked(const Bitmap& image, Color maskColor) {
    Bitmap entry(width_, height_, maskColor);
    for (int y = 0; y < height_ && y < image.Height(); ++y) {
        for (int x = 0; x < width_ && x < image.Width(); ++x)
            entry.SetPixel(x, y, image.Pixel(x, y));
    }
    entries_.push_back({std::move(entry), maskColor & 0xFFFFFF});
    return Count() - 1;
}

void TImageList::Draw(Bitmap& target, int x, int y, int index) const {
    if (index < 0 || index >= Count()) return;
    const Entry& entry = entries_[static_cast<std::size_t>(index)];
    for (int row = 0; row < height_; ++row) {
        for (int column = 0; column < width_; ++column) {
            const Color c = entry.image.Pixel(column, row);
            if (c != entry.mask) target.SetPixel(x + column, y + row, c);
        }
    }
}

}  // namespace vintrel
