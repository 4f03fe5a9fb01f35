#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "clock.h"
#include "date_pattern.h"
#include "failure.h"

namespace rt {

// Days since 30 December 1899; the fraction is the time of day.
using DateValue = double;

// The user's regional formats for dates and times. Patterns use d dd M MM yy yyyy for dates and
// H HH h hh m mm s ss tt for times (tt is the AM/PM designator); anything else stands as is.
struct RegionalFormats {
    std::string longTime;                 // e.g. "H:mm:ss"
    std::string shortDate;                // e.g. "dd.MM.yyyy"
    std::array<std::string, 7> weekdays;  // full names, Monday first
    std::string am;                       // empty where the locale has no designators
    std::string pm;
    // The locale writes the designator before the time ("오후 7:30"); it is read there too.
    bool designatorFirst = false;

    // From the user's LC_TIME.
    static RegionalFormats fromUserLocale();
    // The fixed set that tests use: "H:mm:ss", "dd.MM.yyyy", Russian weekday names, no AM/PM.
    static RegionalFormats russianStyle();
};

// The date and time services that the window's procedures call. Texts are UTF-8.
class DateTime {
  public:
    DateTime(const Clock& clock, RegionalFormats formats);

    // Time of day in whole seconds, date part 0.
    DateValue currentTime() const;
    // Today, time part 0.
    DateValue currentDate() const;
    // Today and the time of day as the two calls above give them, from one reading, so that
    // midnight cannot fall between the two.
    struct DateAndTime {
        DateValue date;
        DateValue time;
    };
    DateAndTime currentDateAndTime() const;
    // Seconds since midnight with a fraction.
    float secondsSinceMidnight() const;
    // Seconds on the clock that only moves forward and counts time asleep; only differences
    // of two readings mean anything.
    double forwardSeconds() const;

    // The date value `seconds` later; a fraction of a second is cut towards minus infinity.
    static DateValue addSeconds(double seconds, DateValue date);
    // 1 for Monday up to 7 for Sunday.
    static int weekday(DateValue date);
    // Full name of weekday 1 (Monday) to 7; fails outside that range.
    std::string weekdayName(int weekday) const;

    // Date part 0: the time alone; time part 0: the date alone; else the date, a space, the time.
    std::string toText(DateValue date) const;
    // Reads a time alone, a date alone, or a date and a time; fails on anything else.
    DateValue fromText(std::string_view text) const;
    // toText(date), then `separator`, then the decimal digits of `number`.
    std::string join(DateValue date, std::string_view separator, std::int32_t number) const;

    const RegionalFormats& formats() const { return formats_; }
    const Clock& clock() const { return clock_; }

  private:
    const Clock& clock_;
    RegionalFormats formats_;
    DateTextShapes textShapes_;  // worked out once: the alarm box is read on every tick
};

}  // namespace rt
