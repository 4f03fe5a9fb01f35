#pragma once

class QWidget;

// Window settings that the desktop applies, beyond what Qt's window flags say.
namespace user32 {

// Keeps the window's button out of the taskbar while leaving it an ordinary window, so that
// the desktop's window switcher can still bring it back once minimised. Call it as the
// window is about to be shown. Only X11 desktops take such a hint; elsewhere it does nothing.
void keepOutOfTaskbar(const QWidget& window);

}  // namespace user32
