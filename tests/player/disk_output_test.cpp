// The player against SDL's disk audio driver: what SDL mixes lands in a file, sample for
// sample, paced in real time.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "harness/table.h"
#include "harness/temp_dir.h"
#include "harness/wait.h"
#include "sdl_player.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/bad_melodies.h"
#include "sound_checks.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using player::SdlPlayer;
using sound::Audio;

class DiskOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        setOutput(dir / "out.raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }

    void setOutput(const fs::path& path) {
        output = path;
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    }

    fs::path wav(const std::string& name, const Audio& audio) {
        const fs::path p = dir / name;
        EXPECT_TRUE(sound::writeWav(p, audio));
        return p;
    }

    void command(const fs::path& file, const std::string& cmd) {
        player.setFileName(file.string());
        player.setCommand(cmd);
    }

    void openAndPlay(const fs::path& file) {
        command(file, "Open");
        player.setCommand("Play");
    }

    bool playsOut() {
        return harness::waitUntil([&] { return !player.isPlaying(); }, 10s);
    }

    // Until SDL has written `seconds` of sound to the output file.
    bool outputHolds(double seconds) {
        return harness::waitUntil(
            [&] {
                std::error_code ec;
                return fs::file_size(output, ec) >=
                       sound::framesIn(seconds) * sound::kBytesPerFrame;
            },
            10s);
    }

    // What was played, once the device let go of the output file.
    Audio played() {
        player.setCommand("Close");
        EXPECT_TRUE(harness::waitUntil([&] { return !player.holdsDevice(); }, 5s));
        return sound::readRaw(output);
    }

    harness::TempDir dir;
    fs::path output;
    SdlPlayer player;
};

TEST_F(DiskOutput, OpenAndPlaySoundTheWholeFileFromItsFirstSample) {
    const Audio tone = sound::markedTone(440, 0.4, 1);
    const fs::path file = wav("мелодия будильника.wav", tone);

    openAndPlay(file);
    EXPECT_TRUE(player.isOpen());
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(playsOut());
    expectSoundsOnce(played(), tone);
}

TEST_F(DiskOutput, PlayAfterThePlayedOutMelodyStartsItAgain) {
    const Audio tone = sound::markedTone(440, 0.3, 2);
    openAndPlay(wav("tone.wav", tone));
    ASSERT_TRUE(playsOut());
    EXPECT_TRUE(player.isOpen());
    player.setCommand("Play");
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(playsOut());
    const Audio out = played();

    const std::vector<size_t> starts = sound::findMarker(out, tone, 0);
    ASSERT_EQ(starts.size(), 2u);
    expectWholeAt(out, starts[0], tone);
    expectWholeAt(out, starts[1], tone);
}

TEST_F(DiskOutput, OpenOfAnotherFileSwitchesToItFromItsBeginning) {
    const Audio first = sound::markedTone(440, 2.0, 3);
    const Audio second = sound::markedTone(660, 0.3, 4);
    openAndPlay(wav("first.wav", first));
    ASSERT_TRUE(outputHolds(0.2));

    openAndPlay(wav("second.wav", second));
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(playsOut());
    const Audio out = played();

    const std::vector<size_t> firstAt = sound::findMarker(out, first, 0);
    const std::vector<size_t> secondAt = sound::findMarker(out, second, 0);
    ASSERT_EQ(firstAt.size(), 1u);
    ASSERT_EQ(secondAt.size(), 1u);
    EXPECT_LT(secondAt[0], firstAt[0] + first.frames()) << "the first file played to its end";
    expectWholeAt(out, secondAt[0], second);
    EXPECT_EQ(sound::lastSound(out).value_or(0), secondAt[0] + second.frames() - 1);
}

TEST_F(DiskOutput, MidiFileSoundsThroughTheSoundFont) {
    const fs::path file = dir / "note.mid";
    ASSERT_TRUE(sound::writeMidiNote(file, 69, 0.5));

    openAndPlay(file);
    EXPECT_TRUE(player.isOpen());
    ASSERT_TRUE(playsOut());
    const Audio out = played();

    const std::optional<size_t> start = sound::firstSound(out, 500);
    const std::optional<size_t> end = sound::lastSound(out, 500);
    ASSERT_TRUE(start && end) << "the MIDI note did not sound";
    // The note is held 0.5 s; the instrument's release may ring a little past it.
    EXPECT_GT(sound::secondsOf(*end - *start), 0.4);
    EXPECT_LT(sound::secondsOf(*end - *start), 2.0);
}

