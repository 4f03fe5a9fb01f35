#include "module1.h"

namespace Module1 {

std::int32_t ReleaseCapture() {
    user32::releaseMouseGrab();
    return 1;
}

std::int32_t SendMessageA(user32::WindowHandle hwnd, std::int32_t wMsg, std::int32_t wParam,
                          std::int32_t) {
    if (wMsg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        user32::moveWithMouse(hwnd);
    }
    return 0;
}

}  // namespace Module1
