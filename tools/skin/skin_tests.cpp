#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "colours.h"
#include "encode.h"
#include "harness/table.h"
#include "image.h"

// The stored pictures are read back with a small decoder of their own, written from the file
// format rather than from the encoder, so an encoder fault cannot hide behind itself.
namespace {

using skin::Bytes;
using skin::Rgb;
namespace colour = skin::colour;

std::uint32_t u16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at) | b.at(at + 1) << 8);
}

std::uint32_t u32(const Bytes& b, std::size_t at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}

std::int32_t i32(const Bytes& b, std::size_t at) {
    return static_cast<std::int32_t>(u32(b, at));
}

struct Dib {
    int width = 0;
    int height = 0;  // of the picture, not the doubled icon height
    int bpp = 0;
    std::uint32_t compression = 0;
    std::size_t palette_at = 0;
    std::size_t pixels_at = 0;
    std::size_t mask_at = 0;  // icons only

    int stride(int bits) const { return (width * bits + 31) / 32 * 4; }
};

Dib read_dib(const Bytes& b, std::size_t at, bool icon) {
    Dib d;
    d.width = i32(b, at + 4);
    d.height = i32(b, at + 8) / (icon ? 2 : 1);
    d.bpp = static_cast<int>(u16(b, at + 14));
    d.compression = u32(b, at + 16);
    d.palette_at = at + u32(b, at);
    d.pixels_at = d.palette_at + (d.bpp < 24 ? 4u << d.bpp : 0u);
    d.mask_at = d.pixels_at + static_cast<std::size_t>(d.stride(d.bpp) * d.height);
    return d;
}

Dib read_bmp(const Bytes& b) {
    Dib d = read_dib(b, 14, false);
    d.pixels_at = u32(b, 10);
    return d;
}

Rgb pixel(const Bytes& b, const Dib& d, int x, int y) {
    const std::size_t row =
        d.pixels_at + static_cast<std::size_t>(d.stride(d.bpp) * (d.height - 1 - y));
    if (d.bpp == 24) {
        const std::size_t at = row + static_cast<std::size_t>(x) * 3;
        return {b.at(at + 2), b.at(at + 1), b.at(at)};
    }
    const int bit = x * d.bpp;
    const int index = (b.at(row + static_cast<std::size_t>(bit / 8)) >> (8 - d.bpp - bit % 8)) &
                      ((1 << d.bpp) - 1);
    const std::size_t entry = d.palette_at + static_cast<std::size_t>(index) * 4;
    return {b.at(entry + 2), b.at(entry + 1), b.at(entry)};
}

bool masked(const Bytes& b, const Dib& d, int x, int y) {
    const std::size_t row = d.mask_at + static_cast<std::size_t>(d.stride(1) * (d.height - 1 - y));
    return (b.at(row + static_cast<std::size_t>(x / 8)) >> (7 - x % 8)) & 1;
}

Bytes load(const std::string& name) {
    std::ifstream in(std::string(SKIN_DIR) + "/" + name, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + name);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::tuple<int, int, int>> colours_in(const Bytes& b, const Dib& d) {
    std::set<std::tuple<int, int, int>> found;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            const Rgb c = pixel(b, d, x, y);
            found.insert({c.r, c.g, c.b});
        }
    }
    return found;
}

std::tuple<int, int, int> rgb(Rgb c) {
    return {c.r, c.g, c.b};
}

// --- stored files ---

struct StoredBitmap {
    const char* name;  // the file, without ".bmp"
    int width;
    int height;
    int bpp;
};

void PrintTo(const StoredBitmap& b, std::ostream* out) {
    *out << b.name;
}

const StoredBitmap kStoredBitmaps[] = {
    {"background", 852, 662, 24},     {"strip", 288, 32, 8},
    {"command3", 16, 15, 4},          {"command3_down", 16, 15, 4},
    {"command3_disabled", 16, 15, 1}, {"command4", 16, 16, 4},
    {"command4_down", 14, 16, 8},     {"command4_disabled", 14, 16, 8},
};

class StoredBitmapTest : public testing::TestWithParam<StoredBitmap> {};

