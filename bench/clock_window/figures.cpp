#include "figures.h"

#include <algorithm>
#include <cstdio>

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
    const auto start = harness::Clock::now();
    // The measurement is the wait itself; ending early means the program did.
    const bool ended =
        harness::waitUntil([&] { return !program.running(); },
                           std::chrono::seconds(settings.idleSeconds), milliseconds(200));
    const auto after = cpuSeconds(program.pid());
    const auto peak = peakResidentKb(program.pid());
    const std::chrono::duration<double> wall = harness::Clock::now() - start;
    if (ended || !before || !after || !peak) {
        return {"idle CPU: not measured, the program ended (target ≤ 0.5 %)"};
    }
    const std::string cpu = "idle CPU over " + std::to_string(settings.idleSeconds) +
                            " s: %.2f %% of one core (target ≤ 0.5 %%)";
    return {line(cpu.c_str(), 100 * (*after - *before) / wall.count()),
            line("peak resident memory: %.1f MB (target ≤ 60 MB)", *peak * 1024 / 1e6)};
}

}  // namespace bench
