#include "image.h"

#include <stdexcept>
#include <string>

namespace skin {

Image::Image(int width, int height, Rgb fill) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) {
        throw std::invalid_argument("image size must be positive, got " + std::to_string(width) +
                                    " x " + std::to_string(height));
    }
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

// Drawing code clips by simply stepping past the edge; off-canvas writes are dropped.
void Image::set(int x, int y, Rgb colour) {
    if (contains(x, y)) {
        pixels_[index(x, y)] = colour;
    }
}

}  // namespace skin
