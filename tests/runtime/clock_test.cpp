#include <time.h>

#include <bit>
#include <cstdint>
#include <cstdio>

#include <limits>

#include <gtest/gtest.h>

#include "clock.h"
#include "date_time.h"

namespace rt {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct KnownDay {
    const char* name;
    int year, month, day;
    std::int64_t number;
};

const KnownDay kKnownDays[] = {
    {"DayZero", 1899, 12, 30, 0},           {"DayBefore", 1899, 12, 29, -1},
    {"NotLeap1900", 1900, 3, 1, 61},        {"Y2K", 2000, 1, 1, 36526},
    {"LeapDay2024", 2024, 2, 29, 45351},    {"FirstYear100", 100, 1, 1, -657434},
    {"LastDay9999", 9999, 12, 31, 2958465},
};

TEST(DayNumber, KnownDatesBothWays) {
    for (const auto& k : kKnownDays) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(dayNumber(k.year, k.month, k.day), k.number);
        const CivilDate back = civilDate(k.number);
        EXPECT_EQ(back.year, k.year);
        EXPECT_EQ(back.month, k.month);
        EXPECT_EQ(back.day, k.day);
    }
}

// Every day of the years 100..9999 maps back to itself and follows the day before it.
TEST(DayNumber, RoundTripsAndStepsThroughWholeRange) {
    CivilDate previous = civilDate(-657435);
    for (std::int64_t n = -657434; n <= 2958465; ++n) {
        const CivilDate d = civilDate(n);
        const bool nextDay = d.day == previous.day + 1 && d.month == previous.month;
        const bool nextMonth =
            d.day == 1 && (d.month == previous.month + 1 ||
                           (d.month == 1 && previous.month == 12 && d.year == previous.year + 1));
        if ((!nextDay && !nextMonth) || dayNumber(static_cast<int>(d.year), d.month, d.day) != n) {
            FAIL() << "day " << n << " is " << d.day << "." << d.month << "." << d.year;
        }
        previous = d;
    }
}

TEST(DayNumber, RejectsDatesThatDoNotExist) {
    const int bad[][3] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31},
                          {2024, 13, 1}, {2024, 0, 1},  {2024, 1, 0}};
    for (const auto& d : bad) {
        SCOPED_TRACE(testing::Message() << d[2] << "." << d[1] << "." << d[0]);
        try {
            dayNumber(d[0], d[1], d[2]);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), kInvalidCall);
        }
    }
}

struct Move {
    const char* name;
    double startSecond;  // on 31.12.2026
    double by;
    std::int64_t dayShift;
    double secondsOfDay;
};

const Move kMoves[] = {
    {"AcrossMidnight", 86399.995, 0.01, 1, 0.005},
    {"BackAcrossMidnight", 0.5, -1.0, -1, 86399.5},
    {"SeveralDays", 3600.0, 3 * 86400.0 + 5.0, 3, 3605.0},
    {"SeveralDaysBack", 3600.0, -3 * 86400.0 - 3601.0, -4, 86399.0},
    {"OntoMidnight", 86000.0, 400.0, 1, 0.0},
    {"Nothing", 12.25, 0.0, 0, 12.25},
};

// Time passing and the wall clock set carry the wall clock into other days alike; only time
// passing moves the forward clock, and it never goes back.
TEST(FakeClock, MovesCarryIntoOtherDays) {
    const std::int64_t start = dayNumber(2026, 12, 31);
    for (const auto& m : kMoves) {
        for (const bool passes : {false, true}) {
            if (passes && m.by < 0) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << m.name << (passes ? " passing" : " set"));
            FakeClock clock;
            clock.set(2026, 12, 31, 0, 0, m.startSecond);
            const double forward = clock.forwardSeconds();
            passes ? clock.advance(m.by) : clock.shiftWall(m.by);
            EXPECT_EQ(clock.now().day, start + m.dayShift);
            EXPECT_NEAR(clock.now().secondsOfDay, m.secondsOfDay, 1e-6);
            EXPECT_GE(clock.now().secondsOfDay, 0.0);
            EXPECT_LT(clock.now().secondsOfDay, 86400.0);
            EXPECT_EQ(clock.forwardSeconds() - forward, passes ? m.by : 0.0);
        }
    }
}

