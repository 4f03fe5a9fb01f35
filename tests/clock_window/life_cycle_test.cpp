#include <QTimer>
#include <csignal>

#include "form14_fixture.h"
#include "harness/table.h"

namespace {

struct Shown {
    const char* control;
    std::string (*read)(Form14&);
    const char* expected;
};

TEST_F(Form14Test, StartStateIsCompleteBeforeTheFirstTick) {
    load(2026, 12, 10, 9, 15, 0);  // a Thursday

    const Shown shown[] = {
        {"clock dial", [](Form14& w) { return w.Циферблат_часов.text(); }, ""},
        {"date dial", [](Form14& w) { return w.Циферблат_даты.text(); }, "10.12.2026"},
        {"weekday dial", [](Form14& w) { return w.Циферблат_дня_недели.text(); }, "четверг"},
        {"alarm label", [](Form14& w) { return w.Метка_будильника.caption(); },
         "Будильник отклучен"},
        {"alarm button",
         [](Form14& w) { return w.Кнопка_включения_выключения_будильника.caption(); },
         "Включить будильник"},
        {"alarm time", [](Form14& w) { return w.Циферблат_будильника.text(); }, "12:00:00"},
        {"melody box", [](Form14& w) { return w.txtBrowse.text(); }, "Мелодия"},
        {"stopwatch dial", [](Form14& w) { return w.Циферблат_секундомера.text(); }, "0:00:00"},
        {"start button", [](Form14& w) { return w.Кнопка_пуска_паузы_секундомера.caption(); },
         "ПУСК"},
        {"reset button", [](Form14& w) { return w.Кнопка_обнуления_секундомера.caption(); },
         "СБРОС"},
        {"stop button", [](Form14& w) { return w.Кнопка_выключения_сигнала.caption(); },
         "Выключить сигнал"},
        {"browse button", [](Form14& w) { return w.cmdBrowse.caption(); }, "Обзор..."},
    };
    for (const Shown& row : shown) {
        EXPECT_EQ(row.read(window), row.expected) << row.control;
    }

    EXPECT_EQ(window.Будильник_включен, 0);
    EXPECT_EQ(window.Состояние_секундомера, 2);
    EXPECT_EQ(window.Время_секундомера, 0.0f);
    EXPECT_EQ(window.Накопленное_время, 0.0f);
    EXPECT_TRUE(window.Таймер_часов.enabled());
    EXPECT_EQ(window.Таймер_часов.interval(), 1);
    EXPECT_FALSE(window.Таймер_секундомера.enabled());
    EXPECT_EQ(player.log, std::vector<std::string>{"DeviceType="});
}

TEST_F(Form14Test, ClockTickShowsTheTimeOfDay) {
    load(2026, 12, 10, 9, 15, 7.25);
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "9:15:07");
    EXPECT_EQ(window.Текущее_время, dateTime.fromText("9:15:07"));
    clock.advance(0.7);
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "9:15:07");
    clock.advance(0.1);
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "9:15:08");
}

TEST_F(Form14Test, TicksWithinMidnightRefreshTheCalendarAndNoOthers) {
    load(2026, 12, 14, 0, 0, 0.2);
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "0:00:00");

    // Overwritten dials show which ticks refresh them.
    window.Циферблат_даты.setText("x");
    window.Циферблат_дня_недели.setText("y");
    clock.advance(0.5);  // 0:00:00.7
    tickClock();
    EXPECT_EQ(window.Циферблат_даты.text(), "14.12.2026");
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "понедельник");

    window.Циферблат_даты.setText("x");
    clock.advance(0.5);  // 0:00:01.2
    tickClock();
    EXPECT_EQ(window.Циферблат_даты.text(), "x");
}

TEST_F(Form14Test, CrossingMidnightShowsTheNewDay) {
    load(2026, 12, 13, 23, 59, 59.995);
    tickClock();
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "воскресенье");
    clock.advance(0.01);
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "0:00:00");
    EXPECT_EQ(window.Циферблат_даты.text(), "14.12.2026");
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "понедельник");
}

