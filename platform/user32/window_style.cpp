#include "window_style.h"

#include "x11_desktop.h"

namespace user32 {

void keepOutOfTaskbar(const QWidget& window) {
    x11::skipTaskbar(window);
}

}  // namespace user32
