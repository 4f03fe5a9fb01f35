// The program's own move of the window, where no window manager or compositor does it: here the
// offscreen platform, which has neither.
#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QTimer>

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
