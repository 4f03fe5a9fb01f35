#include "date_time.h"

#include <cmath>
#include <utility>

#include "date_parse.h"
#include "date_pattern.h"
#include "date_value.h"

namespace rt {
namespace {

// The largest float below 86400: a reading late in the last second must not read as midnight
// while the day is still the old one.
const float kLastSecondOfDay = std::nextafter(86400.0f, 0.0f);

float secondsAsFloat(double secondsOfDay) {
    const auto seconds = static_cast<float>(secondsOfDay);
    return seconds < kLastSecondOfDay ? seconds : kLastSecondOfDay;
}

// The time of day in whole seconds, date part 0. Clamped, so that a clock reading out of range
// still gives a second of the day.
DateValue timeOf(const LocalReading& reading) {
    const double seconds = std::floor(reading.secondsOfDay);
    const auto whole = static_cast<std::int64_t>(seconds >= 0 ? seconds : 0);
    return makeValue(0, whole < kSecondsPerDay ? whole : kSecondsPerDay - 1);
}

// Far more seconds than lie between the years 100 and 9999, yet exact in a double.
constexpr double kMaxShift = 1e12;

DateFields fieldsOf(const DayAndSecond& parts) {
    const CivilDate date = civilDate(parts.day);
    DateFields f;
    f.year = date.year;
    f.month = date.month;
    f.day = date.day;
    f.hour = static_cast<int>(parts.second / 3600);
    f.minute = static_cast<int>(parts.second / 60 % 60);
    f.second = static_cast<int>(parts.second % 60);
    return f;
}

}  // namespace

DateTime::DateTime(const Clock& clock, RegionalFormats formats)
    : clock_(clock), formats_(std::move(formats)), textShapes_(dateTextShapes(formats_)) {}

DateValue DateTime::currentTime() const {
    return timeOf(clock_.now());
}

DateValue DateTime::currentDate() const {
    return makeValue(clock_.now().day, 0);
}

DateTime::DateAndTime DateTime::currentDateAndTime() const {
    const LocalReading reading = clock_.now();
    return {makeValue(reading.day, 0), timeOf(reading)};
}

float DateTime::secondsSinceMidnight() const {
    return secondsAsFloat(clock_.now().secondsOfDay);
}

double DateTime::forwardSeconds() const {
    return clock_.forwardSeconds();
}

DateValue DateTime::addSeconds(double seconds, DateValue date) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > kMaxShift) {
        throw Failure(kOverflow, "Overflow: cannot add " + std::to_string(seconds) + " seconds");
    }
    const DayAndSecond start = splitValue(date);
    const double total = static_cast<double>(start.day) * 86400.0 +
                         static_cast<double>(start.second) + std::floor(seconds);
    const double day = std::floor(total / 86400.0);
    const auto whole = static_cast<std::int64_t>(day);
    if (!dayInRange(whole)) {
        throw Failure(kOverflow, "Overflow: the date lies outside the years 100 to 9999");
    }
    return makeValue(whole, static_cast<std::int64_t>(total - day * 86400.0));
}

int DateTime::weekday(DateValue date) {
    const std::int64_t day = splitValue(date).day;
    // Day 0 was a Saturday (6); the +5 keeps the remainder of negative days in 0..6.
    const std::int64_t fromMonday = ((day + 5) % 7 + 7) % 7;
    return static_cast<int>(fromMonday) + 1;
}

std::string DateTime::weekdayName(int weekday) const {
    if (weekday < 1 || weekday > 7) {
        throw Failure(kInvalidCall, "Invalid procedure call: weekday " + std::to_string(weekday) +
                                        " is not 1 to 7");
    }
    return formats_.weekdays[weekday - 1];
}

std::string DateTime::toText(DateValue date) const {
    const DayAndSecond parts = splitValue(date);
    const DateFields fields = fieldsOf(parts);
    const auto time = [&] {
        return formatByPattern(formats_.longTime, fields, formats_.am, formats_.pm);
    };
    const auto day = [&] {
        return formatByPattern(formats_.shortDate, fields, formats_.am, formats_.pm);
    };
    if (parts.day == 0) {
        return time();
    }
    if (parts.second == 0) {
        return day();
    }
    return day() + " " + time();
}

DateValue DateTime::fromText(std::string_view text) const {
    if (const auto value = parseDateText(text, formats_, textShapes_)) {
        return *value;
    }
    throw Failure(kTypeMismatch,
                  "Type mismatch: \"" + quoteForMessage(text) + "\" is not a date or time");
}

std::string DateTime::join(DateValue date, std::string_view separator, std::int32_t number) const {
    std::string text = toText(date);
    text += separator;
    text += std::to_string(number);
    return text;
}

}  // namespace rt
