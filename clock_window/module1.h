#pragma once

#include <cstdint>

#include "window_move.h"

// The two desktop calls the drag strip needs, over the program's own window move. They take
// only the one message the strip sends.
namespace Module1 {

inline constexpr std::int32_t WM_NCLBUTTONDOWN = 0xA1;
inline constexpr std::int32_t HTCAPTION = 2;

std::int32_t ReleaseCapture();
// WM_NCLBUTTONDOWN with HTCAPTION moves the window with the mouse; anything else does nothing.
std::int32_t SendMessageA(user32::WindowHandle hwnd, std::int32_t wMsg, std::int32_t wParam,
                          std::int32_t lParam);

}  // namespace Module1