TEST_P(StoredBitmapTest, HeaderDescribesAnUncompressedBottomUpBitmap) {
    const StoredBitmap want = GetParam();
    const Bytes b = load(std::string(want.name) + ".bmp");
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(i32(b, 18), want.width);
    EXPECT_EQ(i32(b, 22), want.height);  // positive: rows stored bottom-up
    EXPECT_EQ(u16(b, 26), 1u);
    EXPECT_EQ(u16(b, 28), static_cast<std::uint32_t>(want.bpp));
    EXPECT_EQ(u32(b, 30), 0u);  // BI_RGB
    const Dib d = read_bmp(b);
    const std::size_t palette = want.bpp < 24 ? 4u << want.bpp : 0u;
    EXPECT_EQ(d.pixels_at, 54 + palette);
    EXPECT_EQ(b.size(), d.pixels_at + static_cast<std::size_t>(d.stride(want.bpp) * want.height));
}

INSTANTIATE_TEST_SUITE_P(Skin, StoredBitmapTest, testing::ValuesIn(kStoredBitmaps),
                         harness::rowName);

TEST(StoredBitmaps, StatesSharingAPictureAreIdentical) {
    EXPECT_EQ(load("command3.bmp"), load("command3_down.bmp"));
    EXPECT_EQ(load("command4_down.bmp"), load("command4_disabled.bmp"));
}

TEST(Strip, BandsRunThroughTheHuesAndRepeatEvery96Pixels) {
    const Bytes b = load("strip.bmp");
    const Dib d = read_bmp(b);
    const struct {
        int x;
        Rgb colour;
    } bands[] = {
        {0, {255, 0, 0}},    {3, {255, 0, 0}},   {4, {255, 64, 0}}, {24, {127, 255, 0}},
        {48, {0, 255, 255}}, {95, {255, 0, 64}}, {96, {255, 0, 0}}, {287, {255, 0, 64}},
    };
    for (const auto& band : bands) {
        SCOPED_TRACE("x = " + std::to_string(band.x));
        EXPECT_EQ(rgb(pixel(b, d, band.x, 0)), rgb(band.colour));
    }
    std::set<std::tuple<int, int, int>> first_cycle;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            ASSERT_EQ(rgb(pixel(b, d, x, y)), rgb(pixel(b, d, x % 96, 0))) << x << "," << y;
            first_cycle.insert(rgb(pixel(b, d, x % 96, 0)));
        }
    }
    EXPECT_EQ(first_cycle.size(), 24u);
}

TEST(Background, VisibleCornerKeepsEachSideToItsColours) {
    const Bytes b = load("background.bmp");
    const Dib d = read_bmp(b);
    const std::set<std::tuple<int, int, int>> dashes{rgb(colour::kNavy), rgb(colour::kYellow)};
    const std::set<std::tuple<int, int, int>> left{rgb(colour::kGrey), rgb(colour::kTeal),
                                                   rgb(colour::kSalmon)};
    const std::set<std::tuple<int, int, int>> right{rgb(colour::kGreen), rgb(colour::kSalmon),
                                                    rgb(colour::kMagenta)};
    std::set<std::tuple<int, int, int>> seen_left;
    std::set<std::tuple<int, int, int>> seen_right;
    for (int y = 0; y < 338; ++y) {
        for (int x = 0; x < 410; ++x) {
            const auto c = rgb(pixel(b, d, x, y));
            if (dashes.count(c) != 0) {
                continue;
            }
            // Cells straddle the change of style, so only the clear parts of each side are held.
            const bool allowed = (x >= 180 || left.count(c) != 0) &&
                                 (x < 280 || right.count(c) != 0) &&
                                 (left.count(c) != 0 || right.count(c) != 0);
            ASSERT_TRUE(allowed) << "(" << x << ", " << y << ")";
            (x < 180 ? seen_left : seen_right).insert(c);
        }
    }
    EXPECT_EQ(seen_left, left);
    EXPECT_TRUE(seen_right.count(rgb(colour::kGreen)) && seen_right.count(rgb(colour::kMagenta)));
}

int arrow_row_width(const Bytes& b, const Dib& d, int y) {
    int width = 0;
    for (int x = 0; x < d.width; ++x) {
        width += pixel(b, d, x, y) == colour::kLightGrey ? 0 : 1;
    }
    return width;
}

