#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace vintrel {

/// A small image for the notification area: width × height pixels, row by
/// row, each 0xAARRGGBB (straight alpha). The default value is the empty icon.
class IconImage {
public:
    IconImage() = default;
    /// Throws std::invalid_argument unless `argb` holds width × height pixels.
    IconImage(int width, int height, std::vector<std::uint32_t> argb);

    bool empty() const { return pixels_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

    /// The same picture at other sizes, for scaled screens and trays that show
    /// larger icons; the icon's own size is the one it is laid out at.
    const std::vector<IconImage>& renderings() const { return renderings_; }
    void addRendering(IconImage rendering) { renderings_.push_back(std::move(rendering)); }

    friend bool operator==(const IconImage&, const IconImage&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::vector<IconImage> renderings_;
};

}  // namespace vintrel
