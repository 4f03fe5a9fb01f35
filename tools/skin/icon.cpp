#include <array>
#include <cstdint>

#include "colours.h"
#include "pictures.h"

// A small white window seen in perspective, with a cyan title edge and a grey shadow.
// Shapes are laid out on a 32 px grid in eighths of a pixel and sampled at pixel centres.
namespace skin {
namespace {

constexpr int kGrid = 32;
constexpr int kSub = 8;

struct Point {
    int x = 0;
    int y = 0;
};

Point px(int x, int y) {
    return {x * kSub, y * kSub};
}

// Convex, corners clockwise on screen (y down).
struct Quad {
    std::array<Point, 4> corner;

    bool contains(Point p) const {
        for (std::size_t i = 0; i < corner.size(); ++i) {
            const Point a = corner[i];
            const Point b = corner[(i + 1) % corner.size()];
            const std::int64_t cross =
                std::int64_t{b.x - a.x} * (p.y - a.y) - std::int64_t{b.y - a.y} * (p.x - a.x);
            if (cross < 0) {
                return false;
            }
        }
        return true;
    }

    Quad shifted(Point by) const {
        Quad q = *this;
        for (Point& c : q.corner) {
            c = {c.x + by.x, c.y + by.y};
        }
        return q;
    }
};

// Left edge taller than the right: the window turns away to the right.
const Quad kWindow{{px(3, 5), px(24, 9), px(24, 23), px(3, 27)}};
const Quad kShadow = kWindow.shifted(px(3, 2));

Point lerp_quarter(Point from, Point to) {
    return {from.x + (to.x - from.x) / 4, from.y + (to.y - from.y) / 4};
}

const Quad kTitle{{kWindow.corner[0], kWindow.corner[1],
                   lerp_quarter(kWindow.corner[1], kWindow.corner[2]),
                   lerp_quarter(kWindow.corner[0], kWindow.corner[3])}};

enum class Part { Clear, Shadow, Outline, Title, Face };

class IconSampler {
  public:
    explicit IconSampler(int size) : size_(size) {}

    Part part(int x, int y) const {
        if (!in_window(x, y)) {
            return kShadow.contains(centre(x, y)) ? Part::Shadow : Part::Clear;
        }
        if (!in_window(x - 1, y) || !in_window(x + 1, y) || !in_window(x, y - 1) ||
            !in_window(x, y + 1)) {
            return Part::Outline;
        }
        return kTitle.contains(centre(x, y)) ? Part::Title : Part::Face;
    }

  private:
    Point centre(int x, int y) const {
        const int scale = kGrid / size_;
        return {(x * kSub + kSub / 2) * scale, (y * kSub + kSub / 2) * scale};
    }

    bool in_window(int x, int y) const { return kWindow.contains(centre(x, y)); }

    int size_;
};

Rgb colour_of(Part part) {
    switch (part) {
        case Part::Shadow:
            return colour::kGrey;
        case Part::Outline:
            return colour::kBlack;
        case Part::Title:
            return colour::kCyan;
        case Part::Face:
            return colour::kWhite;
        case Part::Clear:
            break;
    }
    return colour::kBlack;
}

// Two colours only: the title goes black and the shadow becomes a checkerboard.
Rgb mono_colour_of(Part part) {
    return part == Part::Face ? colour::kWhite : colour::kBlack;
}

bool mono_clear(Part part, int x, int y) {
    return part == Part::Clear || (part == Part::Shadow && (x + y) % 2 != 0);
}

IconImage draw_icon_image(int size, int bits_per_pixel) {
    const bool mono = bits_per_pixel == 1;
    const IconSampler sampler(size);
    IconImage icon{{Image(size, size, colour::kBlack), bits_per_pixel,
                    mono ? colour::kMono : colour::kSystem16},
                   {}};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Part part = sampler.part(x, y);
            const bool clear = mono ? mono_clear(part, x, y) : part == Part::Clear;
            // Clear pixels stay black in the colour bitmap, so the mask alone decides them.
            if (!clear) {
                icon.bitmap.image.set(x, y, mono ? mono_colour_of(part) : colour_of(part));
            }
            icon.transparent.push_back(clear);
        }
    }
    return icon;
}

}  // namespace

std::vector<IconImage> draw_icon() {
    return {draw_icon_image(32, 1), draw_icon_image(32, 4), draw_icon_image(16, 4)};
}

}  // namespace skin
