// The alarm under the real event loop, with the clock timer paced by the clock: each of the
// user's actions within the matching second is followed by a tick within that second.
#include <QCoreApplication>
#include <QTest>

#include "form14_fixture.h"

namespace {

class PacedAlarmTest : public Form14Test {
  protected:
    PacedAlarmTest() {
        load(2026, 12, 10, 12, 0, 0.2);
        settle();
    }
    void settle() {
        for (int pass = 0; pass < 5; ++pass) {
            QCoreApplication::processEvents();
        }
    }
    void armAndSettle() {
        click(window.Кнопка_включения_выключения_будильника);
        settle();
    }
    std::vector<std::string> tail(size_t count) const {
        return {player.log.end() - static_cast<long>(count), player.log.end()};
    }
};

TEST_F(PacedAlarmTest, ArmingWithinTheMatchingSecondRingsWithinIt) {
    ASSERT_EQ(window.Циферблат_часов.text(), "12:00:00") << "the first tick came";
    ASSERT_EQ(player.count("Open"), 0);
    armAndSettle();
    EXPECT_EQ(tail(3), (std::vector<std::string>{"FileName=", "Open", "Play"}));
}

TEST_F(PacedAlarmTest, StopWithinTheMatchingSecondIsFollowedByANewStart) {
    armAndSettle();
    click(window.Кнопка_выключения_сигнала);
    settle();
    EXPECT_EQ(tail(3), (std::vector<std::string>{"Close", "Open", "Play"}));
}

TEST_F(PacedAlarmTest, AnEditOfAnArmedAlarmTakesEffectWithinTheSecond) {
    window.Циферблат_будильника.setText("12:00:05");
    armAndSettle();
    ASSERT_EQ(player.count("Open"), 0);
    QLineEdit& box = window.Циферблат_будильника.widget();
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, "12:00:00");
    settle();
    EXPECT_EQ(tail(2), (std::vector<std::string>{"Open", "Play"}));
}

TEST_F(PacedAlarmTest, DisarmingWithinTheMatchingSecondPreventsFurtherStarts) {
    armAndSettle();
    ASSERT_EQ(player.count("Open"), 1);
    click(window.Кнопка_включения_выключения_будильника);
    settle();
    clock.advance(0.5);
    clockWake.wakeEarly();
    settle();
    EXPECT_EQ(player.count("Open"), 1);
    EXPECT_EQ(player.count("Close"), 0) << "the melody plays on";
    EXPECT_EQ(player.log.back(), "FileName=");
}

TEST_F(PacedAlarmTest, TheDialsFollowTheTurnsOfTheSecondAndTheWallClock) {
    clock.advance(0.8);
    settle();
    EXPECT_EQ(window.Циферблат_часов.text(), "12:00:01");
    clock.set(2026, 12, 11, 23, 59, 59.5);  // the date and time set by hand
    settle();
    EXPECT_EQ(window.Циферблат_часов.text(), "23:59:59");
    EXPECT_EQ(window.Циферблат_даты.text(), "11.12.2026");
    clock.advance(0.5);
    settle();
    EXPECT_EQ(window.Циферблат_часов.text(), "0:00:00");
    EXPECT_EQ(window.Циферблат_даты.text(), "12.12.2026");
}

}  // namespace
