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

// Where the last mouse press was on the screen, as a platform keeps the position of the
// message it dispatches: a move keeps the pressed point of the window under the pointer,
// however far the pointer has gone by the time the move begins.
class PressWatch : public QObject {
  public:
    static std::optional<QPointF> last() { return instance_ ? instance_->last_ : std::nullopt; }

    static void start() {
        instance_ = new PressWatch(qApp);
        qApp->installEventFilter(instance_);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            last_ = static_cast<QMouseEvent*>(event)->globalPosition();
        }
        return false;
    }

  private:
    using QObject::QObject;

    static inline QPointer<PressWatch> instance_;
    std::optional<QPointF> last_;
};

void watchPresses() {
    PressWatch::start();
}

// The press that began the move, on the screen.
QPointF pressOnScreen() {
    return PressWatch::last().value_or(QPointF(QCursor::pos()));
}

// Follows the mouse from where the press was until every button is up. It only watches the
// mouse events, so that Qt still sees the release and knows the buttons are up.
class MoveLoop : public QObject {
  public:
    explicit MoveLoop(QWidget& window)
        : window_(&window), grabOffset_(pressOnScreen().toPoint() - window.pos()) {}

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

Q_COREAPP_STARTUP_FUNCTION(watchPresses)

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
            const QPointF pressIn = pressOnScreen() - QPointF(window->mapToGlobal(QPoint(0, 0)));
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
