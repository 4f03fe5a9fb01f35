#include "clock.h"

#include <time.h>

#include <cmath>
#include <string>

#include "failure.h"

namespace rt {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// days_from_civil(1899, 12, 30) below counts from 1 January 1970; this moves it to day 0.
constexpr std::int64_t kEpochShift = 25569;

bool isLeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(std::int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's era algorithm).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

std::int64_t dayNumber(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
        throw Failure(kInvalidCall, "Invalid procedure call: no such date " + std::to_string(day) +
                                        "." + std::to_string(month) + "." + std::to_string(year));
    }
    return daysFromCivil(year, month, day) + kEpochShift;
}

CivilDate civilDate(std::int64_t dayNumber) {
    const std::int64_t z = dayNumber - kEpochShift + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

LocalReading SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    if (localtime_r(&ts.tv_sec, &local) == nullptr) {
        gmtime_r(&ts.tv_sec, &local);
    }
    // A leap second reads as the last second of its minute, so the day never reaches 86400.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    LocalReading reading;
    reading.day = dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    reading.secondsOfDay =
        local.tm_hour * 3600 + local.tm_min * 60 + second + static_cast<double>(ts.tv_nsec) / 1e9;
    return reading;
}

double SystemClock::forwardSeconds() const {
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) {
        clock_gettime(CLOCK_MONOTONIC, &ts);
    }
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void FakeClock::set(int year, int month, int day, int hour, int minute, double second) {
    FakeClock moved;  // tells no one, and leaves this clock as it was when the date is bad
    moved.reading_ = {dayNumber(year, month, day), 0.0};
    moved.moveWall(hour * 3600.0 + minute * 60.0 + second);
    reading_ = moved.reading_;
    tell(true);
}

void FakeClock::tell(bool wallSet) const {
    if (moved_) {
        moved_(wallSet);
    }
}

void FakeClock::advance(double seconds) {
    if (seconds < 0.0) {
        throw Failure(kInvalidCall, "Invalid procedure call: time cannot pass backwards by " +
                                        std::to_string(-seconds) + " seconds");
    }
    moveWall(seconds);
    forward_ += seconds;
    tell(false);
}

void FakeClock::shiftWall(double seconds) {
    moveWall(seconds);
    tell(true);
}

void FakeClock::moveWall(double seconds) {
    // Beyond a few hundred thousand years the day count would no longer fit; no test needs that.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e13) {
        throw Failure(kInvalidCall, "Invalid procedure call: the clock cannot move by " +
                                        std::to_string(seconds) + " seconds");
    }
    const double total = reading_.secondsOfDay + seconds;
    const double days = std::floor(total / kSecondsPerDay);
    double rest = total - days * kSecondsPerDay;
    auto day = reading_.day + static_cast<std::int64_t>(days);
    // Rounding can leave a hair below 0 landing exactly on the next midnight.
    if (rest >= kSecondsPerDay) {
        rest -= kSecondsPerDay;
        ++day;
    }
    reading_ = {day, rest < 0.0 ? 0.0 : rest};
}

}  // namespace rt
