#include <cstdint>
#include <vector>

#include "colours.h"
#include "pictures.h"
#include "random.h"

// A mosaic of jittered-grid Voronoi cells with thick outlines and a lattice of short dashes.
// Integer arithmetic only, so every build draws the same bytes.
namespace skin {
namespace {

constexpr int kWidth = 852;
constexpr int kHeight = 662;
constexpr int kSpacing = 64;
constexpr int kJitter = 22;
constexpr int kMargin = 2;  // grid cells beyond the picture, so edge cells have neighbours
// Bands of grey and teal cells, then green ones, repeat across the picture. The window shows
// x < 410: grey and teal up to kSplit, green beyond it to past the visible edge.
constexpr int kBandStart = -64;  // before the left edge, so no green sliver shows there
constexpr int kSplit = 230;
constexpr int kBandEnd = 480;
constexpr std::uint64_t kSeed = 14;

struct Site {
    int x = 0;
    int y = 0;
    int id = 0;
};

class Mosaic {
  public:
    Mosaic();
    Rgb colour_at(int x, int y) const;

  private:
    struct Nearest {
        const Site* cell = nullptr;
        const Site* neighbour = nullptr;
        std::int64_t edge_num = 0;  // bisector distance = edge_num / sqrt(edge_den) / 2
        std::int64_t edge_den = 1;
    };

    const Site& site(int gx, int gy) const;
    Nearest nearest(int x, int y) const;

    int columns_;
    int rows_;
    std::vector<Site> sites_;
};

std::int64_t square_distance(const Site& s, int x, int y) {
    const std::int64_t dx = s.x - x;
    const std::int64_t dy = s.y - y;
    return dx * dx + dy * dy;
}

std::int64_t square_distance(const Site& a, const Site& b) {
    return square_distance(a, b.x, b.y);
}

int positive_mod(int v, int m) {
    return ((v % m) + m) % m;
}

bool is_green_side(const Site& s) {
    return positive_mod(s.x - kBandStart, kBandEnd - kBandStart) >= kSplit - kBandStart;
}

Rgb fill_of(const Site& s) {
    if (is_green_side(s)) {
        return colour::kGreen;
    }
    return mix(static_cast<std::uint64_t>(s.id), 1) % 2 == 0 ? colour::kGrey : colour::kTeal;
}

std::uint64_t edge_hash(const Site& a, const Site& b) {
    const auto low = static_cast<std::uint64_t>(a.id < b.id ? a.id : b.id);
    const auto high = static_cast<std::uint64_t>(a.id < b.id ? b.id : a.id);
    return mix(low, high, 2);
}

int edge_width(const Site& a, const Site& b) {
    return 3 + static_cast<int>(edge_hash(a, b) % 3);
}

Rgb outline_of(const Site& a, const Site& b) {
    if (is_green_side(a) && is_green_side(b) && edge_hash(a, b) % 5 < 2) {
        return colour::kMagenta;
    }
    return colour::kSalmon;
}

// Dashes 6 px long and 2 px thick, horizontal and vertical in turn on a 32 px lattice.
bool on_dash(int x, int y, Rgb& colour) {
    const int cx = x % 32;
    const int cy = y % 32;
    const bool across = (cy == 15 || cy == 16) && cx >= 1 && cx < 7;
    const bool down = (cx == 15 || cx == 16) && cy >= 17 && cy < 23;
    if (!across && !down) {
        return false;
    }
    colour = ((x / 32 + y / 32) % 2 == 0) ? colour::kNavy : colour::kYellow;
    return true;
}

Mosaic::Mosaic()
    : columns_(kWidth / kSpacing + 1 + 2 * kMargin), rows_(kHeight / kSpacing + 1 + 2 * kMargin) {
    SplitMix64 rng(kSeed);
    for (int gy = 0; gy < rows_; ++gy) {
        for (int gx = 0; gx < columns_; ++gx) {
            Site s;
            s.x = (gx - kMargin) * kSpacing + kSpacing / 2 + rng.between(-kJitter, kJitter);
            s.y = (gy - kMargin) * kSpacing + kSpacing / 2 + rng.between(-kJitter, kJitter);
            s.id = gy * columns_ + gx;
            sites_.push_back(s);
        }
    }
}

const Site& Mosaic::site(int gx, int gy) const {
    return sites_[static_cast<std::size_t>(gy * columns_ + gx)];
}

// The nearest site, and the neighbour whose shared edge is closest to the point.
Mosaic::Nearest Mosaic::nearest(int x, int y) const {
    const int gx = x / kSpacing + kMargin;
    const int gy = y / kSpacing + kMargin;
    Nearest best;
    std::int64_t best_d = -1;
    for (int j = gy - kMargin; j <= gy + kMargin; ++j) {
        for (int i = gx - kMargin; i <= gx + kMargin; ++i) {
            const std::int64_t d = square_distance(site(i, j), x, y);
            if (best_d < 0 || d < best_d) {
                best_d = d;
                best.cell = &site(i, j);
            }
        }
    }
    bool found = false;
    for (int j = gy - kMargin; j <= gy + kMargin; ++j) {
        for (int i = gx - kMargin; i <= gx + kMargin; ++i) {
            const Site& other = site(i, j);
            if (&other == best.cell) {
                continue;
            }
            const std::int64_t num = square_distance(other, x, y) - best_d;
            const std::int64_t den = square_distance(other, *best.cell);
            // Compare num/sqrt(den) without roots: num^2 * best_den < best_num^2 * den.
            if (!found || num * num * best.edge_den < best.edge_num * best.edge_num * den) {
                best.neighbour = &other;
                best.edge_num = num;
                best.edge_den = den;
                found = true;
            }
        }
    }
    return best;
}

Rgb Mosaic::colour_at(int x, int y) const {
    const Nearest n = nearest(x, y);
    const std::int64_t w = edge_width(*n.cell, *n.neighbour);
    if (n.edge_num * n.edge_num < w * w * n.edge_den) {
        return outline_of(*n.cell, *n.neighbour);
    }
    Rgb dash;
    return on_dash(x, y, dash) ? dash : fill_of(*n.cell);
}

}  // namespace

Image draw_background() {
    const Mosaic mosaic;
    Image image(kWidth, kHeight, colour::kBlack);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            image.set(x, y, mosaic.colour_at(x, y));
        }
    }
    return image;
}

}  // namespace skin
