#include "window_move.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace user32 {

namespace {

// Follows the mouse from where the press was until every button is up.
class MoveLoop : public QObject {
public:
    explicit MoveLoop(QWidget& window)
        : window_(&window), grabOffset_(QCursor::pos() - window.frameGeometry().topLeft()) {}

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
            case QEvent::MouseMove: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (window_) {
                    window_->move(mouse->globalPosition().toPoint() - grabOffset_);
                }
                return true;
            }
            case QEvent::MouseButtonRelease: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->buttons() == Qt::NoButton) {
                    loop_.quit();
                }
                return true;
            }
            case QEvent::Hide:
            case QEvent::Close:
                loop_.quit();
                return false;
            default:
                return false;
        }
    }

private:
    QPointer<QWidget> window_;
    QPoint grabOffset_;
    QEventLoop loop_;
};

}  // namespace

void releaseMouseGrab() {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
}

void moveWithMouse(WindowHandle window) {
    if (window == nullptr || QGuiApplication::mouseButtons() == Qt::NoButton) {
        return;
    }
    QWindow* handle = window->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        return;
    }
    MoveLoop(*window).exec();
}

}  // namespace user32
