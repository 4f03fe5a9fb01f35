#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Palette = std::vector<Rgb>;

// A truecolour canvas; encoders map it onto a palette when the file needs one.
class Image {
  public:
    Image(int width, int height, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Rgb colour);

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// What a picture is stored as: its pixels, bit depth and (below 24 bits) palette.
struct Bitmap {
    Image image;
    int bits_per_pixel = 24;
    Palette palette;
};

// One image of an icon file; transparent pixels are set in the AND mask.
struct IconImage {
    Bitmap bitmap;
    std::vector<bool> transparent;  // row-major, top row first
};

}  // namespace skin
