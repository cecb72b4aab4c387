#pragma once

#include <map>
#include <string>
#include <vector>

#include "menulook/canvas.h"

namespace vintrel::testing {

/// A canvas on a plain bitmap with fixed text metrics: shapes are rasterised
/// (ellipses and rounded rectangles as their bounding frame), text is recorded
/// rather than drawn. Its depth is whatever the test says, and a shallow
/// canvas can be given a colour table to map to.
class RasterCanvas final : public Canvas {
public:
    struct TextCall {
        std::string text;
        Rect box;
        unsigned format;
        Color color;
    };
    struct ShapeCall {
        std::string kind;  // "ellipse" or "roundrect"
        Rect rect;
        Color pen;
        std::optional<Color> brush;
    };

    RasterCanvas(int width, int height, int bitsPerPixel = 32, Color fill = RGB(255, 0, 255));

    int BitsPerPixel() const override { return bitsPerPixel_; }
    Color NearestColor(Color rgb) const override;
    Color Pixel(int x, int y) const override { return surface_.Pixel(x, y); }
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view /*text*/) override { return textHeight_; }
    void DrawText(std::string_view text, const Rect& box, unsigned format, Color rgb) override;

    /// Every character is `width` pixels wide unless set apart.
    void SetCharWidth(int width) { charWidth_ = width; }
    void SetCharWidth(char c, int width) { charWidths_[c] = width; }
    void SetTextHeight(int height) { textHeight_ = height; }
    void SetColorTable(std::vector<Color> table) { table_ = std::move(table); }

    const Bitmap& Surface() const { return surface_; }
    const std::vector<TextCall>& Texts() const { return texts_; }
    const std::vector<ShapeCall>& Shapes() const { return shapes_; }

protected:
    void DoFillRect(const Rect& r, Color rgb) override;
    void DoSetPixel(int x, int y, Color rgb) override { surface_.SetPixel(x, y, rgb); }
    void DoEllipse(const Rect& r, Color pen, std::optional<Color> brush) override;
    void DoRoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                     std::optional<Color> brush) override;

private:
    Bitmap surface_;
    int bitsPerPixel_;
    int charWidth_ = 7;
    std::map<char, int> charWidths_;
    int textHeight_ = 13;
    std::vector<Color> table_;
    std::vector<TextCall> texts_;
    std::vector<ShapeCall> shapes_;
};

}  // namespace vintrel::testing
