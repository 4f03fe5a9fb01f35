#include <cstdio>

#include "figures.h"
#include "form14/controls.h"
#include "form14/steps.h"
#include "process_stats.h"

namespace bench {

using form14::ClickTime;
using form14::Steady;
namespace {

using harness::milliseconds;

constexpr milliseconds kShowBound(10000);

std::string formatted(const char* format, auto... values) {
    char text[300];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// The program on a server of its own with its face painted; nullopt when no face showed.
std::optional<harness::Window> shownWindow(const harness::XServer& server) {
    auto window = form14::findWindow(server, kShowBound);
    if (!window ||
        !window->waitForPixel(form14::kClockFace, form14::kClockFaceColour, kShowBound)) {
        return std::nullopt;
    }
    return window;
}

// Waits until `until`, or less when the program ends; whether it still runs.
bool runsUntil(harness::Program& program, Steady::time_point until) {
    const auto bound = std::chrono::duration_cast<milliseconds>(until - Steady::now());
    return !harness::waitUntil([&] { return !program.running(); }, bound, milliseconds(200));
}

std::optional<double> stopwatchDial(const harness::Window& window) {
    const auto text = window.readLineEdit(form14::kStopwatchDial.centre());
    return text ? form14::stopwatchSeconds(*text) : std::nullopt;
}

}  // namespace

std::vector<std::string> stopwatchCpuFigures(const Settings& settings) {
    const std::string what =
        "CPU while the stopwatch runs, over " + std::to_string(settings.stopwatchCpuSeconds) + " s";
    const harness::XServer server;
    harness::Program program(settings.program, harness::on(server));
    const auto window = shownWindow(server);
    if (!window) {
        return {what + ": not measured, no face within 10 s (target ≤ 1.2 %)"};
    }
    form14::timedClick(server, *window, form14::kStopwatchStartPause.centre());
    const auto before = cpuSeconds(program.pid());
    const auto wakesBefore = program.wakeUps();
    const auto start = Steady::now();
    const bool ran = runsUntil(program, start + std::chrono::seconds(settings.stopwatchCpuSeconds));
    const auto after = cpuSeconds(program.pid());
    const auto wakesAfter = program.wakeUps();
    const double wall = form14::secondsBetween(start, Steady::now());
    if (!ran || !before || !after || !wakesBefore || !wakesAfter) {
        return {what + ": not measured, the program ended (target ≤ 1.2 %)"};
    }
    // A stopwatch that never started would make the figure an idle one.
    if (stopwatchDial(*window).value_or(0) < 0.9 * settings.stopwatchCpuSeconds) {
        return {what + ": not measured, the stopwatch did not run (target ≤ 1.2 %)"};
    }
    return {formatted("%s: %.2f %% of one core (target ≤ 1.2 %%)", what.c_str(),
                      100 * (*after - *before) / wall),
            formatted("wake-ups of the main thread while the stopwatch runs: %.1f a second "
                      "(target ≤ 110)",
                      static_cast<double>(*wakesAfter - *wakesBefore) / wall)};
}

std::vector<std::string> stopwatchDriftFigures(const Settings& settings) {
    const std::string what =
        "stopwatch reading after " + std::to_string(settings.stopwatchSeconds) + " s";
    const harness::XServer server;
    harness::Program program(settings.program, harness::on(server));
    const auto window = shownWindow(server);
    if (!window) {
        return {what + ": not measured, no face within 10 s (target within 0.1 s)"};
    }
    const auto pointAt = form14::kStopwatchStartPause.centre();
    const ClickTime start = form14::timedClick(server, *window, pointAt);
    if (!runsUntil(program, start.after + std::chrono::seconds(settings.stopwatchSeconds))) {
        return {what + ": not measured, the program ended (target within 0.1 s)"};
    }
    const ClickTime pause = form14::timedClick(server, *window, pointAt);
    const auto text = window->readLineEdit(form14::kStopwatchDial.centre()).value_or("");
    const auto shown = form14::stopwatchSeconds(text);
    if (!shown) {
        return {what + ": not measured, the dial reads \"" + text + "\" (target within 0.1 s)"};
    }
    // Click to click, each click taken at the middle of the readings around it.
    const double elapsed = form14::secondsBetween(start.before, pause.before) / 2 +
                           form14::secondsBetween(start.after, pause.after) / 2;
    const double spread = (form14::secondsBetween(start.before, start.after) +
                           form14::secondsBetween(pause.before, pause.after)) /
                          2;
    return {
        formatted("%s: off by %+.3f s (dial %s, %.3f ± %.3f s between the clicks; the dial "
                  "cuts to tenths) (target within 0.1 s)",
                  what.c_str(), *shown - elapsed, text.c_str(), elapsed, spread)};
}

}  // namespace bench
