// The stopwatch in the real window, timed against this process's own clock around the clicks.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <regex>
#include <string>
#include <thread>

#include "form14_controls.h"
#include "running_clock.h"

namespace {

using namespace std::chrono_literals;
using harness::milliseconds;
using Steady = std::chrono::steady_clock;

// The moments just before and just after a click.
struct ClickTime {
    Steady::time_point before;
    Steady::time_point after;
};

// The pointer goes to `at` first, so that only the click itself lies between the readings;
// --delay 0, as xdotool otherwise sleeps 100 ms after it.
ClickTime timedClick(const RunningClock& clock, harness::Point at) {
    const auto origin = clock.window.geometry();
    if (!origin) {
        throw std::runtime_error("the window is gone");
    }
    clock.server.run({"xdotool", "mousemove", std::to_string(origin->x + at.x),
                      std::to_string(origin->y + at.y)});
    ClickTime time{Steady::now(), {}};
    const auto result = clock.server.run({"xdotool", "click", "--delay", "0", "1"});
    time.after = Steady::now();
    if (!result.succeeded()) {
        throw std::runtime_error("xdotool click failed: " + result.standardError);
    }
    return time;
}

double secondsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Seconds on a running or paused dial such as "00:00:05.3"; nullopt for any other text.
std::optional<double> dialSeconds(const std::string& text) {
    std::smatch part;
    if (!std::regex_match(text, part, std::regex(R"((\d+):(\d{2}):(\d{2})\.(\d))"))) {
        return std::nullopt;
    }
    return std::stoi(part[1]) * 3600.0 + std::stoi(part[2]) * 60.0 + std::stoi(part[3]) +
           std::stoi(part[4]) / 10.0;
}

class Stopwatch : public testing::Test {
  protected:
    std::string dial() const {
        return clock.window.readLineEdit(form14::kStopwatchDial.centre()).value_or("(no text)");
    }

    RunningClock clock;
};

TEST_F(Stopwatch, PauseShowsTheTimeBetweenTheClicksAndHoldsItUntilReset) {
    const auto start = timedClick(clock, form14::kStopwatchStartPause.centre());
    std::this_thread::sleep_until(start.after + 2s);  // the time being measured
    const auto pause = timedClick(clock, form14::kStopwatchStartPause.centre());

    const std::string paused = dial();
    const auto shown = dialSeconds(paused);
    ASSERT_TRUE(shown) << '"' << paused << '"';
    // The program took each click somewhere between the readings around it.
    const double shortest = secondsBetween(start.after, pause.before);
    const double longest = secondsBetween(start.before, pause.after);
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
    ASSERT_TRUE(harness::waitUntil([&] { return dialSeconds(dial()).value_or(0) > 0; },
                                   milliseconds(3000), milliseconds(100)))
        << "the stopwatch does not run: " << dial();
    clock.window.click(form14::kStopwatchReset.centre());
    EXPECT_EQ(dial(), "0:00:00");
    std::this_thread::sleep_for(500ms);  // a reset stopwatch must not count on meanwhile
    EXPECT_EQ(dial(), "0:00:00");
}

}  // namespace
