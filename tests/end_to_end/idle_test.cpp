// The idle window: the main thread sleeps between the turns of the second, and the clock dial
// still changes every second.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "form14/controls.h"
#include "form14/running_clock.h"

namespace {

using namespace std::chrono_literals;

TEST(IdleWindow, WakesAboutOnceASecondAndTheDialChangesEverySecond) {
    form14::RunningClock clock;
    const harness::Geometry dial = form14::kClockDial.area();
    std::this_thread::sleep_for(1s);  // past the start's own work
    const auto start = std::chrono::steady_clock::now();
    const auto before = clock.program.wakeUps();
    ASSERT_TRUE(before) << "no status for the main thread";

    // Looked at four times a second; each look is the X server's work, not the program's.
    std::set<std::string> faces;
    int looks = 0;
    for (auto next = start; next < start + 10s; next += 250ms) {
        std::this_thread::sleep_until(next);
        if (const auto face = clock.window.pixels(dial)) {
            faces.insert(*face);
            ++looks;
        }
    }
    std::this_thread::sleep_until(start + 10s);
    const auto after = clock.program.wakeUps();
    ASSERT_TRUE(after);
    const double perSecond = static_cast<double>(*after - *before) / 10.0;
    EXPECT_LE(perSecond, 3.0) << "wake-ups of the main thread a second";
    ASSERT_GE(looks, 36) << "the dial could not be looked at often enough";
    EXPECT_GE(faces.size(), 10u) << "the dial did not change every second";
}

}  // namespace
