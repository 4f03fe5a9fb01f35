#pragma once

#include "image.h"

namespace skin::colour {

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kGrey{128, 128, 128};
inline constexpr Rgb kLightGrey{192, 192, 192};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kCyan{0, 255, 255};
inline constexpr Rgb kTeal{0, 128, 128};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kSalmon{250, 128, 114};
inline constexpr Rgb kMagenta{255, 0, 255};
inline constexpr Rgb kNavy{0, 0, 128};
inline constexpr Rgb kYellow{255, 255, 0};

// The sixteen colours of the classic 4-bit system palette, in their usual order.
inline const Palette kSystem16{
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

inline const Palette kMono{kBlack, kWhite};

}  // namespace skin::colour
