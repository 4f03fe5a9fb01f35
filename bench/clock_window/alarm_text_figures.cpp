#include <fstream>

#include "figures.h"
#include "form14/controls.h"
#include "form14/steps.h"
#include "harness/process.h"
#include "harness/temp_dir.h"
#include "measuring.h"
#include "process_stats.h"

namespace bench {
namespace {

using harness::milliseconds;
using Steady = std::chrono::steady_clock;

constexpr const char* kTarget = "(target ≤ 2 %)";
constexpr std::size_t kTextBytes = 10'000'000;
// The failure that the clock tick reports shows the text's start, so this start tells when the
// pasted text has reached the tick.
const std::string kStart = "Ten megabytes of text in the alarm box: ";

void writeLongText(const std::filesystem::path& path) {
    std::string text = kStart;
    while (text.size() < kTextBytes) {
        text += "The quick brown fox jumps over the lazy dog 0123456789. ";
    }
    text.resize(kTextBytes);
    std::ofstream(path, std::ios::binary) << text;
}

// Pastes the file's text over the alarm box's through the clipboard, with Ctrl+V as a user
// would; true once a clock tick has read it.
bool pasteIntoAlarmBox(const harness::XServer& server, const harness::Window& window,
                       harness::Program& program, const std::filesystem::path& file) {
    // In the foreground, the selection's owner lives as long as this object.
    const harness::Process owner(
        {"xclip", "-quiet", "-selection", "clipboard", "-i", file.string()},
        server.toolEnvironment());
    const bool owned = harness::waitUntil(
        [&] {
            return server.run({"xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"})
                .succeeded();
        },
        milliseconds(10000), milliseconds(100));
    if (!owned) {
        return false;
    }
    window.click(form14::kAlarmTime.centre());
    window.key("ctrl+a");
    window.key("ctrl+v");
    const std::string reported = '"' + kStart;
    return harness::waitUntil(
        [&] { return program.standardError().find(reported) != std::string::npos; },
        milliseconds(60000), milliseconds(200));
}

// Whether the clock dial shows a time of day from a second before the look to its end; a busy
// program takes seconds to answer it.
bool clockGoesOn(const harness::Window& window) {
    const auto start = form14::Wall::now() - std::chrono::seconds(1);
    const auto shown = window.readLineEdit(form14::kClockDial.centre());
    const auto end = form14::Wall::now();
    for (auto second = start; shown && second <= end; second += std::chrono::seconds(1)) {
        if (*shown == form14::localTimeText(second)) {
            return true;
        }
    }
    return shown && *shown == form14::localTimeText(end);
}

}  // namespace

std::vector<std::string> alarmTextCpuFigures(const Settings& settings) {
    const std::string what = "CPU with 10 MB of text in the alarm box, over " +
                             std::to_string(settings.alarmTextSeconds) + " s";
    const harness::TempDir directory("alarm-text");
    const auto file = directory.path() / "text.txt";
    writeLongText(file);
    const harness::XServer server;
    harness::Program program(settings.program, harness::on(server));
    const auto window = shownWindow(server);
    if (!window) {
        return {what + ": not measured, no face within 10 s " + kTarget};
    }
    if (!pasteIntoAlarmBox(server, *window, program, file)) {
        return {what + ": not measured, the paste did not reach the clock tick " + kTarget};
    }
    // The paste's own work (laying out 10 MB once) is not what the figure is about.
    if (!runsUntil(program, Steady::now() + std::chrono::seconds(2))) {
        return {what + ": not measured, the program ended " + kTarget};
    }
    const auto before = cpuSeconds(program.pid());
    const auto start = Steady::now();
    const bool ran = runsUntil(program, start + std::chrono::seconds(settings.alarmTextSeconds));
    const auto after = cpuSeconds(program.pid());
    const double wall = std::chrono::duration<double>(Steady::now() - start).count();
    if (!ran || !before || !after) {
        return {what + ": not measured, the program ended " + kTarget};
    }
    const char* clock = clockGoesOn(*window) ? "the clock goes on" : "but the clock stood still";
    return {formatted("%s: %.2f %% of one core, %s %s", what.c_str(),
                      100 * (*after - *before) / wall, clock, kTarget)};
}

}  // namespace bench
