#include "steps.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <stdexcept>

#include "controls.h"

namespace form14 {
namespace {

using harness::milliseconds;

// The focused line edit's text.
std::optional<std::string> focusedText(const harness::Window& window) {
    return window.selectionAfter([&] { window.key("ctrl+a"); }, milliseconds(3000));
}

}  // namespace

std::optional<harness::Window> findWindow(const harness::XServer& server, milliseconds bound) {
    return harness::Window::find(server, std::string("^") + kTitle + "$", bound);
}

harness::ProgramOptions options(const harness::XServer& server) {
    harness::ProgramOptions options = harness::on(server);
    if (const char* zone = std::getenv("TZ")) {
        options.extra["TZ"] = zone;
    }
    return options;
}

harness::ProgramOptions withSound(const harness::XServer& server, const sound::SoundServer& sound) {
    harness::ProgramOptions playing = options(server);
    playing.sound = true;
    playing.extra.insert(sound.environment().begin(), sound.environment().end());
    return playing;
}

ClickTime timedClick(const harness::XServer& server, const harness::Window& window,
                     harness::Point at) {
    const auto origin = window.geometry();
    if (!origin) {
        throw std::runtime_error("the window is gone");
    }
    server.run({"xdotool", "mousemove", std::to_string(origin->x + at.x),
                std::to_string(origin->y + at.y)});
    ClickTime time{Steady::now(), {}};
    // --delay 0, as xdotool otherwise sleeps 100 ms after the click.
    const auto result = server.run({"xdotool", "click", "--delay", "0", "1"});
    time.after = Steady::now();
    if (!result.succeeded()) {
        throw std::runtime_error("xdotool click failed: " + result.standardError);
    }
    return time;
}

double secondsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

std::optional<double> stopwatchSeconds(const std::string& dial) {
    std::smatch part;
    if (!std::regex_match(dial, part, std::regex(R"((\d+):(\d{2}):(\d{2})\.(\d))"))) {
        return std::nullopt;
    }
    return std::stoi(part[1]) * 3600.0 + std::stoi(part[2]) * 60.0 + std::stoi(part[3]) +
           std::stoi(part[4]) / 10.0;
}

std::optional<int> clockSeconds(const std::string& dial) {
    int h = 0, m = 0, s = 0;
    if (std::sscanf(dial.c_str(), " %d:%d:%d", &h, &m, &s) != 3) {
        return std::nullopt;
    }
    return h * 3600 + m * 60 + s;
}

// The dialog takes the keyboard a moment after it shows, so the typing is checked and redone.
bool pickMelody(const harness::XServer& server, const harness::Window& window,
                const std::filesystem::path& file) {
    window.click(kBrowse.centre());
    const auto dialog = harness::Window::find(server, "^Open$");
    if (!dialog) {
        return false;
    }
    std::optional<std::string> typed;
    for (int attempt = 0; attempt < 3 && typed != file.string(); ++attempt) {
        dialog->key("ctrl+a");
        dialog->typeText(file.string());
        typed = focusedText(*dialog);
    }
    if (typed != file.string()) {
        return false;
    }
    dialog->key("Return");
    return dialog->waitUntilNotViewable(milliseconds(5000));
}

AlarmSecond secondAhead() {
    const Wall::time_point second =
        std::chrono::floor<std::chrono::seconds>(Wall::now()) + std::chrono::seconds(3);
    return {localTimeText(second), onSteadyClock(second)};
}

void typeAlarm(const harness::Window& window, const std::string& text) {
    window.click(kAlarmTime.centre());
    window.key("ctrl+a");
    window.typeText(text);
}

void arm(const harness::Window& window, const std::string& text) {
    typeAlarm(window, text);
    window.click(kAlarmOnOff.centre());
}

// From the tightest of a few paired readings of the two clocks.
Steady::time_point onSteadyClock(Wall::time_point wall) {
    Steady::duration spread = Steady::duration::max();
    Steady::time_point steady;
    Wall::time_point atWall;
    for (int i = 0; i < 5; ++i) {
        const auto before = Steady::now();
        const auto w = Wall::now();
        const auto after = Steady::now();
        if (after - before < spread) {
            spread = after - before;
            steady = before + spread / 2;
            atWall = w;
        }
    }
    return steady + std::chrono::duration_cast<Steady::duration>(wall - atWall);
}

std::string localTimeText(Wall::time_point wall) {
    const std::time_t seconds = Wall::to_time_t(wall);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

}  // namespace form14