TEST(FakeClock, RefusesToMoveByNonsense) {
    FakeClock clock;
    clock.set(2026, 12, 10, 12, 0, 0);
    clock.advance(5);
    for (const double by : {kNaN, kInf, -kInf, 1e300, -1e300}) {
        EXPECT_THROW(clock.advance(by), Failure) << by;
        EXPECT_THROW(clock.shiftWall(by), Failure) << by;
    }
    EXPECT_THROW(clock.advance(-0.001), Failure) << "time passing backwards";
    EXPECT_EQ(clock.now().day, dayNumber(2026, 12, 10));
    EXPECT_EQ(clock.now().secondsOfDay, 43205.0);
    EXPECT_EQ(clock.forwardSeconds(), 5.0);
}

TEST(SystemClock, ForwardReadingIsTheTimeSinceBoot) {
    timespec before{}, after{};
    clock_gettime(CLOCK_BOOTTIME, &before);
    const double reading = SystemClock().forwardSeconds();
    clock_gettime(CLOCK_BOOTTIME, &after);
    EXPECT_GE(reading, static_cast<double>(before.tv_sec) + before.tv_nsec / 1e9);
    EXPECT_LE(reading, static_cast<double>(after.tv_sec) + after.tv_nsec / 1e9);
}

TEST(SystemClock, AgreesWithTheLocalCalendar) {
    const time_t before = time(nullptr);
    const LocalReading reading = SystemClock().now();
    const time_t after = time(nullptr);
    EXPECT_GE(reading.secondsOfDay, 0.0);
    EXPECT_LT(reading.secondsOfDay, 86400.0);
    bool matched = false;
    for (const time_t t : {before, after}) {
        tm local{};
        localtime_r(&t, &local);
        const int second = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
        matched = matched || (reading.day == dayNumber(local.tm_year + 1900, local.tm_mon + 1,
                                                       local.tm_mday) &&
                              static_cast<int>(reading.secondsOfDay) == second);
    }
    EXPECT_TRUE(matched) << reading.day << " " << reading.secondsOfDay;
}

class ClockReadings : public testing::Test {
  protected:
    FakeClock clock;
    DateTime dt{clock, RegionalFormats::russianStyle()};
};

TEST_F(ClockReadings, AcrossMidnight) {
    const auto today = static_cast<double>(dayNumber(2026, 12, 31));
    clock.set(2026, 12, 31, 23, 59, 59.995);
    EXPECT_EQ(dt.currentTime(), 86399 / 86400.0);
    EXPECT_EQ(dt.currentDate(), today);
    EXPECT_FLOAT_EQ(dt.secondsSinceMidnight(), 86399.995f);
    const auto late = dt.currentDateAndTime();
    EXPECT_EQ(late.date, today);
    EXPECT_EQ(late.time, 86399 / 86400.0);

    clock.advance(0.01);
    EXPECT_EQ(dt.currentTime(), 0.0);
    EXPECT_EQ(dt.currentDate(), today + 1);
    EXPECT_NEAR(dt.secondsSinceMidnight(), 0.005f, 1e-6);
    const auto early = dt.currentDateAndTime();
    EXPECT_EQ(early.date, today + 1);
    EXPECT_EQ(early.time, 0.0);
}

// The last instant of the day must not round up to 86400 in a float while the date is unchanged.
TEST_F(ClockReadings, SecondsStayBelowAFullDay) {
    clock.set(2026, 12, 31, 23, 59, 59.9999);
    EXPECT_LT(dt.secondsSinceMidnight(), 86400.0f);
}

TEST_F(ClockReadings, CurrentTimeHoldsForTheWholeSecond) {
    clock.set(2026, 12, 10, 12, 0, 0);
    const DateValue noon = dt.currentTime();
    EXPECT_EQ(std::bit_cast<std::uint64_t>(noon),
              std::bit_cast<std::uint64_t>(dt.fromText("12:00:00")));
    clock.advance(0.999);
    EXPECT_EQ(dt.currentTime(), noon);
    clock.advance(0.001);
    EXPECT_NE(dt.currentTime(), noon);
}

// The alarm fires when currentTime() equals the value read from the user's text, so every road
// to a second of the day must give the same bits.
TEST_F(ClockReadings, EverySecondOfTheDayMatchesItsText) {
    for (int s = 0; s < 86400; ++s) {
        clock.set(2026, 12, 10, s / 3600, s / 60 % 60, s % 60 + 0.75);
        char text[16];
        std::snprintf(text, sizeof text, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        const auto now = std::bit_cast<std::uint64_t>(dt.currentTime());
        const bool same = now == std::bit_cast<std::uint64_t>(dt.fromText(text)) &&
                          now == std::bit_cast<std::uint64_t>(DateTime::addSeconds(s, 0.0)) &&
                          dt.toText(dt.currentTime()) == text;
        if (!same) {
            FAIL() << "second " << s << " (" << text << ")";
        }
    }
}

}  // namespace
}  // namespace rt
