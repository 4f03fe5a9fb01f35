// Figures of the player through a private PulseAudio server with a null sink: how soon a
// "Play" is heard and a "Close" falls silent (recorded from the sink's monitor), and what CPU
// the player costs while nothing sounds. It measures; it does not judge.
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "harness/temp_dir.h"
#include "harness/wait.h"
#include "play_through.h"
#include "sdl_player.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/sound_server.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using player::SdlPlayer;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string summary(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return "median " + std::to_string(v[v.size() / 2]) + " ms (min " + std::to_string(v.front()) +
           ", max " + std::to_string(v.back()) + ", " + std::to_string(v.size()) + " runs)";
}

struct Timings {
    std::vector<double> onset;
    std::vector<double> silence;
};

// One alarm: "Open" and "Play", 400 ms of melody, "Close"; both edges from the recording.
void measureOnce(const sound::SoundServer& server, const std::string& file, Timings& out) {
    SdlPlayer p;
    sound::Recorder rec(server, 1.2);
    if (!rec.waitForStart()) {
        return;
    }
    p.setFileName(file);
    p.setCommand("Open");
    const auto playAt = Clock::now();
    p.setCommand("Play");
    std::this_thread::sleep_for(400ms);
    const auto closeAt = Clock::now();
    p.setCommand("Close");
    const sound::Audio audio = rec.finish();
    const auto first = sound::firstSound(audio);
    const auto last = sound::lastSound(audio);
    if (first && last) {
        out.onset.push_back(ms(rec.timeOf(*first) - playAt));
        out.silence.push_back(ms(rec.timeOf(*last) - closeAt));
    }
}

double idleCpuPercent(double seconds) {
    const double before = cpuSeconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return (cpuSeconds() - before) / seconds * 100;
}

void printIdle(const sound::SoundServer& server, const std::string& what, double seconds) {
    const double cpu = idleCpuPercent(seconds);
    std::cout << "idle CPU, " << what << ": " << cpu << " % of a core, "
              << server.playbackStreams().size() - 1 << " stream(s) held\n";
}

void idleFigures(const sound::SoundServer& server, const std::string& file, double seconds) {
    SdlPlayer p;
    printIdle(server, "player made, nothing opened yet", seconds);
    p.setFileName(file);
    p.setCommand("Open");
    // Shorter than the quiet time after which the player lets the device go.
    printIdle(server, "a file open, silent, device still open (first 1.5 s)", 1.5);
    p.setCommand("Play");
    p.setCommand("Close");
    harness::waitUntil([&] { return !p.holdsDevice(); }, 5s);
    printIdle(server, "after Open, Play, Close", seconds);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const double idleSeconds = argc > 2 ? std::max(0.5, std::atof(argv[2])) : 5.0;
    const sound::SoundServer server;
    if (!playThrough(server)) {
        return 1;
    }
    harness::TempDir dir;
    const std::string file = (dir / "melody.wav").string();
    sound::writeWav(file, sound::sineTone(440, 3.0));

    Timings t;
    for (int i = 0; i < runs; ++i) {
        measureOnce(server, file, t);
    }
    if (t.onset.empty()) {
        std::cerr << "nothing was recorded\n";
        return 1;
    }
    std::cout << "onset, Play to first sound at the null sink: " << summary(t.onset) << "\n";
    std::cout << "Close to silence at the null sink: " << summary(t.silence) << "\n";
    idleFigures(server, file, idleSeconds);
    return 0;
}
