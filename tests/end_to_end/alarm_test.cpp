// The alarm as a user meets it: the melody picked in the real open-file dialog rings at the typed
// second through a private PulseAudio server, and "Выключить сигнал" silences it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "form14_controls.h"
#include "program.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/sound_server.h"
#include "temp_dir.h"
#include "window.h"
#include "x_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using harness::milliseconds;
using Steady = std::chrono::steady_clock;
using Wall = std::chrono::system_clock;

// The server converts through its own sample format: allow a rounding step or two.
constexpr int kTolerance = 2;

// The player's sound server for the program; the time zone too, should the test run in one of
// its own, so that both read the same local time.
harness::Environment soundFor(const sound::SoundServer& server) {
    harness::Environment environment(server.environment().begin(), server.environment().end());
    if (const char* zone = std::getenv("TZ")) {
        environment["TZ"] = zone;
    }
    return environment;
}

harness::ProgramOptions withSound(const harness::XServer& x, const sound::SoundServer& server) {
    harness::ProgramOptions options = harness::on(x);
    options.sound = true;
    options.extra = soundFor(server);
    return options;
}

// When the wall clock shows `wall`, on the steady clock; from the tightest of a few paired
// readings.
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

// "HH:mm:ss" of local time, as the alarm box takes it under C.UTF-8.
std::string localTimeText(Wall::time_point wall) {
    const std::time_t seconds = Wall::to_time_t(wall);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

double millisecondsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The moments just before and just after a click.
struct ClickTime {
    Steady::time_point before;
    Steady::time_point after;
};

// The pointer goes to `at` first, so that only the click itself lies between the readings;
// --delay 0, as xdotool otherwise sleeps 100 ms after it.
ClickTime timedClick(const harness::XServer& x, const harness::Window& window, harness::Point at) {
    const auto origin = window.geometry();
    if (!origin) {
        throw std::runtime_error("the window is gone");
    }
    x.run({"xdotool", "mousemove", std::to_string(origin->x + at.x),
           std::to_string(origin->y + at.y)});
    ClickTime time{Steady::now(), {}};
    const auto result = x.run({"xdotool", "click", "--delay", "0", "1"});
    time.after = Steady::now();
    if (!result.succeeded()) {
        throw std::runtime_error("xdotool click failed: " + result.standardError);
    }
    return time;
}

class AlarmWithSound : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sound.ready()) << sound.error();
        const auto found = harness::Window::find(x, "^Form14$");
        ASSERT_TRUE(found) << "no Form14 window; the program wrote: " << program.standardError();
        window.emplace(*found);
    }

    // The focused line edit's text: select all, then the primary selection once it is claimed
    // anew (its TIMESTAMP tells a fresh claim from an old one).
    std::optional<std::string> focusedText() const {
        const auto stamp = [this] {
            const auto r = x.run({"xclip", "-o", "-selection", "primary", "-t", "TIMESTAMP"});
            return r.succeeded() ? r.standardOutput : std::string();
        };
        const std::string before = stamp();
        window->key("ctrl+a");
        if (!harness::waitUntil([&] { return stamp() != before; }, milliseconds(3000))) {
            return std::nullopt;
        }
        const auto text = x.run({"xclip", "-o", "-selection", "primary"});
        return text.succeeded() ? std::optional(text.standardOutput) : std::nullopt;
    }

    // Through "Обзор...": the path typed into the dialog's file name field, then Enter. The
    // dialog takes the keyboard a moment after it shows, so the typing is checked and redone.
    void pickInDialog(const fs::path& file) {
        window->click(form14::kBrowse.centre());
        const auto dialog = harness::Window::find(x, "^Open$");
        ASSERT_TRUE(dialog) << "no open-file dialog appeared";
        std::optional<std::string> typed;
        for (int attempt = 0; attempt < 3 && typed != file.string(); ++attempt) {
            dialog->key("ctrl+a");
            dialog->typeText(file.string());
            typed = focusedText();
        }
        ASSERT_EQ(typed, file.string()) << "the file name field";
        dialog->key("Return");
        ASSERT_TRUE(dialog->waitUntilNotViewable(milliseconds(5000))) << "the dialog stays open";
    }

    void typeAlarm(const std::string& text) {
        window->click(form14::kAlarmTime.centre());
        window->key("ctrl+a");
        window->typeText(text);
    }

    sound::SoundServer sound;
    harness::TempDir files{"melody"};
    harness::XServer x;
    harness::Program program{ALARM_CLOCK_BINARY, withSound(x, sound)};
    std::optional<harness::Window> window;
};

