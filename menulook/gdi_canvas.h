#pragma once

#include "menulook/canvas.h"

struct HDC__;
struct HFONT__;

namespace vintrel {

/// The canvas on a GDI device context: what the menu look paints on in the
/// Win32 program (an owner-drawn menu item's DC, a screen DC for measuring).
/// The DC's state is restored when the canvas ends.
class GdiCanvas final : public Canvas {
public:
    explicit GdiCanvas(HDC__* dc);
    ~GdiCanvas() override;

    int BitsPerPixel() const override;
    Color NearestColor(Color rgb) const override;
    Color Pixel(int x, int y) const override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void DrawText(std::string_view text, const Rect& box, unsigned format, Color rgb) override;

protected:
    void DoFillRect(const Rect& r, Color rgb) override;
    void DoSetPixel(int x, int y, Color rgb) override;
    void DoEllipse(const Rect& r, Color pen, std::optional<Color> brush) override;
    void DoRoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                     std::optional<Color> brush) override;
    void FontChanged() override;

private:
    template <typename Draw>
    void WithPenAndBrush(Color pen, std::optional<Color> brush, Draw draw);

    HDC__* dc_;
    int saved_ = 0;
    HFONT__* font_ = nullptr;
};

}  // namespace vintrel
