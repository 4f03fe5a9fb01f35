#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "window.h"
#include "x_server.h"

// Steps on the running window that the end-to-end tests and the benchmark share.
namespace form14 {

using Steady = std::chrono::steady_clock;
using Wall = std::chrono::system_clock;

// The moments just before and just after a click: the program took it in between.
struct ClickTime {
    Steady::time_point before;
    Steady::time_point after;
};

// The pointer goes to `at` first, so that only the click itself lies between the readings.
// Throws std::runtime_error when the window is gone or the click cannot be sent.
ClickTime timedClick(const harness::XServer& server, const harness::Window& window,
                     harness::Point at);

double secondsBetween(Steady::time_point from, Steady::time_point to);

// Seconds on a running or paused stopwatch dial such as "00:10:00.3"; nullopt otherwise.
std::optional<double> stopwatchSeconds(const std::string& dial);

// Picks `file` in the open-file dialog that "Обзор..." opens; false when the dialog did not
// show, did not take the name or did not close.
bool pickMelody(const harness::XServer& server, const harness::Window& window,
                const std::filesystem::path& file);

// When the wall clock shows `wall`, on the steady clock.
Steady::time_point onSteadyClock(Wall::time_point wall);

// "HH:mm:ss" of local time, as the alarm box takes it under C.UTF-8.
std::string localTimeText(Wall::time_point wall);

}  // namespace form14
