#pragma once

// Bytes of code page 1251 as the reader sees them. fromCp1251() itself is in layout.h.
namespace layout::detail {

// The one byte that code page 1251 leaves unassigned.
constexpr unsigned char kUnassignedByte = 0x98;

constexpr bool isControlByte(unsigned char b) {
    return b < 0x20 || b == 0x7F;
}

}  // namespace layout::detail
