#include "shell/icon_image.h"

#include <stdexcept>
#include <utility>

namespace vintrel {

IconImage::IconImage(int width, int height, std::vector<std::uint32_t> argb)
    : width_(width), height_(height), pixels_(std::move(argb)) {
    if (width < 0 || height < 0 ||
        pixels_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("icon image: pixel count does not match its size");
    if (pixels_.empty()) width_ = height_ = 0;
}

}  // namespace vintrel