TEST(Minimise, ArrowPointsDownWithABlackOutlineAndMatchesTheDisabledShape) {
    const Bytes b = load("command3.bmp");
    const Bytes off = load("command3_disabled.bmp");
    const Dib d = read_bmp(b);
    const Dib d_off = read_bmp(off);
    const auto ground = [&](int x, int y) {
        return x < 0 || y < 0 || x >= d.width || y >= d.height ||
               pixel(b, d, x, y) == colour::kLightGrey;
    };
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            SCOPED_TRACE("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
            const Rgb c = pixel(b, d, x, y);
            const bool edge =
                ground(x - 1, y) || ground(x + 1, y) || ground(x, y - 1) || ground(x, y + 1);
            if (!ground(x, y)) {
                EXPECT_EQ(rgb(c), rgb(edge ? colour::kBlack : colour::kGrey));
            }
            EXPECT_EQ(rgb(pixel(off, d_off, x, y)),
                      rgb(ground(x, y) ? colour::kWhite : colour::kBlack));
        }
    }
    std::vector<int> widths;
    for (int y = 0; y < d.height; ++y) {
        if (const int w = arrow_row_width(b, d, y); w > 0) {
            widths.push_back(w);
        }
    }
    ASSERT_GE(widths.size(), 3u);
    EXPECT_GT(widths.front(), widths.back());  // a stored-upside-down arrow would point up
    EXPECT_GT(widths[widths.size() / 2], widths.front());
}

TEST(Close, RedXOnLightGrey) {
    const Bytes b = load("command4.bmp");
    const Dib d = read_bmp(b);
    EXPECT_EQ(colours_in(b, d), (std::set{rgb(colour::kRed), rgb(colour::kLightGrey)}));
    for (const auto& [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}, {7, 1}, {7, 14}}) {
        EXPECT_EQ(rgb(pixel(b, d, x, y)), rgb(colour::kLightGrey)) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{2, 2}, {13, 2}, {2, 13}, {13, 13}, {7, 7}, {8, 8}}) {
        EXPECT_EQ(rgb(pixel(b, d, x, y)), rgb(colour::kRed)) << x << "," << y;
    }
}

TEST(Close, PressedStateIsASunkenSquareWithASmallX) {
    const Bytes b = load("command4_down.bmp");
    const Dib d = read_bmp(b);
    const struct {
        const char* where;
        int x;
        int y;
        Rgb colour;
    } points[] = {
        {"top", 6, 0, colour::kGrey},
        {"left", 0, 7, colour::kGrey},
        {"bottom", 6, 15, colour::kBlack},
        {"right", 13, 7, colour::kBlack},
        {"inside bottom", 6, 14, colour::kLightGrey},
        {"inside right", 12, 7, colour::kLightGrey},
        {"face", 2, 2, colour::kWhite},
        {"face", 10, 12, colour::kWhite},
        {"X centre", 6, 7, colour::kRed},
    };
    for (const auto& p : points) {
        EXPECT_EQ(rgb(pixel(b, d, p.x, p.y)), rgb(p.colour)) << p.where;
    }
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            const bool middle = x >= 3 && x <= 10 && y >= 3 && y <= 12;
            EXPECT_TRUE(middle || pixel(b, d, x, y) != colour::kRed) << x << "," << y;
        }
    }
}

struct IconEntry {
    int size;
    int bpp;
};

