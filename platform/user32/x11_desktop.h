#pragma once

#include <QPointF>

class QWidget;

// What the program asks of an X11 desktop directly, where Qt offers no call for it. Every call
// does nothing (or answers false) on any other platform, and where the program was built
// without xcb.
namespace user32::x11 {

// Whether the application shows its windows on an X server.
bool connected();

// Whether a running window manager says it moves windows on request (_NET_WM_MOVERESIZE).
// A stale claim left on the root window by a window manager that has gone does not count.
bool windowManagerMoves(const QWidget& window);

// Lets go of the pointer grab that the server gave the program with the press.
void ungrabPointer();

// Hands the move of `window` to the window manager, as a press of `button` (1 to 9) at `press`,
// a point of the window in its own pixels. The window manager keeps that point under the
// pointer, and ends the move when that button is released. Nothing happens when the button is
// up already.
void askWindowManagerToMove(const QWidget& window, QPointF press, int button);

// Adds _NET_WM_STATE_SKIP_TASKBAR to the window's state: on the property while the window is
// not mapped, so that the window manager finds it when it takes the window on; by a message
// to the window manager once it is.
void skipTaskbar(const QWidget& window);

}  // namespace user32::x11
