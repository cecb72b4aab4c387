#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "menulook/bitmap.h"
#include "menulook/color.h"
#include "menulook/font_face.h"
#include "menulook/geometry.h"

namespace vintrel {

// DrawTextEx formats.
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_RTLREADING = 0x20000;

/// The pixels of a one-pixel line from `from` to `to`, `from` included and `to`
/// left out (the LineTo rule), in drawing order.
std::vector<Point> LinePixels(Point from, Point to);

/// The surface the menu look paints on. The drawing rules reach pixels only
/// through this, so one set of rules serves every toolkit (a QPainter here, a
/// GDI device context elsewhere). Colours handed to it are plain RGB, already
/// mapped with NearestColor. Rectangles leave their right column and bottom
/// row out; lines and polylines leave their last point out.
class Canvas {
public:
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    virtual ~Canvas() = default;

    /// Bits per pixel of the surface (GetDeviceCaps BITSPIXEL).
    virtual int BitsPerPixel() const = 0;
    /// The colour nearest to `rgb` that the surface can show (GetNearestColor).
    virtual Color NearestColor(Color rgb) const = 0;
    /// The pixel at (x, y); CLR_INVALID where the surface cannot be read.
    virtual Color Pixel(int x, int y) const = 0;
    void SetPixel(int x, int y, Color rgb) { DoSetPixel(x, y, rgb); }

    /// Every pixel of `r`; the brush colour becomes `rgb`.
    void FillRect(const Rect& r, Color rgb);
    /// The one-pixel outline in `pen`, the inside in `brush` (none: left alone).
    void FrameRect(const Rect& r, Color pen, std::optional<Color> brush);
    /// A rectangle with rounded corners of `cornerWidth` × `cornerHeight`; with
    /// zero corners it is FrameRect.
    void RoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                   std::optional<Color> brush);
    /// The ellipse inscribed in `r`.
    void Ellipse(const Rect& r, Color pen, std::optional<Color> brush);
    void Line(Point from, Point to, Color pen);
    /// Lines joined end to end; the last point is left out.
    void Polyline(std::initializer_list<Point> points, Color pen);

    /// The colour of the last solid brush used.
    Color BrushColor() const { return brush_; }
    void SetBrushColor(Color rgb) { brush_ = rgb; }

    void SetFont(const FontFace& font);
    const FontFace& Font() const { return font_; }
    /// Width and height of `text` in the current font (GetTextExtentPoint32).
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;
    /// DrawTextEx in the current font and `rgb`, transparently: without
    /// DT_NOPREFIX an "&" underlines the next character and "&&" shows one "&".
    virtual void DrawText(std::string_view text, const Rect& box, unsigned format, Color rgb) = 0;

    /// Draws `image` with its top-left corner at (x, y); pixels of the
    /// `transparent` colour are left out.
    void DrawImage(int x, int y, const Bitmap& image, std::optional<Color> transparent);

protected:
    virtual void DoFillRect(const Rect& r, Color rgb) = 0;
    virtual void DoSetPixel(int x, int y, Color rgb) = 0;
    /// Curved outlines are the toolkit's own; `r` has at least one pixel each way.
    virtual void DoEllipse(const Rect& r, Color pen, std::optional<Color> brush) = 0;
    virtual void DoRoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                             std::optional<Color> brush) = 0;
    virtual void DoDrawImage(int x, int y, const Bitmap& image, std::optional<Color> transparent);
    virtual void FontChanged() {}

private:
    Color brush_ = clWhite;
    FontFace font_;
};

}  // namespace vintrel
