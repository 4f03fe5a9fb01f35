#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "sound/sound_server.h"
#include "window/program.h"
#include "window/window.h"
#include "window/x_server.h"

// Steps on the running window that the end-to-end tests and the benchmarks share.
namespace form14 {

using Steady = std::chrono::steady_clock;
using Wall = std::chrono::system_clock;

// The window titled Form14 on `server`, once it is viewable; nullopt when none showed within
// `bound`.
std::optional<harness::Window> findWindow(const harness::XServer& server,
                                          harness::milliseconds bound = std::chrono::seconds(10));

// Options for the program shown on `server`, in the time zone of this process too, should the
// test run in one of its own, so that both read the same local time.
harness::ProgramOptions options(const harness::XServer& server);
// The same, playing through `sound`.
harness::ProgramOptions withSound(const harness::XServer& server, const sound::SoundServer& sound);

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

// Seconds since midnight of a clock dial such as "9:05:07"; nullopt for any other text.
std::optional<int> clockSeconds(const std::string& dial);

// Picks `file` in the open-file dialog that "Обзор..." opens; false when the dialog did not
// show, did not take the name or did not close.
bool pickMelody(const harness::XServer& server, const harness::Window& window,
                const std::filesystem::path& file);

// A second for the alarm two to three seconds ahead: time to type and arm before it begins.
struct AlarmSecond {
    std::string text;           // "HH:mm:ss", as typed into the alarm box
    Steady::time_point begins;  // when the second begins, on the steady clock
};
AlarmSecond secondAhead();

// Types `text` into the alarm box in place of what it holds.
void typeAlarm(const harness::Window& window, const std::string& text);

// Types `text` into the alarm box and arms the alarm.
void arm(const harness::Window& window, const std::string& text);

// When the wall clock shows `wall`, on the steady clock.
Steady::time_point onSteadyClock(Wall::time_point wall);

// "HH:mm:ss" of local time, as the alarm box takes it under C.UTF-8.
std::string localTimeText(Wall::time_point wall);

}  // namespace form14
