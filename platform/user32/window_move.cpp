#include "window_move.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <optional>

#include "x11_desktop.h"

namespace user32 {

namespace {

// Whether an event sent to `receiver` is meant for `window`: the window itself, a control in
// it, or the platform's window that carries it.
bool meantFor(const QObject* receiver, const QWidget& window) {
    if (const auto* widget = qobject_cast<const QWidget*>(receiver)) {
        return widget->window() == &window;
    }
    return receiver != nullptr && receiver == window.windowHandle();
}

// The input that would run the window's own procedures.
bool isInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

// The press that began the move, on the screen.
QPointF pressOnScreen(const QWidget& window) {
    const PressWatch* watch = PressWatch::of(window);
    const std::optional<QPointF> last = watch != nullptr ? watch->last() : std::nullopt;
    return last.value_or(QPointF(QCursor::pos()));
}

// Follows the mouse from where the press was until every button is up. The mouse's moves and
// releases pass on, so that Qt still sees the release and knows the buttons are up; the input
// that would run the window's procedures is dropped, so that none runs inside the move.
class MoveLoop : public QObject {
  public:
    explicit MoveLoop(QWidget& window)
        : window_(&window), grabOffset_(pressOnScreen(window).toPoint() - window.pos()) {}

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
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::MouseButtonRelease:
                follow(*static_cast<QMouseEvent*>(event));
                break;
            case QEvent::Hide:
            case QEvent::Close:
                if (watched == window_) {
                    loop_.quit();
                }
                break;
            default:
                break;
        }
        return window_ && isInput(event->type()) && meantFor(watched, *window_);
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

PressWatch::PressWatch(QWidget& window) : QObject(&window), window_(&window) {
    qApp->installEventFilter(this);
}

const PressWatch* PressWatch::of(const QWidget& window) {
    for (const QObject* child : window.children()) {
        if (const auto* watch = dynamic_cast<const PressWatch*>(child)) {
            return watch;
        }
    }
    return nullptr;
}

bool PressWatch::eventFilter(QObject* watched, QEvent* event) {
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (press && window_ && meantFor(watched, *window_)) {
        last_ = static_cast<QMouseEvent*>(event)->globalPosition();
    }
    return false;
}

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
            const QPointF pressIn =
                pressOnScreen(*window) - QPointF(window->mapToGlobal(QPoint(0, 0)));
            x11::askWindowManagerToMove(*window, pressIn, xButton(held));
            return;
        }
    } else if (QWindow* handle = window->windowHandle();
               handle != nullptr && handle->startSystemMove()) {
        return;  // the compositor moves it
    }
    MoveLoop(*window).exec();
}

}  // namespace user32
