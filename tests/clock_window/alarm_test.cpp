#include "form14_fixture.h"
#include "harness/table.h"

namespace {

class AlarmTest : public Form14Test {
  protected:
    AlarmTest() { load(2026, 12, 10, 11, 0, 0); }

    void arm(const std::string& text) {
        window.Циферблат_будильника.setText(text);
        click(window.Кнопка_включения_выключения_будильника);
    }
    // Runs clock ticks every 10 ms from h:m:s.start for `count` ticks; returns the "Open"s sent.
    int ticksAt(int hour, int minute, double second, int count = 1) {
        const int before = player.count("Open");
        clock.set(2026, 12, 10, hour, minute, second);
        for (int i = 0; i < count; ++i) {
            tickClock();
            clock.advance(0.01);
        }
        return player.count("Open") - before;
    }
};

TEST_F(AlarmTest, ArmingAndDisarmingShowTheState) {
    click(window.Кнопка_включения_выключения_будильника);
    EXPECT_EQ(window.Будильник_включен, -1);
    EXPECT_EQ(window.Метка_будильника.caption(), "Будильник установлен на:");
    EXPECT_EQ(window.Кнопка_включения_выключения_будильника.caption(), "Выключить будильник");
    click(window.Кнопка_включения_выключения_будильника);
    EXPECT_EQ(window.Будильник_включен, 0);
    EXPECT_EQ(window.Метка_будильника.caption(), "Будильник отклучен");
    EXPECT_EQ(window.Кнопка_включения_выключения_будильника.caption(), "Включить будильник");
    EXPECT_EQ(player.count("FileName="), 2) << "each click hands the name over";
}

struct RingCase {
    const char* name;
    const char* alarm;
    int hour, minute;
    double second;
    int ticks;
    int opens;
};

void PrintTo(const RingCase& c, std::ostream* os) {
    *os << c.name;
}

const RingCase kRingCases[] = {
    {"second_before", "12:00:00", 11, 59, 59.0, 100, 0},
    {"the_second", "12:00:00", 12, 0, 0.0, 100, 100},
    {"second_after", "12:00:00", 12, 0, 1.0, 100, 0},
    {"hours_and_minutes", "7:30", 7, 30, 0.0, 100, 100},
    {"surrounded_by_spaces", " 7:30:05 ", 7, 30, 5.0, 3, 3},
    {"a_date_with_the_time", "10.12.2026 12:00:00", 12, 0, 0.0, 5, 0},
    {"day_zero_with_the_time", "30.12.1899 12:00:00", 12, 0, 0.0, 5, 5},
};

class AlarmMatchTest : public AlarmTest, public ::testing::WithParamInterface<RingCase> {};

TEST_P(AlarmMatchTest, RingsOnEveryTickOfTheMatchingSecondOnly) {
    const RingCase& c = GetParam();
    arm(c.alarm);
    EXPECT_EQ(ticksAt(c.hour, c.minute, c.second, c.ticks), c.opens);
    EXPECT_EQ(player.count("Open"), player.count("Play"));
}

INSTANTIATE_TEST_SUITE_P(Cases, AlarmMatchTest, ::testing::ValuesIn(kRingCases), harness::rowName);

TEST_F(AlarmTest, DisarmedAlarmNeverRings) {
    EXPECT_EQ(ticksAt(12, 0, 0.0, 100), 0);
}

TEST_F(AlarmTest, MidnightAlarmRingsAfterTheCalendarIsRefreshed) {
    arm("0:00:00");
    std::vector<std::string> dateAtOpen;
    player.onCommand = [&](const std::string& command) {
        if (command == "Open") {
            dateAtOpen.push_back(window.Циферблат_даты.text());
        }
    };
    clock.set(2026, 12, 10, 23, 59, 59.99);
    tickClock();
    clock.advance(0.01);
    for (int i = 0; i < 100; ++i) {
        window.Циферблат_даты.setText("stale");
        tickClock();
        clock.advance(0.01);
    }
    ASSERT_EQ(dateAtOpen.size(), 100u);
    for (const std::string& date : dateAtOpen) {
        EXPECT_EQ(date, "11.12.2026");
    }
}

// A day the date services cannot show fails the calendar's refresh, and with it the tick.
TEST_F(AlarmTest, FailedCalendarRefreshEndsTheTickBeforeTheAlarmCheck) {
    arm("0:00:00");
    clock.set(9999, 12, 31, 23, 59, 59.99);
    tickClock();
    clock.advance(0.01);
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "0:00:00") << "the steps before it ran";
    EXPECT_EQ(window.Циферблат_даты.text(), "31.12.9999");
    EXPECT_EQ(player.count("Open"), 0);
    EXPECT_NE(errors.str().find("Таймер_часов_Timer: failure 6"), std::string::npos)
        << errors.str();
}

TEST_F(AlarmTest, ArmingWithinTheSecondRingsFromTheNextTick) {
    EXPECT_EQ(ticksAt(12, 0, 0.2), 0);
    arm("12:00:00");
    EXPECT_EQ(ticksAt(12, 0, 0.3), 1);
}

TEST_F(AlarmTest, DisarmingWithinTheSecondStopsFurtherStartsButNotTheMelody) {
    arm("12:00:00");
    EXPECT_EQ(ticksAt(12, 0, 0.2), 1);
    click(window.Кнопка_включения_выключения_будильника);
    EXPECT_EQ(ticksAt(12, 0, 0.3, 10), 0);
    EXPECT_EQ(player.count("Close"), 0);
}

