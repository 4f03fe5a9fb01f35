// The player through a real sound server: a private PulseAudio with a null sink, recorded
// from its monitor while the player is driven in real time.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "harness/table.h"
#include "harness/temp_dir.h"
#include "harness/wait.h"
#include "sdl_player.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/sound_server.h"
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
// The sink renders a few milliseconds ahead; a stream that starts is mixed in from where the
// sink is, so the monitor may miss the first of it.
const size_t kSkip = sound::framesIn(0.005);

void openAndPlay(SdlPlayer& player, const fs::path& file) {
    player.setFileName(file.string());
    player.setCommand("Open");
    player.setCommand("Play");
}

// Until the melody played out and its end reached the recording, then "Close".
Audio recordToEnd(SdlPlayer& player, Recorder& rec) {
    EXPECT_TRUE(harness::waitUntil([&] { return !player.isPlaying(); }, 10s));
    EXPECT_TRUE(rec.waitUntilCaptured(Clock::now() + 200ms));
    player.setCommand("Close");
    return rec.finish();
}

class ThroughServer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.ready()) << server.error();
        harness::applyEnvironment(server.environment());
    }

    fs::path wav(const Audio& audio) {
        const fs::path p = dir / "melody.wav";
        EXPECT_TRUE(sound::writeWav(p, audio));
        return p;
    }

    SoundServer server;
    harness::TempDir dir;
    SdlPlayer player;
};

TEST_F(ThroughServer, OpenAndPlaySoundTheWholeFileFromItsBeginning) {
    const Audio tone = sound::markedTone(440, 0.5, 11);
    const fs::path file = wav(tone);
    Recorder rec(server, 1.5);
    ASSERT_TRUE(rec.waitForStart());

    openAndPlay(player, file);
    expectSoundsOnce(recordToEnd(player, rec), tone, kTolerance, kSkip);
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
    const Audio out = recordToEnd(player, rec);

    const size_t at = expectSoundsOnce(out, tone, kTolerance, kSkip);
    const size_t window = sound::framesIn(0.01);
    EXPECT_TRUE(sound::gaps(out, at + kSkip, at + tone.frames(), window, 3000).empty());
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
    const double endAfterClose = sound::secondsOf(*last) - sound::secondsOf(rec.frameAt(closedAt));
    EXPECT_LT(endAfterClose, 0.06) << "sound went on after the close";
    EXPECT_GT(endAfterClose, -0.03) << "sound stopped before the close";
    // Only the harness's own silent stream is left.
    EXPECT_TRUE(harness::waitUntil([&] { return server.playbackStreams().size() == 1; }, 2s));
}

// The window sends "Close" only when the alarm is switched off; an alarm left to ring out, or a
// melody that would not open, must not hold a stream for good.
struct Quiet {
    const char* name;
    std::function<void(SdlPlayer&, const fs::path& dir)> start;
};

const Quiet kQuiet[] = {
    {"MelodyPlayedOut",
     [](SdlPlayer& p, const fs::path& dir) {
         ASSERT_TRUE(sound::writeWav(dir / "short.wav", sound::sineTone(440, 0.3)));
         openAndPlay(p, dir / "short.wav");
         EXPECT_TRUE(p.isPlaying());
     }},
    {"FileFailed",
     [](SdlPlayer& p, const fs::path& dir) {
         std::ofstream(dir / "noise.mp3") << std::string(50000, '\x5a');
         openAndPlay(p, dir / "noise.mp3");
         EXPECT_FALSE(p.isOpen());
     }},
};

void PrintTo(const Quiet& q, std::ostream* os) {
    *os << q.name;
}

class QuietPlayer : public ThroughServer, public ::testing::WithParamInterface<Quiet> {};

TEST_P(QuietPlayer, LetsTheStreamGoAfterAWhileAndStillPlaysLater) {
    GetParam().start(player, dir.path());
    EXPECT_TRUE(harness::waitUntil(
        [&] { return !player.holdsDevice() && server.playbackStreams().size() == 1; }, 5s));

    const Audio tone = sound::markedTone(440, 0.3, 14);
    const fs::path file = wav(tone);
    Recorder rec(server, 1.0);
    ASSERT_TRUE(rec.waitForStart());
    openAndPlay(player, file);
    expectSoundsOnce(recordToEnd(player, rec), tone, kTolerance, kSkip);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuietPlayer, ::testing::ValuesIn(kQuiet), harness::rowName);

TEST(NoServerYet, OpenGivesSilenceUntilTheServerIsThereThenSounds) {
    harness::TempDir dir;
    const fs::path serverDir = dir / "server";
    harness::applyEnvironment(SoundServer::environmentFor(serverDir));
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
    ASSERT_TRUE(harness::waitUntil(
        [&] {
            openAndPlay(player, file);
            return player.isPlaying();
        },
        3s));
    expectSoundsOnce(recordToEnd(player, rec), tone, kTolerance, kSkip);
}

}  // namespace
