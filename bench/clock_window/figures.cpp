#include "figures.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "form14/controls.h"
#include "process_stats.h"
#include "screen_probe.h"
#include "window/program.h"
#include "window/x_server.h"

namespace bench {
namespace {

using harness::milliseconds;

constexpr milliseconds kShowBound(10000);

std::string line(const char* format, double value) {
    char text[200];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool faceShown(ScreenProbe& probe) {
    return probe.look(form14::kTitle, form14::kClockFace) == form14::kClockFaceColour;
}

// Milliseconds from the fork to the face on screen; negative when it never showed.
double timeOneStart(const Settings& settings, const harness::XServer& server, ScreenProbe& probe) {
    const auto start = harness::Clock::now();
    harness::Program program(settings.program, harness::on(server));
    const bool shown =
        harness::waitUntil([&] { return faceShown(probe); }, kShowBound, milliseconds(1));
    const std::chrono::duration<double, std::milli> elapsed = harness::Clock::now() - start;
    program.stop();
    // The server drops the window a moment after the program ends; the next start must not
    // see this one's face.
    harness::waitUntil([&] { return !probe.showing(form14::kTitle); }, kShowBound);
    return shown ? elapsed.count() : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

std::vector<std::string> firstPaintFigures(const Settings& settings) {
    const harness::XServer server;
    ScreenProbe probe(server.display());
    std::vector<double> times;
    for (int i = 0; i < settings.starts; ++i) {
        const double ms = timeOneStart(settings, server, probe);
        if (ms < 0) {
            return {"time to first paint: not measured, no face within 10 s (target ≤ 150 ms)"};
        }
        times.push_back(ms);
    }
    const std::string figure = "time to first paint: %.0f ms, median of " +
                               std::to_string(settings.starts) + " starts (target ≤ 150 ms)";
    return {line(figure.c_str(), median(times))};
}

std::vector<std::string> idleFigures(const Settings& settings) {
    const harness::XServer server;
    ScreenProbe probe(server.display());
    harness::Program program(settings.program, harness::on(server));
    if (!harness::waitUntil([&] { return faceShown(probe); }, kShowBound)) {
        return {"idle CPU: not measured, no face within 10 s (target ≤ 0.5 %)"};
    }
    const auto before = cpuSeconds(program.pid());
    const auto wakesBefore = program.wakeUps();
    const auto start = harness::Clock::now();
    // The measurement is the wait itself; ending early means the program did.
    const bool ended =
        harness::waitUntil([&] { return !program.running(); },
                           std::chrono::seconds(settings.idleSeconds), milliseconds(200));
    const auto after = cpuSeconds(program.pid());
    const auto wakesAfter = program.wakeUps();
    const auto peak = peakResidentKb(program.pid());
    const std::chrono::duration<double> wall = harness::Clock::now() - start;
    if (ended || !before || !after || !peak || !wakesBefore || !wakesAfter) {
        return {"idle CPU: not measured, the program ended (target ≤ 0.05 %)"};
    }
    const std::string cpu = "idle CPU over " + std::to_string(settings.idleSeconds) +
                            " s: %.3f %% of one core (target ≤ 0.05 %%)";
    return {line(cpu.c_str(), 100 * (*after - *before) / wall.count()),
            line("idle wake-ups of the main thread: %.2f a second (target ≤ 2)",
                 static_cast<double>(*wakesAfter - *wakesBefore) / wall.count()),
            line("peak resident memory: %.1f MB (target ≤ 60 MB)", *peak * 1024 / 1e6)};
}

// Looks at the clock dial as fast as the screen can be read from just before each turn of the
// wall clock's second until it changes.
std::vector<std::string> dialTurnFigures(const Settings& settings) {
    const char* target = "(target: median ≤ 5 ms)";
    const harness::XServer server;
    ScreenProbe probe(server.display());
    harness::Program program(settings.program, harness::on(server));
    if (!harness::waitUntil([&] { return faceShown(probe); }, kShowBound)) {
        return {std::string("clock dial after the turn of the second: not measured, no face "
                            "within 10 s ") +
                target};
    }
    const harness::Geometry dial = form14::kClockDial.area();
    std::vector<double> delays;
    for (int turn = 0; turn < settings.turns; ++turn) {
        using Wall = std::chrono::system_clock;
        const auto next = std::chrono::ceil<std::chrono::seconds>(Wall::now() + milliseconds(100));
        std::this_thread::sleep_until(next - milliseconds(30));
        const auto before = probe.region(form14::kTitle, dial);
        auto now = Wall::now();
        while (now < next + milliseconds(500) && probe.region(form14::kTitle, dial) == before) {
            now = Wall::now();
        }
        const std::chrono::duration<double, std::milli> delay = now - next;
        if (before && delay.count() < 500) {
            delays.push_back(delay.count());
        }
    }
    if (delays.size() < static_cast<std::size_t>(settings.turns) / 2 + 1) {
        return {std::string("clock dial after the turn of the second: not measured, the dial did "
                            "not change at most turns ") +
                target};
    }
    const std::string figure = "clock dial after the turn of the second: median %.1f ms over " +
                               std::to_string(delays.size()) + " turns, slowest " +
                               line("%.1f ms ", *std::max_element(delays.begin(), delays.end())) +
                               target;
    return {line(figure.c_str(), median(delays))};
}

}  // namespace bench
