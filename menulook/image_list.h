#pragma once

#include <vector>

#include "menulook/bitmap.h"

namespace vintrel {

/// A list of equally sized images, each with its own transparent colour
/// (ImageList_AddMasked).
class TImageList {
public:
    TImageList(int width, int height) : width_(width), height_(height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(entries_.size()); }

    /// Adds `image` cut or padded to the list's size; pixels of `maskColor` are
    /// transparent. Returns the new entry's index.
    int AddMasked(const Bitmap& image, Color maskColor);

    /// Draws entry `index` at (x, y) into `target` transparently
    /// (ImageList_DrawEx with ILD_TRANSPARENT); an index the list does not hold
    /// draws nothing.
    void Draw(Bitmap& target, int x, int y, int index) const;

private:
    struct Entry {
        Bitmap image;
        Color mask;
    };
    int width_;
    int height_;
    std::vector<Entry> entries_;
};

}  // namespace vintrel
