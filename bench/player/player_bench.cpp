// Time of the player's calls as the window makes them, through a private PulseAudio server.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "harness/temp_dir.h"
#include "harness/wait.h"
#include "play_through.h"
#include "sdl_player.h"
#include "sound/audio.h"
#include "sound/sound_server.h"

namespace {

namespace fs = std::filesystem;
using player::SdlPlayer;

const harness::TempDir* files = nullptr;

std::string at(const std::string& name) {
    return (files->path() / name).string();
}

void writeRandom(const std::string& name, size_t bytes, const char* head = "") {
    std::mt19937_64 gen(1);
    std::string data(bytes, '\0');
    for (size_t i = 0; i + 8 <= bytes; i += 8) {
        const uint64_t v = gen();
        std::memcpy(&data[i], &v, 8);
    }
    data.replace(0, std::strlen(head), head);
    std::ofstream(at(name), std::ios::binary) << data;
}

// Every file comes under two names, so that alternating between them makes each "Open" a real
// attempt rather than a repeat of the open (or failed) name.
void twoNames(const std::string& name) {
    fs::create_hard_link(at(name), at("2-" + name));
}

void makeFiles() {
    // 200 MB of sound: 19.8 minutes of 16-bit stereo.
    sound::writeWav(at("long.wav"), sound::sineTone(440, 1189));
    twoNames("long.wav");
    sound::writeWav(at("short.wav"), sound::sineTone(440, 1.0));
    sound::writeMidiNote(at("note.mid"), 69, 0.5);
    twoNames("note.mid");
    for (const char* ext : {"wav", "mp3", "ogg", "mid"}) {
        writeRandom(std::string("noise.") + ext, 100000);
        twoNames(std::string("noise.") + ext);
    }
    writeRandom("huge-noise.mp3", 200u << 20);
    twoNames("huge-noise.mp3");
    writeRandom("huge-noise", 200u << 20);
    twoNames("huge-noise");
    writeRandom("huge-junk.mid", 200u << 20, "MThd");
    twoNames("huge-junk.mid");
    std::ofstream(at("empty.wav"));
    twoNames("empty.wav");
    sound::writeWavHeaderOnly(at("header-only.wav"), sound::framesIn(60));
    twoNames("header-only.wav");
    fs::create_directory(at("folder.wav"));
    fs::create_directory(at("2-folder.wav"));
    mkfifo(at("pipe.wav").c_str(), 0600);
    mkfifo(at("2-pipe.wav").c_str(), 0600);
}

// "Open" of a file, alternating between its two names; the device stays open between them
// while one of them opens.
void BM_Open(benchmark::State& state, const std::string& name) {
    SdlPlayer p;
    const std::string names[] = {at(name), at("2-" + name)};
    size_t k = 0;
    for (auto _ : state) {
        p.setFileName(names[k++ % 2]);
        p.setCommand("Open");
    }
    state.counters["opened"] = p.isOpen();
}

// "Open" of a file whose name failed a moment ago, as the alarm's ticks repeat it.
void BM_OpenSameFailedName(benchmark::State& state, const std::string& name) {
    SdlPlayer p;
    p.setFileName(at(name));
    for (auto _ : state) {
        p.setCommand("Open");
    }
}

// "Open" once the device went after a "Close": the sound device opens too.
void BM_OpenWithTheDevice(benchmark::State& state) {
    SdlPlayer p;
    p.setFileName(at("long.wav"));
    for (auto _ : state) {
        p.setCommand("Open");
        state.PauseTiming();
        p.setCommand("Close");
        harness::waitUntil([&] { return !p.holdsDevice(); }, std::chrono::seconds(5),
                           std::chrono::milliseconds(1));
        state.ResumeTiming();
    }
}

// "Close" of a sounding melody; the device itself is closed on the player's own thread.
void BM_Close(benchmark::State& state) {
    SdlPlayer p;
    p.setFileName(at("short.wav"));
    for (auto _ : state) {
        state.PauseTiming();
        p.setCommand("Open");
        p.setCommand("Play");
        state.ResumeTiming();
        p.setCommand("Close");
    }
}

// 1000 ticks of the alarm's second while the melody sounds.
void BM_ThousandOpenPlayPairs(benchmark::State& state) {
    SdlPlayer p;
    p.setFileName(at("long.wav"));
    p.setCommand("Open");
    p.setCommand("Play");
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            p.setCommand("Open");
            p.setCommand("Play");
        }
    }
    state.counters["playing"] = p.isPlaying();
}

void registerAll() {
    for (const char* name : {"long.wav", "note.mid", "noise.wav", "noise.mp3", "noise.ogg",
                             "noise.mid", "huge-noise.mp3", "huge-noise", "huge-junk.mid",
                             "empty.wav", "header-only.wav", "folder.wav", "pipe.wav"}) {
        benchmark::RegisterBenchmark((std::string("Open/") + name).c_str(), BM_Open, name)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("Open/missing.wav", BM_Open, "missing.wav")
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("OpenSameFailedName/noise.mp3", BM_OpenSameFailedName, "noise.mp3")
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("OpenWithTheDevice/long.wav", BM_OpenWithTheDevice)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(50);
    benchmark::RegisterBenchmark("Close/playing", BM_Close)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ThousandOpenPlayPairs", BM_ThousandOpenPlayPairs)
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const sound::SoundServer server;
    if (!playThrough(server)) {
        return 1;
    }
    harness::TempDir dir;
    files = &dir;
    makeFiles();
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