TEST_F(AlarmTest, StopWithinTheSecondDoesNotKeepTheMelodyOff) {
    arm("12:00:00");
    ticksAt(12, 0, 0.1);
    click(window.Кнопка_выключения_сигнала);
    EXPECT_EQ(player.log.back(), "Close");
    EXPECT_EQ(ticksAt(12, 0, 0.2), 1);
    EXPECT_EQ(player.log.back(), "Play");
}

TEST_F(AlarmTest, StopLeavesTheAlarmArmedForTheNextDay) {
    arm("12:00:00");
    ticksAt(12, 0, 0.0, 100);
    click(window.Кнопка_выключения_сигнала);
    EXPECT_EQ(window.Будильник_включен, -1);
    clock.set(2026, 12, 11, 12, 0, 0.5);
    const int before = player.count("Open");
    tickClock();
    EXPECT_EQ(player.count("Open") - before, 1);
}

TEST_F(AlarmTest, AnEditMovesTheAlarmFromTheNextTick) {
    arm("12:00:00");
    window.Циферблат_будильника.setText("12:00:05");
    EXPECT_EQ(ticksAt(12, 0, 0.0, 10), 0);
    EXPECT_EQ(ticksAt(12, 0, 5.0, 10), 10);
}

TEST_F(AlarmTest, MelodyReachesThePlayerOnlyAtAClickOfTheAlarmButton) {
    dialog.answers = {"/music/first.wav", "/music/second.wav"};
    click(window.cmdBrowse);
    arm("12:00:00");
    EXPECT_EQ(player.log.back(), "FileName=/music/first.wav");
    click(window.cmdBrowse);
    EXPECT_EQ(window.txtBrowse.text(), "/music/second.wav");
    EXPECT_EQ(player.log.back(), "FileName=/music/first.wav") << "armed: not handed over yet";
    click(window.Кнопка_включения_выключения_будильника);  // disarms, hands the new one over
    EXPECT_EQ(player.log.back(), "FileName=/music/second.wav");
    click(window.Кнопка_включения_выключения_будильника);
    EXPECT_EQ(player.log.back(), "FileName=/music/second.wav");
    EXPECT_EQ(window.Будильник_включен, -1);
}

TEST_F(AlarmTest, ArmingBeforeAnyPickHandsOverTheEmptyName) {
    arm("12:00:00");
    EXPECT_EQ(player.log.back(), "FileName=");
}

TEST_F(AlarmTest, CancelShowsTheDialogsNameAndChangesNoMelody) {
    dialog.answers = {std::nullopt};
    click(window.cmdBrowse);
    EXPECT_EQ(window.txtBrowse.text(), "") << "cancel before any pick";

    dialog.answers = {"/music/Мелодия для будильника.mp3", std::nullopt};
    click(window.cmdBrowse);
    window.txtBrowse.setText("typed by the user");
    click(window.cmdBrowse);
    EXPECT_EQ(window.txtBrowse.text(), "/music/Мелодия для будильника.mp3");
    EXPECT_EQ(dialog.fileName(), "/music/Мелодия для будильника.mp3");
    EXPECT_EQ(player.count("FileName=/music/Мелодия для будильника.mp3"), 0);
}

TEST_F(AlarmTest, TypingIntoTheMelodyBoxChangesNothing) {
    arm("12:00:00");
    window.txtBrowse.setText("/typed/path.wav");
    click(window.Кнопка_включения_выключения_будильника);
    EXPECT_EQ(player.log.back(), "FileName=");
}

TEST_F(AlarmTest, AlarmFallsDueWhileTheDialogIsOpen) {
    arm("12:00:00");
    dialog.answers = {"/music/new.wav"};
    dialog.whileOpen = [this] { ticksAt(12, 0, 0.0, 3); };
    click(window.cmdBrowse);
    EXPECT_EQ(player.count("Open"), 3);
    EXPECT_EQ(window.Циферблат_часов.text(), "12:00:00");
    EXPECT_EQ(player.count("FileName=/music/new.wav"), 0);
}

struct BadText {
    const char* name;
    const char* text;
};

void PrintTo(const BadText& c, std::ostream* os) {
    *os << c.name;
}

const BadText kBadTexts[] = {
    {"Empty", ""},
    {"Space", " "},
    {"Letters", "abc"},
    {"HourPast23", "25:00"},
    {"MinutePast59", "7:61"},
    {"LetterAfterTheTime", "12:00:00x"},
    {"TwoTimes", "12:00:00 12:00:00"},
    {"NotUtf8", "\xff\xfe"},
};

class BadAlarmTextTest : public AlarmTest, public ::testing::WithParamInterface<BadText> {};

TEST_P(BadAlarmTextTest, TickGoesOnWithoutRingingAndReportsOnce) {
    arm(GetParam().text);
    const size_t commandsBefore = player.log.size();
    ticksAt(12, 0, 0.0, 100);
    ticksAt(12, 0, 1.0, 1);

    EXPECT_EQ(window.Циферблат_часов.text(), "12:00:01") << "the dial stays current";
    EXPECT_EQ(player.log.size(), commandsBefore) << "nothing reaches the player";
    const std::string written = errors.str();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;
    EXPECT_EQ(written.rfind("Таймер_часов_Timer: ", 0), 0u) << written;

    window.Циферблат_будильника.setText("12:00:02");
    EXPECT_EQ(ticksAt(12, 0, 2.0), 1) << "a good text rings again";
}

INSTANTIATE_TEST_SUITE_P(Texts, BadAlarmTextTest, ::testing::ValuesIn(kBadTexts), harness::rowName);

}  // namespace
