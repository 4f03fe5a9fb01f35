// The player through a real sound server: a private PulseAudio with a null sink, recorded
// from its monitor while the player is driven in real time.
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "sdl_player.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/process.h"
#include "sound/sound_server.h"
#include "sound/temp_dir.h"
#include "sound_checks.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using player::SdlPlayer;
using sound::Audio;
using sound::Recorder;
using sound::SoundServer;

// The server converts through its own sample format: allow a rounding step or two.
constexpr int kTolerance = 2;

void openAndPlay(SdlPlayer& player, const fs::path& file) {
    player.setFileName(file.string());
    player.setCommand("Open");
    player.setCommand("Play");
}

bool playsOut(SdlPlayer& player) {
    return sound::waitUntil([&] { return !player.isPlaying(); }, 10s);
}

class ThroughServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.ready()) << server.error();
        sound::applyEnvironment(server.environment());
    }

    fs::path wav(const Audio& audio) {
        const fs::path p = dir / "melody.wav";
        EXPECT_TRUE(sound::writeWav(p, audio));
        return p;
    }

    SoundServer server;
    sound::TempDir dir;
    SdlPlayer player;
};

TEST_F(ThroughServer, OpenAndPlaySoundTheWholeFileFromItsFirstSample) {
    const Audio tone = sound::markedTone(440, 0.5, 11);
    const fs::path file = wav(tone);
    Recorder rec(server, 1.5);
    ASSERT_TRUE(rec.waitForStart());

    openAndPlay(player, file);
    ASSERT_TRUE(playsOut(player));
    player.setCommand("Close");
    const Audio out = rec.finish();

    const std::optional<size_t> start = sound::firstSound(out);
    ASSERT_TRUE(start.has_value()) << "nothing sounded";
    expectWholeAt(out, *start, tone, kTolerance);
}

// The alarm sends "Open" and "Play" on every tick of its second.
TEST_F(ThroughServer, FiveHundredOpenPlayPairsInASecondLeaveOneContinuousTone) {
    const Audio tone = sound::markedTone(440, 1.5, 12);
    const fs::path file = wav(tone);
    Recorder rec(server, 2.5);
    ASSERT_TRUE(rec.waitForStart());

    const auto begin = Clock::now();
    for (int pair = 0; pair < 500; ++pair) {
        std::this_thread::sleep_until(begin + pair * 2ms);
        openAndPlay(player, file);
    }
    ASSERT_TRUE(playsOut(player));
    player.setCommand("Close");
    const Audio out = rec.finish();

    const std::vector<size_t> starts = sound::findMarker(out, tone, kTolerance);
    ASSERT_EQ(starts.size(), 1u) << "the tone started more than once, or never";
    const size_t at = starts[0];
    const size_t window = sound::framesIn(0.01);
    EXPECT_TRUE(sound::gaps(out, at, at + tone.frames(), window, 3000).empty());
    expectWholeAt(out, at, tone, kTolerance);
    EXPECT_EQ(sound::lastSound(out).value_or(0), at + tone.frames() - 1);
}

TEST_F(ThroughServer, CloseSilencesAtOnceAndLetsTheStreamGo) {
    const fs::path file = wav(sound::sineTone(440, 3.0));
    Recorder rec(server, 1.5);
    ASSERT_TRUE(rec.waitForStart());

    openAndPlay(player, file);
    std::this_thread::sleep_for(600ms);  // the melody sounds a while
    const auto closedAt = Clock::now();
    player.setCommand("Close");
    EXPECT_FALSE(player.isPlaying());
    const Audio out = rec.finish();

    const std::optional<size_t> last = sound::lastSound(out);
    ASSERT_TRUE(last.has_value()) << "nothing sounded";
    const double endAfterClose =
        sound::secondsOf(*last) - sound::secondsOf(rec.frameAt(closedAt));
    EXPECT_LT(endAfterClose, 0.06) << "sound went on after the close";
    EXPECT_GT(endAfterClose, -0.03) << "sound stopped before the close";
    // Only the harness's own silent stream is left.
    EXPECT_TRUE(sound::waitUntil([&] { return server.playbackStreams().size() == 1; }, 2s));
}

TEST(NoServerYet, OpenGivesSilenceUntilTheServerIsThereThenSounds) {
    sound::TempDir dir;
    const fs::path serverDir = dir / "server";
    sound::applyEnvironment(SoundServer::environmentFor(serverDir));
    const Audio tone = sound::markedTone(440, 0.4, 13);
    const fs::path file = dir / "melody.wav";
    ASSERT_TRUE(sound::writeWav(file, tone));
    std::optional<SoundServer> server;
    SdlPlayer player;

    openAndPlay(player, file);
    EXPECT_FALSE(player.isOpen());
    EXPECT_FALSE(player.isPlaying());

    server.emplace(serverDir);
    ASSERT_TRUE(server->ready()) << server->error();
    Recorder rec(*server, 2.5);
    ASSERT_TRUE(rec.waitForStart());
    // The ticks go on; one of them finds the server.
    ASSERT_TRUE(sound::waitUntil(
        [&] {
            openAndPlay(player, file);
            return player.isPlaying();
        },
        3s));
    ASSERT_TRUE(playsOut(player));
    player.setCommand("Close");
    const Audio out = rec.finish();

    const std::optional<size_t> start = sound::firstSound(out);
    ASSERT_TRUE(start.has_value()) << "nothing sounded once the server was there";
    expectWholeAt(out, *start, tone, kTolerance);
}

}  // namespace