TEST_F(DiskOutput, NoDeviceGivesSilenceAndTheNextOpenUsesTheDeviceOnceThere) {
    const Audio tone = sound::markedTone(440, 0.3, 5);
    const fs::path file = wav("tone.wav", tone);
    setOutput(dir / "not yet" / "out.raw");

    openAndPlay(file);
    EXPECT_FALSE(player.isOpen());
    EXPECT_FALSE(player.isPlaying());
    player.setCommand("Close");

    fs::create_directory(dir / "not yet");
    openAndPlay(file);
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(playsOut());
    expectSoundsOnce(played(), tone);
}

// Beyond the shared bad melodies: files that test how the player screens what it opens.
const sound::BadMelody kScreened[] = {
    {"RandomBytesNoExtension",
     [](const fs::path& d) { return sound::randomFile(d, "noise", 100000); }, false},
    {"MidiHeaderOnHugeJunk",
     [](const fs::path& d) {
         const std::string p = sound::randomFile(d, "huge.mid", 3 << 20);
         std::fstream(p, std::ios::in | std::ios::out | std::ios::binary) << "MThd";
         return p;
     },
     false},
    {"Fifo",
     [](const fs::path& d) {
         mkfifo((d / "pipe.wav").c_str(), 0600);
         return (d / "pipe.wav").string();
     },
     false},
    {"NameTooLong", [](const fs::path& d) { return (d / std::string(5000, 'x')).string(); }, false},
};

class BadFileTest : public DiskOutput, public ::testing::WithParamInterface<sound::BadMelody> {};

TEST_P(BadFileTest, GivesSilenceAndLeavesThePlayerWorking) {
    const std::string bad = GetParam().make(dir.path());
    // The alarm's ticks for a while: SDL writes what sounds meanwhile.
    const auto until = std::chrono::steady_clock::now() + 300ms;
    while (std::chrono::steady_clock::now() < until) {
        command(bad, "Open");
        player.setCommand("Play");
        std::this_thread::sleep_for(10ms);
    }
    const Audio out = played();
    if (!GetParam().mayPlayPart) {
        EXPECT_TRUE(sound::silent(out));
    }

    openAndPlay(wav("good.wav", sound::markedTone(440, 0.2, 6)));
    EXPECT_TRUE(player.isPlaying()) << "a good file after the bad one does not play";
}

INSTANTIATE_TEST_SUITE_P(Shared, BadFileTest, ::testing::ValuesIn(sound::badMelodies()),
                         harness::rowName);
INSTANTIATE_TEST_SUITE_P(Screened, BadFileTest, ::testing::ValuesIn(kScreened), harness::rowName);

// A failed file is not read again at every tick of the same second, but a Close or another
// name retries at once, and a later second retries anyway.
struct Retry {
    const char* name;
    // Returns the file to open next.
    std::function<fs::path(SdlPlayer&, const fs::path& fixed, const fs::path& other)> step;
    bool atOnce;
};

const Retry kRetries[] = {
    {"AfterClose",
     [](SdlPlayer& p, const fs::path& fixed, const fs::path&) {
         p.setCommand("Close");
         return fixed;
     },
     true},
    {"AnotherName", [](SdlPlayer&, const fs::path&, const fs::path& other) { return other; }, true},
    {"InALaterSecond", [](SdlPlayer&, const fs::path& fixed, const fs::path&) { return fixed; },
     false},
};

void PrintTo(const Retry& r, std::ostream* os) {
    *os << r.name;
}

class RetryTest : public DiskOutput, public ::testing::WithParamInterface<Retry> {};

TEST_P(RetryTest, OpensOnceTheFileIsGood) {
    const fs::path file = dir / "alarm.wav";
    sound::randomFile(dir.path(), "alarm.wav", 1000);
    command(file, "Open");
    ASSERT_FALSE(player.isOpen());

    const Audio tone = sound::sineTone(440, 0.2);
    ASSERT_TRUE(sound::writeWav(file, tone));
    const fs::path next = GetParam().step(player, file, wav("other.wav", tone));
    command(next, "Open");
    if (GetParam().atOnce) {
        EXPECT_TRUE(player.isOpen());
        return;
    }
    // The alarm's ticks go on; within a second one of them opens it.
    EXPECT_TRUE(harness::waitUntil(
        [&] {
            player.setCommand("Open");
            return player.isOpen();
        },
        2500ms));
}

INSTANTIATE_TEST_SUITE_P(Steps, RetryTest, ::testing::ValuesIn(kRetries), harness::rowName);

}  // namespace
