#pragma once

#include <gtest/gtest.h>

#include <sstream>

#include "fakes.h"
#include "form.h"
#include "form14.h"

// Form14 on its real layout and controls, offscreen, with a fake clock and dialog and the given
// player. Ticks are run by hand, through the same event boundary as in the program.
template <class Player, class Clock = rt::FakeClock>
class Form14Rig {
  public:
    Form14Rig()
        : dateTime(clock, rt::RegionalFormats::russianStyle()),
          boundary(errors),
          form(QString::fromUtf8(Form14::layoutPath()), boundary),
          window(form, {dateTime, player, dialog, clockWake}) {}

    // Sets the clock and runs Form_Load.
    void load(int year, int month, int day, int hour, int minute, double second) {
        clock.set(year, month, day, hour, minute, second);
        window.Form_Load();
    }
    // Time passes until the wall clock reads the given moment, which lies ahead.
    void passUntil(int year, int month, int day, int hour, int minute, double second) {
        const rt::LocalReading from = clock.now();
        const double ahead = double(rt::dayNumber(year, month, day) - from.day) * 86400.0 +
                             hour * 3600.0 + minute * 60.0 + second - from.secondsOfDay;
        clock.advance(ahead);
        clock.set(year, month, day, hour, minute, second);  // exactly, without rounding
    }
    void tickClock() {
        form.event(
            "Таймер_часов_Timer", [this] { window.Таймер_часов_Timer(); },
            forms::Form::Source::timer)();
    }
    void tickStopwatch() {
        form.event(
            "Таймер_секундомера_Timer", [this] { window.Таймер_секундомера_Timer(); },
            forms::Form::Source::timer)();
    }
    void click(forms::CommandButton& button) { button.widget().click(); }

    Clock clock;
    fakes::FakeClockWake clockWake{clock};
    rt::DateTime dateTime;
    Player player;
    fakes::ScriptedDialog dialog;
    std::ostringstream errors;
    forms::EventBoundary boundary;
    forms::Form form;
    Form14 window;
};

class Form14Test : public ::testing::Test, public Form14Rig<fakes::RecordingPlayer> {};
