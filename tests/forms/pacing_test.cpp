// The clock timer paced by the clock: ticks at each turn of the second, when the wall clock is
// set and after the user's actions, and none in between. Driven by a fake clock under the real
// event loop.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTest>

#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "fakes.h"
#include "form.h"

namespace {

const QString kLayoutDir = QStringLiteral(LAYOUT_DIR);

class PacingTest : public testing::Test {
  protected:
    PacingTest() : boundary(errors), form(kLayoutDir + "/Form14.layout", boundary) {
        clock.set(2026, 12, 10, 12, 0, 0.25);
        timer.onTick(form.event(
            "tick", [this] { ticks.push_back(clock.now().secondsOfDay); },
            forms::Form::Source::timer));
        timer.paceBySeconds(clock, wake);
    }

    // Runs the event loop until nothing is left to do; returns the ticks it delivered.
    std::vector<double> settle() {
        const size_t before = ticks.size();
        for (int pass = 0; pass < 5; ++pass) {
            QCoreApplication::processEvents();
        }
        return {ticks.begin() + static_cast<long>(before), ticks.end()};
    }
    void advance(double seconds) { clock.advance(seconds); }
    static int second(double secondsOfDay) { return static_cast<int>(std::floor(secondsOfDay)); }

    rt::FakeClock clock;
    fakes::FakeClockWake wake{clock};
    std::ostringstream errors;
    forms::EventBoundary boundary;
    forms::Form form;
    forms::Timer& timer = form.timer("Таймер_часов");
    std::vector<double> ticks;
};

TEST_F(PacingTest, FirstTickComesOnTheFirstPassBeforeTheSecondTurns) {
    EXPECT_TRUE(ticks.empty()) << "no tick outside the event loop";
    EXPECT_EQ(settle().size(), 1u);
    EXPECT_EQ(second(ticks.front()), 43200);
    ASSERT_TRUE(wake.armed);
    EXPECT_DOUBLE_EQ(wake.due, fakes::secondsOf(clock.now()) + 0.75) << "the next turn";
}

TEST_F(PacingTest, TicksAtEachTurnOfTheSecondAndNoneBetween) {
    settle();
    for (int turn = 1; turn <= 3; ++turn) {
        advance(0.5);
        EXPECT_TRUE(settle().empty()) << "half way through second " << turn;
        advance(0.5);
        const auto delivered = settle();
        ASSERT_EQ(delivered.size(), 1u) << "turn " << turn;
        EXPECT_EQ(second(delivered[0]), 43200 + turn);
    }
}

TEST_F(PacingTest, SleepOverManySecondsGivesOneTickAtTheWake) {
    settle();
    advance(3600.5);
    const auto delivered = settle();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(second(delivered[0]), 43200 + 3600);
}

TEST_F(PacingTest, AnEarlyWakeIsFollowedByATickInTheRightSecond) {
    settle();
    advance(0.749);  // a hair before the turn
    wake.wakeEarly();
    auto delivered = settle();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(second(delivered[0]), 43200) << "the early tick reads the second before";
    ASSERT_TRUE(wake.armed) << "and the turn is waited for again";
    EXPECT_NEAR(wake.due - fakes::secondsOf(clock.now()), 0.001, 1e-6);
    advance(0.001);
    delivered = settle();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(second(delivered[0]), 43201);
}

TEST_F(PacingTest, SettingTheWallClockTicksAtOnce) {
    settle();
    clock.set(2026, 12, 10, 9, 30, 0.5);  // set back by hand
    auto delivered = settle();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(second(delivered[0]), 9 * 3600 + 30 * 60);
    EXPECT_DOUBLE_EQ(wake.due - fakes::secondsOf(clock.now()), 0.5) << "re-armed for its turn";
}

TEST_F(PacingTest, UserEventsAndEditsOfAnEditableBoxEachBringATick) {
    settle();
    form.event("click", [] {})();
    EXPECT_EQ(settle().size(), 1u) << "after an event procedure of the user";
    form.event("click", [] {})();
    form.event("click", [] {})();
    EXPECT_EQ(settle().size(), 1u) << "two actions before the loop is free share one tick";
    QLineEdit& alarm = form.textBox("Циферблат_будильника").widget();
    alarm.setFocus();
    QTest::keyClicks(&alarm, "7");
    EXPECT_EQ(settle().size(), 1u) << "after typing into the alarm box";
    alarm.insert(QStringLiteral(":30"));  // as a paste or a drop does
    EXPECT_EQ(settle().size(), 1u) << "after a paste";
    form.textBox("Циферблат_часов").setText("12:00:01");
    EXPECT_TRUE(settle().empty()) << "a dial set by a tick brings no tick";
    form.event(
        "tick", [] {}, forms::Form::Source::timer)();
    EXPECT_TRUE(settle().empty()) << "another timer's tick brings none";
}

TEST_F(PacingTest, NoTickOnceDisabledOrUnloaded) {
    settle();
    timer.setEnabled(false);
    EXPECT_FALSE(wake.armed);
    form.event("click", [] {})();
    advance(1.0);
    EXPECT_TRUE(settle().empty());
    timer.setEnabled(true);
    EXPECT_EQ(settle().size(), 1u) << "enabled again, it ticks at once";
    form.event("close", [this] { form.unload(); })();
    advance(1.0);
    clock.set(2026, 12, 10, 13, 0, 0);
    EXPECT_TRUE(settle().empty()) << "from the close on, no tick";
    EXPECT_FALSE(wake.armed);
}

TEST_F(PacingTest, ATickThatFailsStillWaitsForTheNextTurn) {
    timer.onTick(form.event(
        "tick", [] { throw std::runtime_error("broken"); }, forms::Form::Source::timer));
    settle();
    EXPECT_TRUE(wake.armed);
    EXPECT_NE(errors.str().find("broken"), std::string::npos);
}

// The real wake-up, on the kernel's wall-clock timer: it comes, and the paced timer arms it again.
TEST(SystemClockWakeTest, WakesThroughTheEventLoopAndIsArmedAgainByThePacer) {
    forms::SystemClockWake wake;
    int wakes = 0;
    wake.onWake([&] {
        ++wakes;
        wake.arm(3600);
    });
    wake.arm(0.005);
    EXPECT_TRUE(wake.armed());
    QTRY_COMPARE_WITH_TIMEOUT(wakes, 1, 5000);
    EXPECT_TRUE(wake.armed());
    wake.disarm();
    EXPECT_FALSE(wake.armed());
}

// The kernel says how the timer was set: on the wall clock (clockid 0), for an absolute moment,
// and to end when the wall clock is set (flags 1 | 2).
TEST(SystemClockWakeTest, WaitsOnTheWallClockAndEndsWhenItIsSet) {
    forms::SystemClockWake wake;
    ASSERT_GE(wake.descriptor(), 0) << "no timerfd on this kernel";
    wake.arm(3600);
    std::ifstream info("/proc/self/fdinfo/" + std::to_string(wake.descriptor()));
    std::string text((std::istreambuf_iterator<char>(info)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("clockid: 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("settime flags: 03\n"), std::string::npos) << text;
}

TEST(SystemClockWakeTest, ANotificationWithNothingToReadDoesNotWake) {
    forms::SystemClockWake wake;
    int wakes = 0;
    wake.onWake([&] { ++wakes; });
    wake.arm(3600);
    wake.ready();  // as a spurious readiness would
    EXPECT_EQ(wakes, 0);
    EXPECT_TRUE(wake.armed());
}

}  // namespace
