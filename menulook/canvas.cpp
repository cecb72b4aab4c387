#include "menulook/canvas.h"

#include <cstdlib>

namespace vintrel {

std::vector<Point> LinePixels(Point from, Point to) {
    std::vector<Point> pixels;
    const int dx = std::abs(to.x - from.x);
    const int dy = std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    int error = dx - dy;
    Point p = from;
    while (p != to) {
        pixels.push_back(p);
        const int twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            p.x += sx;
        }
        if (twice < dx) {
            error += dx;
            p.y += sy;
        }
    }
    return pixels;
}

void Canvas::FillRect(const Rect& r, Color rgb) {
    brush_ = rgb;
    if (!r.IsEmpty()) DoFillRect(r, rgb);
}

void Canvas::FrameRect(const Rect& r, Color pen, std::optional<Color> brush) {
    if (brush) brush_ = *brush;
    if (r.IsEmpty()) return;
    if (brush) DoFillRect(r, *brush);
    DoFillRect({r.left, r.top, r.right, r.top + 1}, pen);
    DoFillRect({r.left, r.bottom - 1, r.right, r.bottom}, pen);
    DoFillRect({r.left, r.top, r.left + 1, r.bottom}, pen);
    DoFillRect({r.right - 1, r.top, r.right, r.bottom}, pen);
}

void Canvas::RoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                       std::optional<Color> brush) {
    if (cornerWidth <= 0 || cornerHeight <= 0) {
        FrameRect(r, pen, brush);
        return;
    }
    if (brush) brush_ = *brush;
    if (!r.IsEmpty()) DoRoundRect(r, cornerWidth, cornerHeight, pen, brush);
}

void Canvas::Ellipse(const Rect& r, Color pen, std::optional<Color> brush) {
    if (brush) brush_ = *brush;
    if (!r.IsEmpty()) DoEllipse(r, pen, brush);
}

void Canvas::Line(Point from, Point to, Color pen) {
    if (from.y == to.y && from.x != to.x) {
        const bool rightwards = from.x < to.x;
        DoFillRect(
            {rightwards ? from.x : to.x + 1, from.y, rightwards ? to.x : from.x + 1, from.y + 1},
            pen);
        return;
    }
    if (from.x == to.x && from.y != to.y) {
        const bool downwards = from.y < to.y;
        DoFillRect(
            {from.x, downwards ? from.y : to.y + 1, from.x + 1, downwards ? to.y : from.y + 1},
            pen);
        return;
    }
    for (Point p : LinePixels(from, to)) DoSetPixel(p.x, p.y, pen);
}

void Canvas::Polyline(std::initializer_list<Point> points, Color pen) {
    const Point* previous = nullptr;
    for (const Point& p : points) {
        if (previous != nullptr) Line(*previous, p, pen);
        previous = &p;
    }
}

void Canvas::SetFont(const FontFace& font) {
    if (font == font_) return;
    font_ = font;
    FontChanged();
}

void Canvas::DrawImage(int x, int y, const Bitmap& image, std::optional<Color> transparent) {
    if (!image.IsEmpty()) DoDrawImage(x, y, image, transparent);
}

// A surface without a scale of its own takes one pixel of every Scale() × Scale() block.
void Canvas::DoDrawImage(int x, int y, const Bitmap& image, std::optional<Color> transparent) {
    const int scale = image.Scale();
    for (int row = 0; row < image.ShownHeight(); ++row) {
        for (int column = 0; column < image.ShownWidth(); ++column) {
            const Color c = image.Pixel(column * scale, row * scale);
            if (transparent && c == (*transparent & 0xFFFFFF)) continue;
            DoSetPixel(x + column, y + row, c);
        }
    }
}

}  // namespace vintrel
