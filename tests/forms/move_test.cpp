// The program's own move of the window, where no window manager or compositor does it: here the
// offscreen platform, which has neither.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <functional>
#include <sstream>

#include "form.h"
#include "harness/table.h"
#include "window_move.h"

namespace {

struct Press {
    const char* name;
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
};

void PrintTo(const Press& press, std::ostream* out) {
    *out << press.name;
}

const Press kPresses[] = {
    {"Left", Qt::LeftButton, Qt::NoModifier},
    {"Right", Qt::RightButton, Qt::NoModifier},
    {"Middle", Qt::MiddleButton, Qt::NoModifier},
    {"ShiftLeft", Qt::LeftButton, Qt::ShiftModifier},
    {"CtrlAltRight", Qt::RightButton, Qt::ControlModifier | Qt::AltModifier},
};

class OwnMoveTest : public testing::TestWithParam<Press> {
  protected:
    OwnMoveTest() : boundary(errors), form(QStringLiteral(LAYOUT_DIR "/Form14.layout"), boundary) {
        form.window().move(100, 80);
        form.window().show();
    }
    void SetUp() override { ASSERT_TRUE(QTest::qWaitForWindowExposed(&form.window())); }

    std::ostringstream errors;
    forms::EventBoundary boundary;
    forms::Form form;
};

// The strip's handler runs the move, as the window's class does: the window follows the mouse
// from where the press was, the handler returns only when the button is up, and the timers
// tick meanwhile.
TEST_P(OwnMoveTest, FollowsTheMouseUntilTheReleaseWhileTimersTick) {
    QWidget& window = form.window();
    const QPoint grip(100, 10), offset(37, 24);
    const QPoint start = window.pos();
    bool released = false, returnedAfterRelease = false;
    form.image("imCVerx").onMouseDown([&](auto...) {
        user32::releaseMouseGrab();
        user32::moveWithMouse(&window);
        returnedAfterRelease = released;
    });
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(5);
    const Press press = GetParam();
    // The hand moves on the screen, whatever the window does under it.
    const QPoint from = window.mapToGlobal(grip);
    const auto at = [&](QPoint onScreen) { return window.mapFromGlobal(onScreen); };
    QTimer::singleShot(0, [&] {
        QTest::mouseMove(&window, at(from + offset / 2));
        QTest::mouseMove(&window, at(from + offset));
        const int before = ticks;
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= before + 3; }, 2000))
            << "no tick while the window moves";
        released = true;
        QTest::mouseRelease(&window, press.button, press.modifiers, at(from + offset));
    });
    // By the time the handler runs the pointer has gone on: the move keeps the pressed point.
    QCursor::setPos(from + QPoint(9, 6));
    QTest::mousePress(&window, press.button, press.modifiers, grip);

    EXPECT_TRUE(returnedAfterRelease);
    EXPECT_EQ(window.pos(), start + offset);
}

INSTANTIATE_TEST_SUITE_P(, OwnMoveTest, testing::ValuesIn(kPresses), harness::rowName);

// Counts what reaches a widget after the application's filters have had their say.
class Arrivals : public QObject {
  public:
    explicit Arrivals(QWidget& widget) { widget.installEventFilter(this); }
    int count(QEvent::Type type) const { return counts_.value(type); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        ++counts_[event->type()];
        return false;
    }

  private:
    QHash<QEvent::Type, int> counts_;
};