TEST_F(AlarmWithSound, PickedMelodyRingsInTheTypedSecondAndStopsAtTheSignalButton) {
    const sound::Audio tone = sound::markedTone(440, 4.0, 31);
    const fs::path folder = files.path() / "Мелодии будильника";
    fs::create_directory(folder);
    const fs::path melody = folder / "сигнал утра.wav";
    ASSERT_TRUE(sound::writeWav(melody, tone));

    pickInDialog(melody);
    ASSERT_EQ(window->readLineEdit(form14::kMelodyBox.centre()), melody.string()) << "txtBrowse";

    // Two to three seconds ahead: time to type and arm before that second begins.
    const Wall::time_point alarmSecond = std::chrono::floor<std::chrono::seconds>(Wall::now()) + 3s;
    const Steady::time_point secondBegins = onSteadyClock(alarmSecond);
    // Long enough for the second, the ringing after it and the stop.
    sound::Recorder recorder(
        sound, std::chrono::duration<double>(secondBegins - Steady::now() + 2200ms).count());
    ASSERT_TRUE(recorder.waitForStart());
    const std::string alarmText = localTimeText(alarmSecond);
    typeAlarm(alarmText);
    ASSERT_EQ(window->readLineEdit(form14::kAlarmTime.centre()), alarmText) << "the alarm box";
    window->click(form14::kAlarmOnOff.centre());
    ASSERT_LT(Steady::now(), secondBegins) << "armed only after the alarm's second began";

    // A stop inside the alarm's second would be undone by its next tick: stop after it.
    std::this_thread::sleep_until(secondBegins + 1300ms);
    const ClickTime stop = timedClick(x, *window, form14::kSignalOff.centre());
    const sound::Audio recorded = recorder.finish();

    const auto starts = sound::findMarker(recorded, tone, kTolerance);
    ASSERT_EQ(starts.size(), 1u) << "the melody must start once, its repeats ignored";
    const auto first = sound::firstSound(recorded);
    ASSERT_TRUE(first);
    EXPECT_GE(*first, starts[0]) << "something sounded before the melody";
    const double onset = millisecondsBetween(secondBegins, recorder.timeOf(*first));
    std::cout << "alarm onset: " << onset << " ms after its second began\n";
    RecordProperty("onset_ms", std::to_string(onset));
    EXPECT_GE(onset, 0) << "rang before its second";
    EXPECT_LT(onset, 1000) << "did not ring within its second";

    const auto last = sound::lastSound(recorded);
    ASSERT_TRUE(last);
    EXPECT_GT(recorder.timeOf(*last), stop.before) << "the melody stopped before the click";
    EXPECT_LE(millisecondsBetween(stop.after, recorder.timeOf(*last)), 100)
        << "sound went on after the click on Выключить сигнал";

    // The program goes on: the clock still moves, and the close button ends it cleanly.
    const auto dial = window->readLineEdit(form14::kClockDial.centre());
    ASSERT_TRUE(dial);
    EXPECT_TRUE(harness::waitUntil(
        [&] { return window->readLineEdit(form14::kClockDial.centre()) != dial; },
        milliseconds(3000), milliseconds(100)))
        << "the clock dial stays at " << *dial;
    ASSERT_TRUE(program.running());
    window->click(form14::kClose.centre());
    const auto status = program.waitForExit(milliseconds(10000));
    ASSERT_TRUE(status) << "still running 10 s after the close";
    EXPECT_TRUE(status->exited && status->code == 0)
        << (status->exited ? "exit code " : "signal ") << status->code << "\n"
        << program.standardError();
}

}  // namespace
