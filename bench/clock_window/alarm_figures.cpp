#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "figures.h"
#include "form14/steps.h"
#include "harness/temp_dir.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/sound_server.h"

namespace bench {

using form14::Steady;
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The server converts through its own sample format: allow a rounding step or two.
constexpr int kTolerance = 2;
constexpr const char* kTarget = "(target ≤ 100 ms)";

void require(bool holds, const char* otherwise) {
    if (!holds) {
        throw std::runtime_error(otherwise);
    }
}

// Milliseconds from the start of the alarm's second to the first sound in the sink, for a fresh
// program with `melody` picked and the alarm typed two to three seconds ahead.
double oneAlarm(const Settings& settings, const harness::XServer& server,
                const sound::SoundServer& sound, const fs::path& melody, const sound::Audio& tone) {
    harness::Program program(settings.program, form14::withSound(server, sound));
    const auto window = form14::findWindow(server);
    require(window.has_value(), "no window");
    require(form14::pickMelody(server, *window, melody),
            "the melody could not be picked in the dialog");

    const form14::AlarmSecond second = form14::secondAhead();
    const Steady::time_point begins = second.begins;
    sound::Recorder recorder(sound, begins + 1500ms);
    require(recorder.waitForStart(), "the recorder did not start");
    form14::arm(*window, second.text);
    require(Steady::now() < begins, "armed only after the alarm's second began");

    const sound::Audio recorded = recorder.finish();
    const auto first = sound::firstSound(recorded);
    const auto starts = sound::findMarker(recorded, tone, kTolerance);
    require(first && starts.size() == 1 && *first >= starts[0],
            "the melody was not heard once in the recording");
    return std::chrono::duration<double, std::milli>(recorder.timeOf(*first) - begins).count();
}

}  // namespace

std::vector<std::string> alarmOnsetFigures(const Settings& settings) {
    const sound::SoundServer sound;
    if (!sound.ready()) {
        return {std::string("alarm sound onset: not measured, no sound server ") + kTarget};
    }
    const harness::XServer server;
    const harness::TempDir files("melody");
    const sound::Audio tone = sound::markedTone(440, 2.0, 41);
    const fs::path melody = files.path() / "melody.wav";
    if (!sound::writeWav(melody, tone)) {
        return {std::string("alarm sound onset: not measured, no melody file ") + kTarget};
    }
    std::vector<double> onsets;
    try {
        for (int run = 0; run < settings.alarmRuns; ++run) {
            onsets.push_back(oneAlarm(settings, server, sound, melody, tone));
        }
    } catch (const std::runtime_error& error) {
        return {std::string("alarm sound onset: not measured, ") + error.what() + ' ' + kTarget};
    }
    std::sort(onsets.begin(), onsets.end());
    const size_t middle = onsets.size() / 2;
    const double median =
        onsets.size() % 2 == 1 ? onsets[middle] : (onsets[middle - 1] + onsets[middle]) / 2;
    char text[200];
    std::snprintf(text, sizeof text,
                  "alarm sound onset: %.0f ms after its second began, median of %d runs "
                  "(%.0f to %.0f) %s",
                  median, settings.alarmRuns, onsets.front(), onsets.back(), kTarget);
    return {text};
}

}  // namespace bench
