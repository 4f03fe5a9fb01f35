#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <optional>

class QWidget;

// The interactive move of a window by the mouse, as a title bar gives it.
namespace user32 {

using WindowHandle = QWidget*;

// Keeps where the last mouse press on a window or on any control in it was, on the screen, as
// a platform keeps the position of the message it dispatches: a move keeps the pressed point
// of the window under the pointer, however far the pointer has gone by the time the move
// begins. The owner of a window that moves with the mouse keeps one beside it; it is a child
// of the window, so that the move finds it, and must not outlive the window.
class PressWatch : public QObject {
  public:
    explicit PressWatch(QWidget& window);
    std::optional<QPointF> last() const { return last_; }
    // The watch of `window`, or nullptr where it has none.
    static const PressWatch* of(const QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> window_;
    std::optional<QPointF> last_;
};

// Lets go of the mouse grab that a press on a window leaves, so that a move can take it.
void releaseMouseGrab();

// Moves the window with the mouse while the button that is down stays down, whichever button
// it is. Where the window manager or compositor does the move, this returns at once; where
// there is none, or the window manager does not move windows on request, the program moves
// the window itself and returns when the move ends. Timers go on ticking and the window goes
// on painting meanwhile, but it takes no keys, presses or wheel turns until the move ends, so
// that nothing the window runs on input starts inside the move.
void moveWithMouse(WindowHandle window);

}  // namespace user32
