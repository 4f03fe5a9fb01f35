// The alarm falling due with melody files that hold no playable sound: the window goes on, the
// player stays silent (or plays what sound a cut file has), and no tick holds the window up.
#include <chrono>
#include <cstdlib>

#include "form14_fixture.h"
#include "harness/table.h"
#include "harness/temp_dir.h"
#include "harness/wait.h"
#include "sdl_player.h"
#include "sound/analysis.h"
#include "sound/audio.h"
#include "sound/bad_melodies.h"
#include "sound/sound_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// Form14 with the real player; the sound goes where the environment set before it says.
class RealPlayerTest : public ::testing::Test, public Form14Rig<player::SdlPlayer> {
  protected:
    void armWith(const std::string& melody) {
        load(2026, 12, 10, 7, 0, 0);
        window.Циферблат_будильника.setText("7:30:00");
        dialog.answers = {melody};
        window.cmdBrowse_Click();
        window.Кнопка_включения_выключения_будильника_Click();
    }

    // Runs the alarm's second, a tick every 10 ms; returns the longest tick.
    Clock::duration ringSecond(int day) {
        Clock::duration longest{};
        clock.set(2026, 12, day, 7, 30, 0);
        for (int i = 0; i < 100; ++i) {
            const auto start = Clock::now();
            tickClock();
            longest = std::max(longest, Clock::now() - start);
            clock.advance(0.01);
        }
        return longest;
    }
};

// SDL writes what it plays to a file, paced in real time.
class BadMelodyTest : public ::testing::WithParamInterface<sound::BadMelody>,
                      public RealPlayerTest {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }
    void SetUp() override { setenv("SDL_DISKAUDIOFILE", output.c_str(), 1); }

    harness::TempDir folder;
    std::filesystem::path output = folder.path() / "played.raw";
};

TEST_P(BadMelodyTest, AlarmFallsDueWithoutHarm) {
    armWith(GetParam().make(folder.path()));

    const auto longest = ringSecond(10);
    EXPECT_LT(longest, std::chrono::milliseconds(100))
        << "a tick held the window up for "
        << std::chrono::duration_cast<std::chrono::milliseconds>(longest).count() << " ms";
    EXPECT_EQ(window.Циферблат_часов.text(), "7:30:00");
    EXPECT_EQ(errors.str(), "");

    window.Кнопка_выключения_сигнала_Click();
    if (!GetParam().mayPlayPart) {
        EXPECT_TRUE(sound::silent(sound::readRaw(output)));
    }

    // The next day, with a good melody, it rings.
    const std::string good = (folder.path() / "хорошая.wav").string();
    sound::writeWav(good, sound::sineTone(440, 1.0));
    dialog.answers = {good};
    window.cmdBrowse_Click();
    window.Кнопка_включения_выключения_будильника_Click();
    window.Кнопка_включения_выключения_будильника_Click();
    ringSecond(11);
    EXPECT_TRUE(player.isPlaying());
}

INSTANTIATE_TEST_SUITE_P(Files, BadMelodyTest, ::testing::ValuesIn(sound::badMelodies()),
                         harness::rowName);

TEST_F(RealPlayerTest, WithoutASoundServerTheAlarmIsSilentUntilOneIsThere) {
    harness::TempDir folder;
    harness::applyEnvironment(sound::SoundServer::environmentFor(folder / "server"));
    const std::string melody = (folder.path() / "мелодия.wav").string();
    sound::writeWav(melody, sound::markedTone(440, 1.0, 7));
    armWith(melody);

    ringSecond(10);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(window.Циферблат_часов.text(), "7:30:00");
    EXPECT_EQ(errors.str(), "");

    sound::SoundServer server(folder / "server");
    ASSERT_TRUE(server.ready()) << server.error();
    sound::Recorder recording(server, 2.0);
    ASSERT_TRUE(recording.waitForStart());
    // Failed attempts are retried in a later second of the real clock.
    ASSERT_TRUE(harness::waitUntil(
        [&] {
            ringSecond(11);
            return player.isPlaying();
        },
        std::chrono::seconds(3)));
    EXPECT_FALSE(sound::silent(recording.finish()));
}

}  // namespace
