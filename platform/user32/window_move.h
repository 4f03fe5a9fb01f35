#pragma once

class QWidget;

// The interactive move of a window by the mouse, as a title bar gives it.
namespace user32 {

using WindowHandle = QWidget*;

// Lets go of the mouse grab that a press on a window leaves, so that a move can take it.
void releaseMouseGrab();

// Moves the window with the mouse while the button that is down stays down, whichever button
// it is. Where the window manager or compositor does the move, this returns at once; where
// there is none, or the window manager does not move windows on request, the program moves
// the window itself and returns when the move ends. Timers go on ticking meanwhile.
void moveWithMouse(WindowHandle window);

}  // namespace user32
