#include <climits>
#include <cmath>

#include <limits>

#include <gtest/gtest.h>

#include "date_time.h"

namespace rt {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

DateValue at(int year, int month, int day, int second = 0) {
    return static_cast<double>(dayNumber(year, month, day)) + second / 86400.0;
}

struct Shift {
    const char* name;
    double seconds;
    DateValue from;
    DateValue expected;
};

const Shift kShifts[] = {
    {"FractionCutDown", 1.6, 0.0, 1 / 86400.0},
    {"JustUnderADay", 86399.9, 0.0, 86399 / 86400.0},
    {"NegativeFractionCutDown", -0.5, 0.0, -1 + 86399 / 86400.0},
    {"BackOneHour", -3600, 0.5, 39600 / 86400.0},
    {"IntoNextDay", 1, at(2026, 12, 31, 86399), at(2027, 1, 1)},
    {"IntoDayBefore", -1, at(2027, 1, 1), at(2026, 12, 31, 86399)},
    {"ManyDays", 10 * 86400.0 + 5, at(2024, 2, 25, 7200), at(2024, 3, 6, 7205)},
    {"StopwatchPastADay", 90000, 0.0, 1 + 3600 / 86400.0},
    {"UnevenStartIsSnapped", 0, 0.5 + 1e-9, 0.5},
};

TEST(AddSeconds, WholeSecondsWithCarry) {
    for (const auto& s : kShifts) {
        SCOPED_TRACE(s.name);
        // Exact equality: the result must be rebuilt, not accumulated.
        EXPECT_EQ(DateTime::addSeconds(s.seconds, s.from), s.expected);
    }
}

TEST(AddSeconds, OverflowFailsCleanly) {
    const struct {
        const char* name;
        double seconds;
        DateValue from;
    } cases[] = {
        {"NaN", kNaN, 0.0},
        {"Infinity", kInf, 0.0},
        {"MinusInfinity", -kInf, 0.0},
        {"Huge", 1e300, 0.0},
        {"DateNaN", 1, kNaN},
        {"DateOutOfRange", 1, 1e10},
        {"PastYear9999", 1, at(9999, 12, 31, 86399)},
        {"BeforeYear100", -1, at(100, 1, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DateTime::addSeconds(c.seconds, c.from);
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), kOverflow);
        }
    }
}

TEST(Weekday, KnownDates) {
    const struct {
        const char* name;
        DateValue date;
        int weekday;
    } cases[] = {
        {"DayZeroSaturday", 0.0, 6},
        {"SundayAfter", 1.0, 7},
        {"MondayNewYear1900", at(1900, 1, 1), 1},
        {"Y2KSaturday", at(2000, 1, 1), 6},
        {"Thursday", at(2026, 12, 10), 4},
        {"TimeOfDayIgnored", at(2026, 12, 10, 86399), 4},
        {"DayBeforeZeroFriday", -1.0, 5},
        {"NegativeWithTime", -0.25, 5},
        {"LastSecondRoundsIntoNextDay", 0.9999999999, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DateTime::weekday(c.date), c.weekday);
    }
}

TEST(Weekday, FollowsDayAfterDayAcrossZero) {
    for (int day = -800; day < 800; ++day) {
        ASSERT_EQ(DateTime::weekday(day + 1), DateTime::weekday(day) % 7 + 1) << day;
    }
}

TEST(Weekday, OutOfRangeValueOverflows) {
    for (const double bad : {kNaN, kInf, -1e9}) {
        try {
            DateTime::weekday(bad);
            ADD_FAILURE() << bad;
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), kOverflow);
        }
    }
}

class WeekdayNames : public testing::Test {
  protected:
    FakeClock clock;
    DateTime dt{clock, RegionalFormats::russianStyle()};
};

TEST_F(WeekdayNames, MondayFirst) {
    EXPECT_EQ(dt.weekdayName(1), "понедельник");
    EXPECT_EQ(dt.weekdayName(DateTime::weekday(at(2026, 12, 10))), "четверг");
    EXPECT_EQ(dt.weekdayName(7), "воскресенье");
}

TEST_F(WeekdayNames, NumbersOutsideTheWeekFail) {
    for (const int n : {0, 8, -1, INT_MIN, INT_MAX}) {
        try {
            dt.weekdayName(n);
            ADD_FAILURE() << n;
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), kInvalidCall);
        }
    }
}

}  // namespace
}  // namespace rt