TEST(Icon, HoldsThreeMaskedImagesOfTheWindow) {
    const Bytes b = load("form14.ico");
    ASSERT_GE(b.size(), 6u);
    EXPECT_EQ(u16(b, 0), 0u);
    EXPECT_EQ(u16(b, 2), 1u);
    ASSERT_EQ(u16(b, 4), 3u);
    const IconEntry entries[] = {{32, 1}, {32, 4}, {16, 4}};
    for (std::size_t i = 0; i < 3; ++i) {
        const IconEntry want = entries[i];
        SCOPED_TRACE("entry " + std::to_string(i));
        const std::size_t e = 6 + 16 * i;
        EXPECT_EQ(b.at(e), want.size);
        EXPECT_EQ(b.at(e + 1), want.size);
        EXPECT_EQ(b.at(e + 2), 1 << want.bpp);
        EXPECT_EQ(u16(b, e + 6), static_cast<std::uint32_t>(want.bpp));
        const std::size_t size = u32(b, e + 8);
        const std::size_t at = u32(b, e + 12);
        ASSERT_LE(at + size, b.size());
        EXPECT_EQ(i32(b, at + 8), 2 * want.size);  // XOR bitmap and AND mask together
        const Dib d = read_dib(b, at, true);
        EXPECT_EQ(d.bpp, want.bpp);
        EXPECT_EQ(d.compression, 0u);
        EXPECT_EQ(at + size, d.mask_at + static_cast<std::size_t>(d.stride(1) * want.size));

        const int n = want.size;
        for (const auto& [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}}) {
            EXPECT_TRUE(masked(b, d, x, y)) << x << "," << y;
            EXPECT_EQ(rgb(pixel(b, d, x, y)), rgb(colour::kBlack)) << x << "," << y;
        }
        EXPECT_FALSE(masked(b, d, n * 3 / 8, n / 2));
        EXPECT_EQ(rgb(pixel(b, d, n * 3 / 8, n / 2)), rgb(colour::kWhite));
        const auto colours = colours_in(b, d);
        if (want.bpp == 4) {
            EXPECT_EQ(colours, (std::set{rgb(colour::kBlack), rgb(colour::kWhite),
                                         rgb(colour::kCyan), rgb(colour::kGrey)}));
        } else {
            EXPECT_EQ(colours, (std::set{rgb(colour::kBlack), rgb(colour::kWhite)}));
        }
    }
}

// --- encoder ---

struct Depth {
    const char* name;
    int bpp;
    int stride;  // bytes in a row of nine pixels
};

void PrintTo(const Depth& depth, std::ostream* out) {
    *out << depth.name;
}

const Depth kDepths[] = {{"bpp1", 1, 4}, {"bpp4", 4, 8}, {"bpp8", 8, 12}, {"bpp24", 24, 28}};

class EncoderDepthTest : public testing::TestWithParam<Depth> {};

// Nine pixels, so that sub-byte depths end mid-byte and every depth needs row padding.
TEST_P(EncoderDepthTest, PacksPadsAndStoresRowsBottomUp) {
    const int bpp = GetParam().bpp;
    const int stride = GetParam().stride;
    const Rgb a{10, 20, 30};
    const Rgb c{200, 100, 50};
    skin::Image image(9, 2, c);
    for (int x = 0; x < 9; x += 2) {
        image.set(x, 0, a);
    }
    const Bytes b = skin::encode_bmp({image, bpp, {a, c}});
    const Dib d = read_bmp(b);
    EXPECT_EQ(d.stride(bpp), stride);
    EXPECT_EQ(skin::row_stride(9, bpp), stride);
    ASSERT_EQ(b.size(), d.pixels_at + 2u * static_cast<std::size_t>(stride));
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(rgb(pixel(b, d, x, 0)), rgb(x % 2 == 0 ? a : c)) << x;
        EXPECT_EQ(rgb(pixel(b, d, x, 1)), rgb(c)) << x;
    }
    EXPECT_EQ(b.back(), 0) << "row padding must be zero";
}

INSTANTIATE_TEST_SUITE_P(Depths, EncoderDepthTest, testing::ValuesIn(kDepths), harness::rowName);

TEST(Encoder, RejectsWhatTheFormatCannotHold) {
    const skin::Image dot(1, 1, colour::kRed);
    const skin::Bitmap mono{dot, 1, colour::kMono};
    const struct {
        const char* what;
        std::function<void()> encode;
    } cases[] = {
        {"colour missing from palette", [&] { skin::encode_bmp(mono); }},
        {"16 bits",
         [&] {
             skin::encode_bmp({dot, 16, {}});
         }},
        {"palette too big",
         [&] {
             skin::encode_bmp({dot, 1, colour::kSystem16});
         }},
        {"empty image", [] { skin::Image(0, 4, colour::kRed); }},
        {"no icon images", [] { skin::encode_ico({}); }},
        {"mask size",
         [&] {
             skin::encode_ico({{{dot, 24, {}}, {true, false}}});
         }},
        {"icon too large",
         [] {
             const skin::Image wide(257, 1, colour::kRed);
             skin::encode_ico({{{wide, 24, {}}, std::vector<bool>(257, false)}});
         }},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(c.encode(), std::invalid_argument) << c.what;
    }
}

}  // namespace
