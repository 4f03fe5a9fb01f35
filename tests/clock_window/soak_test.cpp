// Two simulated days of the whole window under the fake clock, with the real player on SDL's
// dummy driver: the alarm rings each day with a newly picked melody, the stopwatch runs, and
// memory must not grow.
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "form14_fixture.h"
#include "harness/temp_dir.h"
#include "sdl_player.h"
#include "sound/audio.h"

namespace {

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// Form14 as in the fixture, but with the real player.
class SoakTest : public ::testing::Test, public Form14Rig<player::SdlPlayer> {
  protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    void tickBoth() {
        tickClock();
        tickStopwatch();
    }
    // Ticks from `from` up to `to` hundredths of a second into the day, `step` apart.
    void run(int dayOfMonth, long from, long to, long step) {
        for (long t = from; t < to; t += step) {
            passUntil(2026, 12, dayOfMonth, 0, 0, t / 100.0);
            tickBoth();
        }
    }
};

TEST_F(SoakTest, TwoDaysOfRingingAndCountingKeepMemoryFlatAndTheStateRight) {
    harness::TempDir dir;
    const auto melody = [&](int day) {
        const auto path = dir.path() / ("мелодия " + std::to_string(day) + ".wav");
        sound::writeWav(path, sound::sineTone(440 + day, 2.0));
        return path.string();
    };

    clock.set(2026, 12, 10, 0, 0, 0);
    window.Form_Load();
    window.Циферблат_будильника.setText("7:30:00");
    dialog.answers = {melody(0)};
    window.cmdBrowse_Click();
    window.Кнопка_включения_выключения_будильника_Click();  // armed with melody 0
    window.Кнопка_пуска_паузы_секундомера_Click();          // the stopwatch runs from 0:00:00

    const long alarm = (7 * 3600 + 30 * 60) * 100;  // 7:30:00 in hundredths
    long afterFirstDay = 0;
    for (int day = 0; day < 2; ++day) {
        const int dayOfMonth = 10 + day;
        // Every 10 ms around midnight's first second and around the alarm's second, once a
        // second elsewhere.
        run(dayOfMonth, 0, 200, 1);
        run(dayOfMonth, 200, alarm - 100, 100);
        run(dayOfMonth, alarm - 100, alarm + 200, 1);
        EXPECT_TRUE(player.isPlaying()) << "day " << day;
        run(dayOfMonth, alarm + 200, 8640000, 100);
        window.Кнопка_выключения_сигнала_Click();
        EXPECT_FALSE(player.isOpen());
        dialog.answers = {melody(day + 1)};
        window.cmdBrowse_Click();
        window.Кнопка_включения_выключения_будильника_Click();  // disarms, hands it over
        window.Кнопка_включения_выключения_будильника_Click();  // arms again
        if (day == 0) {
            afterFirstDay = residentKilobytes();
        }
    }
    passUntil(2026, 12, 12, 0, 0, 5);
    tickBoth();

    const long atEnd = residentKilobytes();
    std::cout << "resident memory after the first day " << afterFirstDay << " kB, after the second "
              << atEnd << " kB\n";
#ifndef __SANITIZE_ADDRESS__  // its quarantine holds freed memory back
    EXPECT_LT(atEnd - afterFirstDay, 2048)
        << "resident memory grew by " << atEnd - afterFirstDay << " kB over a simulated day";
#endif

    EXPECT_EQ(window.Циферблат_часов.text(), "0:00:05");
    EXPECT_EQ(window.Циферблат_даты.text(), "12.12.2026");
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "суббота");
    EXPECT_EQ(window.Циферблат_секундомера.text(), "01.01.1900 0:00:05.0");
    EXPECT_EQ(window.Будильник_включен, -1);
    EXPECT_EQ(window.txtBrowse.text(), melody(2));
    EXPECT_EQ(errors.str(), "");
}

}  // namespace
