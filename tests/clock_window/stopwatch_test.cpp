#include <cfenv>
#include <cfloat>

#include "form14_fixture.h"
#include "harness/table.h"

namespace {

class StopwatchTest : public Form14Test {
  protected:
    StopwatchTest() { load(2026, 12, 10, 0, 0, 0); }

    // Time passes until the wall clock reads this moment of December 2026.
    void at(int day, int hour, int minute, double second) {
        passUntil(2026, 12, day, hour, minute, second);
    }
    void startStop() { click(window.Кнопка_пуска_паузы_секундомера); }
    void reset() { click(window.Кнопка_обнуления_секундомера); }
    std::string dial() { return window.Циферблат_секундомера.text(); }
};

struct Reading {
    const char* name;
    double start;  // seconds since midnight at the start
    double now;    // at the tick, the same day
    const char* shown;
    int tenths;
};

void PrintTo(const Reading& c, std::ostream* os) {
    *os << c.name;
}

const Reading kReadings[] = {
    {"sixty_five_point_three", 36000.0, 36065.3, "0:01:05.3", 3},
    {"whole_seconds", 100.0, 105.0, "0:00:05.0", 0},
    {"float_nearest_0_7_gives_6", 0.0, 0.7, "0:00:00.6", 6},
    {"float_nearest_1_9_gives_8", 0.0, 1.9, "0:00:01.8", 8},
    {"rounded_to_float_before_the_digit", 0.001, 3600.001, "1:00:00.0", 0},
    {"ninety_five_hundredths_give_9", 10.0, 10.96, "0:00:00.9", 9},
    {"seconds_in_step_with_tenths", 0.0, 1.6, "0:00:01.6", 6},
};

class StopwatchReadingTest : public StopwatchTest, public ::testing::WithParamInterface<Reading> {};

TEST_P(StopwatchReadingTest, ShowsTheStoredElapsedTimeWithItsTenthsCut) {
    const Reading& c = GetParam();
    clock.advance(c.start);
    startStop();
    clock.advance(c.now - c.start);
    tickStopwatch();
    EXPECT_EQ(dial(), c.shown);
    EXPECT_EQ(window.Десятые_секунды, c.tenths);
    EXPECT_EQ(errors.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, StopwatchReadingTest, ::testing::ValuesIn(kReadings),
                         harness::rowName);

TEST_F(StopwatchTest, CountedTimeOfADayOrMoreCarriesTheDate) {
    at(10, 0, 0, 0);
    startStop();
    at(10, 20, 0, 0);
    tickStopwatch();
    startStop();  // pause after 20 hours
    at(11, 9, 0, 0);
    startStop();
    at(11, 14, 0, 0);
    tickStopwatch();
    EXPECT_EQ(dial(), "31.12.1899 1:00:00.0");
}

TEST_F(StopwatchTest, StartPauseAndResumeCountOnWithoutAJump) {
    at(10, 9, 0, 0);
    startStop();
    EXPECT_EQ(window.Состояние_секундомера, 0);
    EXPECT_TRUE(window.Таймер_секундомера.enabled());
    EXPECT_EQ(window.Кнопка_пуска_паузы_секундомера.caption(), "ПАУЗА");
    EXPECT_EQ(dial(), "0:00:00") << "unchanged until the first tick";

    at(10, 9, 0, 2.5);
    tickStopwatch();
    startStop();
    EXPECT_EQ(window.Состояние_секундомера, 1);
    EXPECT_FALSE(window.Таймер_секундомера.enabled());
    EXPECT_EQ(window.Кнопка_пуска_паузы_секундомера.caption(), "ПУСК");
    EXPECT_EQ(std::memcmp(&window.Накопленное_время, &window.Время_секундомера, sizeof(float)), 0);
    EXPECT_EQ(dial(), "0:00:02.5");

    at(10, 10, 0, 0);  // a minute later, paused
    startStop();
    at(10, 10, 0, 1.0);
    tickStopwatch();
    EXPECT_EQ(dial(), "0:00:03.5");
}

TEST_F(StopwatchTest, PauseBeforeTheFirstTickKeepsWhatWasShown) {
    at(10, 9, 0, 0);
    startStop();
    at(10, 9, 0, 4.0);
    startStop();  // no tick came
    EXPECT_EQ(window.Накопленное_время, 0.0f);
    EXPECT_EQ(dial(), "0:00:00");

    startStop();
    at(10, 9, 0, 5.0);
    tickStopwatch();
    startStop();
    startStop();
    at(10, 9, 0, 9.0);
    startStop();  // paused again before a tick
    EXPECT_EQ(window.Накопленное_время, 1.0f);
}

TEST_F(StopwatchTest, ResetFromEveryStateGivesTheSameEndState) {
    for (const char* from : {"running", "paused", "reset"}) {
        startStop();
        clock.advance(3);
        tickStopwatch();
        if (std::string(from) != "running") {
            startStop();
        }
        if (std::string(from) == "reset") {
            reset();
        }
        reset();
        EXPECT_EQ(window.Состояние_секундомера, 2) << from;
        EXPECT_FALSE(window.Таймер_секундомера.enabled()) << from;
        EXPECT_EQ(window.Кнопка_пуска_паузы_секундомера.caption(), "ПУСК") << from;
        EXPECT_EQ(dial(), "0:00:00") << from;
        EXPECT_EQ(window.Время_секундомера, 0.0f) << from;
        EXPECT_EQ(window.Накопленное_время, 0.0f) << from;
    }
}

TEST_F(StopwatchTest, NextStartAfterAResetCountsFromZero) {
    at(10, 9, 0, 0);
    startStop();
    at(10, 9, 0, 30);
    tickStopwatch();
    reset();
    at(10, 9, 5, 0);
    startStop();
    at(10, 9, 5, 1.25);  // exact in a float, so the digit is plain
    tickStopwatch();
    EXPECT_EQ(dial(), "0:00:01.2");
}

TEST_F(StopwatchTest, RunAcrossMidnightCountsOn) {
    at(10, 23, 59, 58);
    startStop();
    at(10, 23, 59, 59.5);
    tickStopwatch();
    EXPECT_EQ(dial(), "0:00:01.5");
    at(11, 0, 0, 3);
    tickStopwatch();
    EXPECT_EQ(dial(), "0:00:05.0");
    at(11, 0, 0, 4.25);
    tickStopwatch();
    EXPECT_EQ(dial(), "0:00:06.2");
}

TEST_F(StopwatchTest, RunAcrossTwoMidnights) {
    at(10, 23, 0, 0);
    startStop();
    at(12, 1, 0, 0);
    tickStopwatch();
    EXPECT_EQ(dial(), "31.12.1899 2:00:00.0");
}

// A run during which the wall clock moves on its own: the stopwatch shows the time that passed.
struct WallMove {
    const char* name;
    int month, day, hour, minute;  // the start, in 2026
    double before;                 // seconds that pass before the wall clock moves, with a tick
    double shift;                  // the wall clock alone moves by this
    double after;                  // seconds that pass after, with no tick until the end
    const char* shown;
};

void PrintTo(const WallMove& c, std::ostream* os) {
    *os << c.name;
}

class StopwatchWallMoveTest : public StopwatchTest,
                              public ::testing::WithParamInterface<WallMove> {};

TEST_P(StopwatchWallMoveTest, ShowsTheTimeThatPassed) {
    const WallMove& c = GetParam();
    clock.set(2026, c.month, c.day, c.hour, c.minute, 0);
    startStop();
    clock.advance(c.before);
    tickStopwatch();
    clock.shiftWall(c.shift);
    clock.advance(c.after);
    tickStopwatch();
    EXPECT_EQ(dial(), c.shown);
    EXPECT_EQ(errors.str(), "");
}

constexpr double kHour = 3600.0;

const WallMove kWallMoves[] = {
    {"daylight_saving_begins", 3, 29, 2, 59, 60, kHour, 60, "0:02:00.0"},
    {"daylight_saving_ends", 10, 25, 3, 59, 60, -kHour, 60, "0:02:00.0"},
    {"clock_set_forward_a_day", 12, 10, 9, 0, 30, 25 * kHour, 30, "0:01:00.0"},
    {"clock_set_back", 12, 10, 9, 0, 30, -2 * kHour - 0.5, 30, "0:01:00.0"},
    {"zone_moved_east_past_midnight", 12, 10, 22, 0, 60, 2.5 * kHour, 60, "0:02:00.0"},
    {"zone_moved_west_back_over_midnight", 12, 11, 0, 30, 60, -5 * kHour, 60, "0:02:00.0"},
    {"machine_slept_over_midnight", 12, 10, 22, 0, 60, 0, 10 * kHour, "10:01:00.0"},
    {"slept_while_the_clock_was_set_back", 12, 10, 22, 0, 60, -kHour, 10 * kHour, "10:01:00.0"},
};

INSTANTIATE_TEST_SUITE_P(Cases, StopwatchWallMoveTest, ::testing::ValuesIn(kWallMoves),
                         harness::rowName);

TEST_F(StopwatchTest, PauseAndResumeAroundAClockSetBackCountOnlyTheRunning) {
    at(10, 9, 0, 0);
    startStop();
    clock.advance(10);
    tickStopwatch();
    startStop();
    clock.shiftWall(-kHour);
    clock.advance(50);  // paused
    startStop();
    clock.shiftWall(-kHour);
    clock.advance(5.5);
    tickStopwatch();
    EXPECT_EQ(dial(), "0:00:15.5");
}

TEST_F(StopwatchTest, TickLeavesTheStateTheCaptionAndTheTimerAlone) {
    at(10, 9, 0, 0);
    startStop();
    // Marks that no transition leaves show whether the tick writes any of the three.
    for (const bool enabled : {false, true}) {
        window.Состояние_секундомера = 5;
        window.Кнопка_пуска_паузы_секундомера.setCaption("x");
        window.Таймер_секундомера.setEnabled(enabled);
        clock.advance(1);
        tickStopwatch();
        EXPECT_EQ(window.Состояние_секундомера, 5);
        EXPECT_EQ(window.Кнопка_пуска_паузы_секундомера.caption(), "x");
        EXPECT_EQ(window.Таймер_секундомера.enabled(), enabled);
    }
    EXPECT_EQ(dial(), "0:00:02.0") << "the ticks ran";
}

TEST_F(StopwatchTest, FlagsLeftByOtherCodeDoNotFailTheTick) {
    at(10, 9, 0, 0);
    startStop();
    at(10, 9, 0, 1);
    std::feraiseexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID);
    tickStopwatch();
    EXPECT_EQ(dial(), "0:00:01.0");
    EXPECT_EQ(errors.str(), "");
}

TEST_F(StopwatchTest, OverflowFailsTheTickAfterStoringTheElapsedTime) {
    at(10, 9, 0, 0);
    startStop();
    tickStopwatch();
    const std::string before = dial();
    // Only the sum of the two, each within the float range, leaves it.
    window.Начало_по_непрерывным_часам -= 1e38;
    window.Накопленное_время = FLT_MAX;
    at(10, 9, 0, 1);
    tickStopwatch();
    EXPECT_TRUE(std::isinf(window.Время_секундомера));
    EXPECT_EQ(dial(), before);
    EXPECT_NE(errors.str().find("Таймер_секундомера_Timer: failure 6"), std::string::npos);
}

}  // namespace
