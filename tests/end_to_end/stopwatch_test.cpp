// The stopwatch in the real window, timed against this process's own clock around the clicks.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "form14/controls.h"
#include "form14/running_clock.h"
#include "form14/steps.h"

namespace {

using namespace std::chrono_literals;
using form14::Steady;
using harness::milliseconds;

class Stopwatch : public testing::Test {
  protected:
    std::string dial() const {
        return clock.window.readLineEdit(form14::kStopwatchDial.centre()).value_or("(no text)");
    }

    form14::RunningClock clock;
};

TEST_F(Stopwatch, PauseShowsTheTimeBetweenTheClicksAndHoldsItUntilReset) {
    const auto start =
        form14::timedClick(clock.server, clock.window, form14::kStopwatchStartPause.centre());
    std::this_thread::sleep_until(start.after + 2s);  // the time being measured
    const auto pause =
        form14::timedClick(clock.server, clock.window, form14::kStopwatchStartPause.centre());

    const std::string paused = dial();
    const auto shown = form14::stopwatchSeconds(paused);
    ASSERT_TRUE(shown) << '"' << paused << '"';
    // The program took each click somewhere between the readings around it.
    const double shortest = form14::secondsBetween(start.after, pause.before);
    const double longest = form14::secondsBetween(start.before, pause.after);
    EXPECT_GE(*shown, shortest - 0.2)
        << paused << " after " << shortest << "..." << longest << " s";
    EXPECT_LE(*shown, longest + 0.2) << paused << " after " << shortest << "..." << longest << " s";

    std::this_thread::sleep_for(500ms);  // a paused stopwatch must not move meanwhile
    EXPECT_EQ(dial(), paused);

    clock.window.click(form14::kStopwatchReset.centre());
    EXPECT_EQ(dial(), "0:00:00");
}

TEST_F(Stopwatch, ResetWhileRunningStopsAtZero) {
    clock.window.click(form14::kStopwatchStartPause.centre());
    ASSERT_TRUE(harness::waitUntil([&] { return form14::stopwatchSeconds(dial()).value_or(0) > 0; },
                                   milliseconds(3000), milliseconds(100)))
        << "the stopwatch does not run: " << dial();
    clock.window.click(form14::kStopwatchReset.centre());
    EXPECT_EQ(dial(), "0:00:00");
    std::this_thread::sleep_for(500ms);  // a reset stopwatch must not count on meanwhile
    EXPECT_EQ(dial(), "0:00:00");
}

}  // namespace
