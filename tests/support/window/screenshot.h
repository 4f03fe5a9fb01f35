#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

namespace harness {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c) {
        return out << '(' << c.r << ',' << c.g << ',' << c.b << ')';
    }
};

// One pixel of an image file; nullopt when the file cannot be read or the point lies outside.
std::optional<Rgb> pixelAt(const std::filesystem::path& image, int x, int y);

}  // namespace harness