TEST_F(Form14Test, MissedMidnightIsCaughtOnTheNextTick) {
    load(2026, 12, 10, 23, 59, 58);
    tickClock();
    clock.advance(8 * 3600.0);  // slept through midnight
    tickClock();
    EXPECT_EQ(window.Циферблат_даты.text(), "11.12.2026");
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "пятница");

    clock.set(2027, 3, 1, 12, 0, 0);  // the system date changed
    tickClock();
    EXPECT_EQ(window.Циферблат_даты.text(), "01.03.2027");
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "понедельник");
}

// A fake clock whose every reading comes `step` later than the one before, as the real clock
// moves on between two reads within a tick.
class SteppingClock : public rt::FakeClock {
  public:
    rt::LocalReading now() const override {
        rt::LocalReading reading = FakeClock::now();
        reading.secondsOfDay += later_;
        if (reading.secondsOfDay >= 86400.0) {
            reading.secondsOfDay -= 86400.0;
            ++reading.day;
        }
        later_ += step;
        return reading;
    }

    double step = 0.0;

  private:
    mutable double later_ = 0.0;
};

class SteppingClockTest : public ::testing::Test,
                          public Form14Rig<fakes::RecordingPlayer, SteppingClock> {};

TEST_F(SteppingClockTest, EachTickShowsTheTimeWithTheDateOfTheSameMoment) {
    load(2026, 12, 13, 23, 59, 59);
    clock.set(2026, 12, 13, 23, 59, 59.995);
    clock.step = 0.01;  // midnight falls just after the tick's first reading
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "23:59:59");
    EXPECT_EQ(window.Циферблат_даты.text(), "13.12.2026");
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "воскресенье");
    tickClock();
    EXPECT_EQ(window.Циферблат_часов.text(), "0:00:00");
    EXPECT_EQ(window.Циферблат_даты.text(), "14.12.2026");
    EXPECT_EQ(window.Циферблат_дня_недели.text(), "понедельник");
}

enum class Ending { closeButton, desktopClose, sigterm };

struct EndWay {
    const char* name;
    Ending ending;
};

void PrintTo(const EndWay& way, std::ostream* os) {
    *os << way.name;
}

const EndWay kEndWays[] = {
    {"CloseButton", Ending::closeButton},
    {"DesktopClose", Ending::desktopClose},
    {"Sigterm", Ending::sigterm},
};

// Each way of ending the program: Unload, then Terminate with one "Close" to the player.
class EndTest : public Form14Test, public ::testing::WithParamInterface<EndWay> {};

TEST_P(EndTest, EndsWithOneCloseAndExitCodeZero) {
    clock.set(2026, 12, 10, 9, 0, 0);
    const Ending how = GetParam().ending;
    QTimer::singleShot(30, &form.window(), [this, how] {
        if (how == Ending::closeButton) {
            click(window.Command4);
        } else if (how == Ending::desktopClose) {
            form.window().close();
        } else {
            std::raise(SIGTERM);
        }
    });
    const int code = forms::run(form, window);

    EXPECT_EQ(code, 0);
    EXPECT_TRUE(form.unloaded());
    EXPECT_FALSE(form.window().isVisible());
    EXPECT_EQ(player.count("Close"), 1);
    EXPECT_EQ(player.log.back(), "Close");
    EXPECT_NE(window.Циферблат_часов.text(), "") << "the clock ticked while the loop ran";
    EXPECT_EQ(errors.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Ways, EndTest, ::testing::ValuesIn(kEndWays), harness::rowName);

TEST_F(Form14Test, NoEventIsDeliveredAfterUnload) {
    load(2026, 12, 10, 11, 59, 59);
    window.Кнопка_включения_выключения_будильника_Click();  // armed for 12:00:00
    window.Command4_Click();
    clock.set(2026, 12, 10, 12, 0, 0);
    tickClock();  // a tick already queued when the window went
    EXPECT_EQ(window.Циферблат_часов.text(), "");
    EXPECT_EQ(player.count("Open"), 0);
}

}  // namespace
