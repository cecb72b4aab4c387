#pragma once

#include <vector>

#include "menulook/color.h"

namespace vintrel {

/// A pixel grid of plain RGB colours. A bitmap with a colour table (an indexed
/// image, such as a 16-colour glyph) can hold only the colours of its table:
/// every pixel written is mapped to the nearest of them, as GDI maps a write
/// to a palette bitmap.
///
/// A bitmap for a scaled screen holds Scale() pixels for every pixel it
/// covers each way: a 16 × 16 glyph at scale 2 has 32 × 32 pixels. Width()
/// and Height() count its pixels; layouts use ShownWidth() and ShownHeight().
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Color fill = clBlack);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return width_ <= 0 || height_ <= 0; }
    /// Pixels per point of the surface it is drawn on, each way (at least 1).
    int Scale() const { return scale_; }
    void SetScale(int scale) { scale_ = scale > 1 ? scale : 1; }
    int ShownWidth() const { return width_ / scale_; }
    int ShownHeight() const { return height_ / scale_; }

    /// The pixel at (x, y); CLR_INVALID outside the grid.
    Color Pixel(int x, int y) const;
    /// Writes the nearest colour the bitmap can hold; nothing outside the grid.
    void SetPixel(int x, int y, Color rgb);
    void Fill(Color rgb);

    const std::vector<Color>& ColorTable() const { return table_; }
    /// Gives the bitmap a colour table (empty: true colour) and maps every pixel to it.
    void SetColorTable(std::vector<Color> table);
    /// The colour of the table nearest to `rgb` (by squared distance); `rgb` itself
    /// without a table.
    Color NearestColor(Color rgb) const;

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    int scale_ = 1;
    std::vector<Color> pixels_;
    std::vector<Color> table_;
};

/// The nearest colour of `table` to `rgb` by squared RGB distance, the first
/// one on a tie; `rgb` itself for an empty table.
Color NearestColorIn(const std::vector<Color>& table, Color rgb);

}  // namespace vintrel
