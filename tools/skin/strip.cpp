#include "colours.h"
#include "pictures.h"

namespace skin {
namespace {

constexpr int kBands = 24;
constexpr int kBandWidth = 4;
constexpr int kCycles = 3;
constexpr int kHeight = 32;

// Full saturation and value; hue in whole degrees, rounded to the nearest channel step.
Rgb hue_colour(int degrees) {
    const int sector = degrees / 60;
    const auto up = static_cast<std::uint8_t>(((degrees % 60) * 255 + 30) / 60);
    const auto down = static_cast<std::uint8_t>(255 - up);
    switch (sector) {
        case 0:
            return {255, up, 0};
        case 1:
            return {down, 255, 0};
        case 2:
            return {0, 255, up};
        case 3:
            return {0, down, 255};
        case 4:
            return {up, 0, 255};
        default:
            return {255, 0, down};
    }
}

}  // namespace

Palette rainbow_palette() {
    Palette palette;
    for (int band = 0; band < kBands; ++band) {
        palette.push_back(hue_colour(band * 360 / kBands));
    }
    return palette;
}

Image draw_strip() {
    const Palette bands = rainbow_palette();
    Image image(kBands * kBandWidth * kCycles, kHeight, colour::kBlack);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.set(x, y, bands[static_cast<std::size_t>((x / kBandWidth) % kBands)]);
        }
    }
    return image;
}

}  // namespace skin
