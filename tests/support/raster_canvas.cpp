#include "tests/support/raster_canvas.h"

namespace vintrel::testing {

RasterCanvas::RasterCanvas(int width, int height, int bitsPerPixel, Color fill)
    : surface_(width, height, fill), bitsPerPixel_(bitsPerPixel) {}

Color RasterCanvas::NearestColor(Color rgb) const {
    if (bitsPerPixel_ >= 16) return rgb & 0xFFFFFF;
    return NearestColorIn(table_, rgb);
}

int RasterCanvas::TextWidth(std::string_view text) {
    int width = 0;
    for (char c : text) {
        const auto found = charWidths_.find(c);
        width += found != charWidths_.end() ? found->second : charWidth_;
    }
    return width;
}

void RasterCanvas::DrawText(std::string_view text, const Rect& box, unsigned format, Color rgb) {
    texts_.push_back({std::string(text), box, format, rgb});
}

void RasterCanvas::DoFillRect(const Rect& r, Color rgb) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) surface_.SetPixel(x, y, rgb);
    }
}

void RasterCanvas::DoEllipse(const Rect& r, Color pen, std::optional<Color> brush) {
    shapes_.push_back({"ellipse", r, pen, brush});
    FrameRect(r, pen, brush);
}

void RasterCanvas::DoRoundRect(const Rect& r, int /*cornerWidth*/, int /*cornerHeight*/, Color pen,
                               std::optional<Color> brush) {
    shapes_.push_back({"roundrect", r, pen, brush});
    FrameRect(r, pen, brush);
}

}  // namespace vintrel::testing
