#include "encode.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace skin {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kIconDirSize = 6;
constexpr int kIconEntrySize = 16;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dpi

void put_u8(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

void put_u16(Bytes& out, std::uint32_t v) {
    put_u8(out, v);
    put_u8(out, v >> 8);
}

void put_u32(Bytes& out, std::uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

void check_depth(const Bitmap& bitmap) {
    const int bpp = bitmap.bits_per_pixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) {
        throw std::invalid_argument("unsupported bit depth " + std::to_string(bpp));
    }
    if (bpp < 24 && bitmap.palette.size() > (std::size_t{1} << bpp)) {
        throw std::invalid_argument("palette of " + std::to_string(bitmap.palette.size()) +
                                    " colours does not fit " + std::to_string(bpp) + " bits");
    }
}

int palette_entries(int bits_per_pixel) {
    return bits_per_pixel < 24 ? 1 << bits_per_pixel : 0;
}

int pixel_bytes(const Image& image, int bits_per_pixel) {
    return row_stride(image.width(), bits_per_pixel) * image.height();
}

void put_info_header(Bytes& out, const Bitmap& bitmap, int stored_height, int image_bytes) {
    put_u32(out, kInfoHeaderSize);
    put_u32(out, static_cast<std::uint32_t>(bitmap.image.width()));
    put_u32(out, static_cast<std::uint32_t>(stored_height));
    put_u16(out, 1);  // planes
    put_u16(out, static_cast<std::uint32_t>(bitmap.bits_per_pixel));
    put_u32(out, 0);  // BI_RGB
    put_u32(out, static_cast<std::uint32_t>(image_bytes));
    put_u32(out, kPixelsPerMetre);
    put_u32(out, kPixelsPerMetre);
    put_u32(out, 0);  // colours used: all 2^bpp
    put_u32(out, 0);  // colours important: all
}

// Unused entries are black, so every index the depth allows has a defined colour.
void put_palette(Bytes& out, const Bitmap& bitmap) {
    for (int i = 0; i < palette_entries(bitmap.bits_per_pixel); ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        const Rgb c = at < bitmap.palette.size() ? bitmap.palette[at] : Rgb{};
        put_u8(out, c.b);
        put_u8(out, c.g);
        put_u8(out, c.r);
        put_u8(out, 0);
    }
}

std::uint8_t palette_index(const Bitmap& bitmap, int x, int y) {
    const Rgb c = bitmap.image.at(x, y);
    const auto& pal = bitmap.palette;
    const auto found = std::find(pal.begin(), pal.end(), c);
    if (found == pal.end()) {
        throw std::invalid_argument("colour " + std::to_string(c.r) + "," + std::to_string(c.g) +
                                    "," + std::to_string(c.b) + " at (" + std::to_string(x) + ", " +
                                    std::to_string(y) + ") is not in the palette");
    }
    return static_cast<std::uint8_t>(found - pal.begin());
}

// Sub-byte pixels go most significant bits first, as the format wants.
void pack_indexed_row(Bytes& row, const Bitmap& bitmap, int y) {
    const int bpp = bitmap.bits_per_pixel;
    for (int x = 0; x < bitmap.image.width(); ++x) {
        const int bit = x * bpp;
        const int shift = 8 - bpp - bit % 8;
        row[static_cast<std::size_t>(bit / 8)] |=
            static_cast<std::uint8_t>(palette_index(bitmap, x, y) << shift);
    }
}

void pack_truecolour_row(Bytes& row, const Image& image, int y) {
    for (int x = 0; x < image.width(); ++x) {
        const Rgb c = image.at(x, y);
        const std::size_t at = static_cast<std::size_t>(x) * 3;
        row[at] = c.b;
        row[at + 1] = c.g;
        row[at + 2] = c.r;
    }
}

void put_pixels(Bytes& out, const Bitmap& bitmap) {
    const Image& image = bitmap.image;
    for (int y = image.height() - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(row_stride(image.width(), bitmap.bits_per_pixel)), 0);
        if (bitmap.bits_per_pixel == 24) {
            pack_truecolour_row(row, image, y);
        } else {
            pack_indexed_row(row, bitmap, y);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void put_and_mask(Bytes& out, const IconImage& icon) {
    const Image& image = icon.bitmap.image;
    for (int y = image.height() - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(row_stride(image.width(), 1)), 0);
        for (int x = 0; x < image.width(); ++x) {
            if (icon.transparent[static_cast<std::size_t>(y * image.width() + x)]) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void check_icon(const IconImage& icon) {
    check_depth(icon.bitmap);
    const Image& image = icon.bitmap.image;
    if (image.width() > 256 || image.height() > 256) {
        throw std::invalid_argument("icon images are at most 256 x 256");
    }
    const auto pixels = static_cast<std::size_t>(image.width() * image.height());
    if (icon.transparent.size() != pixels) {
        throw std::invalid_argument("icon mask does not match its image size");
    }
}

Bytes icon_entry_body(const IconImage& icon) {
    const Bitmap& bitmap = icon.bitmap;
    const int xor_bytes = pixel_bytes(bitmap.image, bitmap.bits_per_pixel);
    const int and_bytes = pixel_bytes(bitmap.image, 1);
    Bytes body;
    put_info_header(body, bitmap, bitmap.image.height() * 2, xor_bytes + and_bytes);
    put_palette(body, bitmap);
    put_pixels(body, bitmap);
    put_and_mask(body, icon);
    return body;
}

// A size of 256 is written as 0; colour count is 0 from 8 bits up.
void put_icon_entry(Bytes& out, const Bitmap& bitmap, std::size_t size, std::size_t offset) {
    const int bpp = bitmap.bits_per_pixel;
    put_u8(out, static_cast<std::uint32_t>(bitmap.image.width() & 0xFF));
    put_u8(out, static_cast<std::uint32_t>(bitmap.image.height() & 0xFF));
    put_u8(out, bpp < 8 ? static_cast<std::uint32_t>(palette_entries(bpp)) : 0);
    put_u8(out, 0);
    put_u16(out, 1);
    put_u16(out, static_cast<std::uint32_t>(bpp));
    put_u32(out, static_cast<std::uint32_t>(size));
    put_u32(out, static_cast<std::uint32_t>(offset));
}

}  // namespace

int row_stride(int width, int bits_per_pixel) {
    return (width * bits_per_pixel + 31) / 32 * 4;
}

Bytes encode_bmp(const Bitmap& bitmap) {
    check_depth(bitmap);
    const int image_bytes = pixel_bytes(bitmap.image, bitmap.bits_per_pixel);
    const int offset =
        kFileHeaderSize + kInfoHeaderSize + 4 * palette_entries(bitmap.bits_per_pixel);
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    put_u32(out, static_cast<std::uint32_t>(offset + image_bytes));
    put_u32(out, 0);  // reserved
    put_u32(out, static_cast<std::uint32_t>(offset));
    put_info_header(out, bitmap, bitmap.image.height(), image_bytes);
    put_palette(out, bitmap);
    put_pixels(out, bitmap);
    return out;
}

Bytes encode_ico(const std::vector<IconImage>& images) {
    if (images.empty() || images.size() > 0xFFFF) {
        throw std::invalid_argument("an icon file holds 1 to 65535 images");
    }
    std::vector<Bytes> bodies;
    for (const IconImage& icon : images) {
        check_icon(icon);
        bodies.push_back(icon_entry_body(icon));
    }
    Bytes out;
    put_u16(out, 0);  // reserved
    put_u16(out, 1);  // icon, not cursor
    put_u16(out, static_cast<std::uint32_t>(images.size()));
    std::size_t offset = kIconDirSize + kIconEntrySize * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        put_icon_entry(out, images[i].bitmap, bodies[i].size(), offset);
        offset += bodies[i].size();
    }
    for (const Bytes& body : bodies) {
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

}  // namespace skin