class OwnMoveInputTest : public testing::Test {
  protected:
    OwnMoveInputTest()
        : boundary(errors), form(QStringLiteral(LAYOUT_DIR "/Form14.layout"), boundary) {
        form.window().move(100, 80);
        form.window().show();
        form.window().activateWindow();
        form.image("imCVerx").onMouseDown([this](auto...) {
            if (moving) {
                ++nested;  // the real handler would begin a move inside the move here
                return;
            }
            moving = true;
            user32::releaseMouseGrab();
            user32::moveWithMouse(&form.window());
            moving = false;
        });
        focused.onClick([this] { ++clicks; });
        release.setSingleShot(true);
        QObject::connect(&release, &QTimer::timeout, [this] {
            letGo = true;
            QTest::mouseMove(&form.window(), handAt(offset));
            QTest::mouseRelease(&form.window(), Qt::LeftButton, {}, handAt(offset));
        });
    }
    void SetUp() override { ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window())); }

    // Runs `during` inside a move begun by a left press on the strip; on a later pass of the
    // move's loop the hand moves `offset` from where it pressed and lets go there.
    void moveWhile(const std::function<void()>& during) {
        hand = form.window().mapToGlobal(grip);
        letGo = false;
        QTimer::singleShot(0, &form.window(), [&] {
            during();
            release.start(0);
        });
        QTest::mousePress(&form.window(), Qt::LeftButton, {}, grip);
        EXPECT_TRUE(letGo) << "the move ended before the hand let go";
    }
    // Where the hand is in the window, however far the window has moved.
    QPoint handAt(QPoint away) { return form.window().mapFromGlobal(hand + away); }

    std::ostringstream errors;
    forms::EventBoundary boundary;
    forms::Form form;
    // The button that has the focus when the window first shows.
    forms::CommandButton& focused = form.button("Кнопка_обнуления_секундомера");
    const QPoint grip{100, 10}, offset{30, 20};
    QPoint hand;  // on the screen, where the press was
    QTimer release;
    bool letGo = false;
    bool moving = false;
    int nested = 0;
    int clicks = 0;
};

// No key, press or wheel turn meant for the window runs anything while the program moves it:
// Space or Enter on the focused button clicks nothing, and a second button on the strip starts
// no move inside the first. Afterwards the window takes them again.
TEST_F(OwnMoveInputTest, WindowTakesNoKeysPressesOrWheelUntilTheMoveEnds) {
    QLineEdit& alarm = form.textBox("Циферблат_будильника").widget();
    Arrivals arrivals(alarm);
    const auto wheel = [&alarm] {
        QWheelEvent turn(QPointF(5, 5), alarm.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&alarm, &turn);
    };
    moveWhile([&] {
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(&focused.widget(), key);
        }
        QTest::keyClick(&alarm, Qt::Key_5);
        wheel();
        QTest::mousePress(&form.window(), Qt::RightButton, {}, grip);
        QTest::mouseRelease(&form.window(), Qt::RightButton, {}, grip);
    });
    EXPECT_EQ(nested, 0) << "a second press on the strip reached it during the move";
    EXPECT_EQ(clicks, 0) << "the focused button was clicked during the move";
    EXPECT_EQ(arrivals.count(QEvent::KeyPress), 0);
    EXPECT_EQ(arrivals.count(QEvent::Wheel), 0);
    EXPECT_EQ(form.textBox("Циферблат_будильника").text(), "12:00:00");

    QTest::keyClick(&focused.widget(), Qt::Key_Space);
    wheel();
    EXPECT_EQ(clicks, 1) << "the focused button takes no key after the move";
    EXPECT_EQ(arrivals.count(QEvent::Wheel), 1) << "the alarm box takes no wheel after the move";
}

// The window goes on painting during the move, and another of the program's windows closing
// (a tool tip, say) does not end it.
TEST_F(OwnMoveInputTest, PaintsGoOnAndAnotherWindowClosingLeavesTheMoveGoing) {
    QWidget& window = form.window();
    const QPoint start = window.pos();
    Arrivals arrivals(window);
    moveWhile([&] {
        const int painted = arrivals.count(QEvent::Paint);
        window.update();
        EXPECT_TRUE(QTest::qWaitFor([&] { return arrivals.count(QEvent::Paint) > painted; }, 2000))
            << "no paint during the move";
        QWidget other;
        other.show();
        other.close();
    });
    EXPECT_EQ(window.pos(), start + offset);
}

TEST(MoveWithMouse, DoesNothingWithoutAButtonDownOrAWindow) {
    QWidget window;
    window.move(50, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    user32::moveWithMouse(&window);  // would wait for a release if it started a move
    user32::moveWithMouse(nullptr);
    EXPECT_EQ(window.pos(), QPoint(50, 40));
}

}  // namespace
