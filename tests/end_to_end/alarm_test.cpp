// The alarm as a user meets it: the melody picked in the real open-file dialog rings at the typed
// second through a private PulseAudio server, and "Выключить сигнал" silences it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "form14/controls.h"
#include "form14/steps.h"
#include "harness/temp_dir.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/sound_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using form14::Steady;
using harness::milliseconds;

// The server converts through its own sample format: allow a rounding step or two.
constexpr int kTolerance = 2;

double millisecondsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

class AlarmWithSound : public testing::Test {
  protected:
    // A window manager is needed for the window to be minimised.
    explicit AlarmWithSound(bool windowManager = false)
        : x(harness::XServer::Options{.windowManager = windowManager}) {}

    void SetUp() override {
        ASSERT_TRUE(sound.ready()) << sound.error();
        const auto found = form14::findWindow(x);
        ASSERT_TRUE(found) << "no Form14 window; the program wrote: " << program.standardError();
        window.emplace(*found);
    }

    // Picks a marked tone as the melody; arms the alarm for a second two to three seconds
    // ahead and returns when that second begins, on the steady clock.
    Steady::time_point armSoon(const sound::Audio& tone, std::string& typed) {
        const fs::path melody = files.path() / "мелодия.wav";
        EXPECT_TRUE(sound::writeWav(melody, tone));
        EXPECT_TRUE(form14::pickMelody(x, *window, melody)) << "the open-file dialog";
        const form14::AlarmSecond second = form14::secondAhead();
        typed = second.text;
        form14::arm(*window, typed);
        return second.begins;
    }

    sound::SoundServer sound;
    harness::TempDir files{"melody"};
    harness::XServer x;
    harness::Program program{ALARM_CLOCK_BINARY, form14::withSound(x, sound)};
    std::optional<harness::Window> window;
};

class AlarmWhileMinimised : public AlarmWithSound {
  protected:
    AlarmWhileMinimised() : AlarmWithSound(true) {}
};

TEST_F(AlarmWithSound, PickedMelodyRingsInTheTypedSecondAndStopsAtTheSignalButton) {
    const sound::Audio tone = sound::markedTone(440, 4.0, 31);
    const fs::path folder = files.path() / "Мелодии будильника";
    fs::create_directory(folder);
    const fs::path melody = folder / "сигнал утра.wav";
    ASSERT_TRUE(sound::writeWav(melody, tone));

    ASSERT_TRUE(form14::pickMelody(x, *window, melody)) << "the open-file dialog";
    ASSERT_EQ(window->readLineEdit(form14::kMelodyBox.centre()), melody.string()) << "txtBrowse";

    const form14::AlarmSecond alarmSecond = form14::secondAhead();
    const Steady::time_point secondBegins = alarmSecond.begins;
    // Long enough for the second, the ringing after it and the stop.
    sound::Recorder recorder(sound, secondBegins + 2200ms);
    ASSERT_TRUE(recorder.waitForStart());
    const std::string alarmText = alarmSecond.text;
    form14::typeAlarm(*window, alarmText);
    ASSERT_EQ(window->readLineEdit(form14::kAlarmTime.centre()), alarmText) << "the alarm box";
    window->click(form14::kAlarmOnOff.centre());
    ASSERT_LT(Steady::now(), secondBegins) << "armed only after the alarm's second began";

    // A stop inside the alarm's second would be undone by its next tick: stop after it.
    std::this_thread::sleep_until(secondBegins + 1300ms);
    const form14::ClickTime stop = form14::timedClick(x, *window, form14::kSignalOff.centre());
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

TEST_F(AlarmWhileMinimised, StillRingsInItsSecond) {
    const sound::Audio tone = sound::markedTone(660, 2.0, 37);
    std::string typed;
    const Steady::time_point secondBegins = armSoon(tone, typed);
    sound::Recorder recorder(sound, secondBegins + 1500ms);
    ASSERT_TRUE(recorder.waitForStart());
    ASSERT_EQ(window->readLineEdit(form14::kAlarmTime.centre()), typed) << "the alarm box";
    window->click(form14::kMinimise.centre());
    ASSERT_TRUE(harness::waitUntil([&] { return window->iconic(); }, milliseconds(5000)))
        << "not minimised";
    ASSERT_LT(Steady::now(), secondBegins) << "minimised only after the alarm's second began";

    const sound::Audio recorded = recorder.finish();
    EXPECT_TRUE(window->iconic()) << "the window came back by itself";
    const auto starts = sound::findMarker(recorded, tone, kTolerance);
    ASSERT_EQ(starts.size(), 1u) << "the melody must start once";
    const double onset = millisecondsBetween(secondBegins, recorder.timeOf(starts[0]));
    EXPECT_GE(onset, 0) << "rang before its second";
    EXPECT_LT(onset, 1000) << "did not ring within its second";
}

}  // namespace
