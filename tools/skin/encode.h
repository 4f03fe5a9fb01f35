#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

namespace skin {

using Bytes = std::vector<std::uint8_t>;

// Uncompressed Windows bitmap (BI_RGB, bottom-up). Depths 1, 4 and 8 need every pixel's colour
// in the palette; depth 24 ignores the palette. Throws std::invalid_argument on anything else.
Bytes encode_bmp(const Bitmap& bitmap);

// Icon file with one BMP-format entry per image (XOR bitmap plus AND mask), at most 256 px.
Bytes encode_ico(const std::vector<IconImage>& images);

// Bytes per stored row: rows are padded to a multiple of four.
int row_stride(int width, int bits_per_pixel);

}  // namespace skin
