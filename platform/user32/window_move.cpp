#include "window_move.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "x11_desktop.h"

namespace user32 {

namespace {

// Follows the mouse from where the press was until every button is up. It only watches the
// mouse events, so that Qt still sees the release and knows the buttons are up.
class MoveLoop : public QObject {
  public:
    explicit MoveLoop(QWidget& window)
        : window_(&window), grabOffset_(QCursor::pos() - window.pos()) {}

    void exec() {
        window_->grabMouse();
        qApp->installEventFilter(this);
        loop_.exec();
        qApp->removeEventFilter(this);
        if (window_) {
            window_->releaseMouse();
        }
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::MouseButtonRelease:
                follow(*static_cast<QMouseEvent*>(event));
                break;
            case QEvent::Hide:
            case QEvent::Close:
                loop_.quit();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    void follow(const QMouseEvent& mouse) {
        if (window_) {
            window_->move(mouse.globalPosition().toPoint() - grabOffset_);
        }
        // A move without buttons means the release went elsewhere: the move is over too.
        if (mouse.buttons() == Qt::NoButton) {
            loop_.quit();
        }
    }

    QPointer<QWidget> window_;
    QPoint grabOffset_;
    QEventLoop loop_;
};

// The X button number of the button that started the move.
int xButton(Qt::MouseButtons held) {
    const std::pair<Qt::MouseButton, int> numbers[] = {
        {Qt::LeftButton, 1}, {Qt::MiddleButton, 2},  {Qt::RightButton, 3},
        {Qt::BackButton, 8}, {Qt::ForwardButton, 9},
    };
    for (const auto& [button, number] : numbers) {
        if (held & button) {
            return number;
        }
    }
    return 1;
}

}  // namespace

void releaseMouseGrab() {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    x11::ungrabPointer();
}

void moveWithMouse(WindowHandle window) {
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    if (window == nullptr || !window->isVisible() || held == Qt::NoButton) {
        return;
    }
    if (x11::connected()) {
        // Qt's own request names the left button, whichever was pressed, and a window
        // manager would then wait for a left release that never comes.
        if (x11::windowManagerMoves(*window)) {
            x11::askWindowManagerToMove(*window, xButton(held));
            return;
        }
    } else if (QWindow* handle = window->windowHandle();
               handle != nullptr && handle->startSystemMove()) {
        return;  // the compositor moves it
    }
    MoveLoop(*window).exec();
}

}  // namespace user32
