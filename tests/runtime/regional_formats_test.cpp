#include <locale.h>
#include <stdlib.h>
#include <time.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "date_pattern.h"
#include "date_time.h"
#include "harness/table.h"
#include "locale_conversion.h"

namespace rt {
namespace {

TEST(PatternFromStrftime, Conversions) {
    const struct {
        const char* format;
        const char* pattern;
    } cases[] = {
        {"%H:%M:%S", "HH:mm:ss"},
        {"%T", "HH:mm:ss"},
        {"%R", "HH:mm"},
        {"%r", "hh:mm:ss tt"},
        {"%l:%M %p", "h:mm tt"},
        {"%k.%M", "H.mm"},
        {"%d.%m.%Y", "dd.MM.yyyy"},
        {"%e/%m/%y", "d/MM/yy"},
        {"%D", "MM/dd/yy"},
        {"%F", "yyyy-MM-dd"},
        {"%-d.%-m.%Y", "d.M.yyyy"},
        {"%Ey %OH", "yy HH"},
        {"%Y年%m月%d日", "yyyy年MM月dd日"},
        {"%H h %M", "HH' h 'mm"},
        {"it's %H", "'it''s 'HH"},
        {"100%% %S", "100% ss"},
        {"%a %d %b %Y", "dd  yyyy"},
        {"%Z %H:%M", "HH:mm"},
        {"%j", ""},
        {"%H%", "HH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(patternFromStrftime(c.format), c.pattern);
    }
}

// Our patterns must print what strftime itself prints in the C locale (%k and %e pad with a
// space, which our unpadded H and d leave out on purpose).
TEST(PatternFromStrftime, PrintsLikeStrftime) {
    const char* formats[] = {"%H:%M:%S",    "%T", "%R", "%r",       "%I:%M %p",
                             "%I:%M:%S %p", "%D", "%F", "%d.%m.%Y", "it's %H%%"};
    const DateFields moments[] = {
        {2007, 3, 5, 0, 7, 9}, {2026, 12, 10, 12, 0, 0}, {1999, 11, 30, 23, 59, 59}};
    for (const DateFields& f : moments) {
        tm t{};
        t.tm_year = static_cast<int>(f.year) - 1900;
        t.tm_mon = f.month - 1;
        t.tm_mday = f.day;
        t.tm_hour = f.hour;
        t.tm_min = f.minute;
        t.tm_sec = f.second;
        for (const char* format : formats) {
            char expected[64];
            strftime(expected, sizeof expected, format, &t);
            EXPECT_EQ(formatByPattern(patternFromStrftime(format), f, "AM", "PM"), expected)
                << format << " at " << f.hour << ":" << f.minute;
        }
    }
}

TEST(ToUtf8, Codesets) {
    EXPECT_EQ(toUtf8("\xd3\xd2\xc5\xc4\xc1", "KOI8-R"), "среда");
    EXPECT_EQ(toUtf8("\xe1\xe0\xd5\xd4\xd0", "ISO-8859-5"), "среда");
    EXPECT_EQ(toUtf8("среда", "UTF-8"), "среда");
    EXPECT_EQ(toUtf8("AM", "ANSI_X3.4-1968"), "AM");
    EXPECT_EQ(toUtf8("a\xff", "ANSI_X3.4-1968"), "a?");
    EXPECT_EQ(toUtf8("a\xd3", "NO-SUCH-CODESET"), "a?");
}

struct LocaleCase {
    const char* name;
    const char* locale;
    const char* longTime;
    const char* shortDate;
    const char* mondayEnd;  // glibc versions differ in capitalising the names
    const char* sundayEnd;
    const char* am;
};

void PrintTo(const LocaleCase& c, std::ostream* os) {
    *os << c.locale;
}

const LocaleCase kLocales[] = {
    {"C", "C", "HH:mm:ss", "MM/dd/yy", "Monday", "Sunday", "AM"},
    {"Russian", "ru_RU.UTF-8", "HH:mm:ss", "dd.MM.yyyy", "онедельник", "оскресенье", ""},
    // Names must come out as UTF-8 whatever the locale's own codeset.
    {"RussianKoi8", "ru_RU.KOI8-R", "HH:mm:ss", "dd.MM.yyyy", "онедельник", "оскресенье", ""},
    {"AmericanEnglish", "en_US.UTF-8", "hh:mm:ss tt", "MM/dd/yyyy", "onday", "unday", "AM"},
};

// Sets LC_TIME for one test and puts the environment back afterwards.
class LocaleEnvironment : public testing::Test {
  protected:
    void SetUp() override {
        for (auto& [name, value] : saved_) {
            const char* now = getenv(name);
            value = now ? std::optional<std::string>(now) : std::nullopt;
        }
        unsetenv("LC_ALL");
        unsetenv("LANG");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }
    static bool installed(const char* locale) {
        locale_t loc = newlocale(LC_TIME_MASK, locale, locale_t{});
        if (loc != locale_t{}) {
            freelocale(loc);
        }
        return loc != locale_t{};
    }

  private:
    std::pair<const char*, std::optional<std::string>> saved_[3] = {
        {"LC_ALL", {}}, {"LC_TIME", {}}, {"LANG", {}}};
};

class UserLocale : public LocaleEnvironment, public testing::WithParamInterface<LocaleCase> {};

TEST_P(UserLocale, ReadsFormatsAndNames) {
    const LocaleCase& c = GetParam();
    if (!installed(c.locale)) {
        GTEST_SKIP() << c.locale << " is not installed (localedef or locale-gen makes it)";
    }
    setenv("LC_TIME", c.locale, 1);
    const RegionalFormats f = RegionalFormats::fromUserLocale();
    EXPECT_EQ(f.longTime, c.longTime);
    EXPECT_EQ(f.shortDate, c.shortDate);
    EXPECT_THAT(f.weekdays[0], testing::EndsWith(c.mondayEnd));
    EXPECT_THAT(f.weekdays[6], testing::EndsWith(c.sundayEnd));
    EXPECT_EQ(f.am, c.am);
}

INSTANTIATE_TEST_SUITE_P(Locales, UserLocale, testing::ValuesIn(kLocales), harness::rowName);

TEST_F(UserLocale, UnknownLocaleFallsBackToC) {
    setenv("LC_TIME", "xx_NOWHERE.UTF-8", 1);
    const RegionalFormats f = RegionalFormats::fromUserLocale();
    EXPECT_EQ(f.longTime, "HH:mm:ss");
    EXPECT_EQ(f.shortDate, "MM/dd/yy");
    EXPECT_EQ(f.weekdays[0], "Monday");
}

// What users of one locale see on the clock, and a few texts they would type for a time.
struct TypedTimesCase {
    const char* name;
    const char* locale;
    std::vector<std::pair<std::string, int>> typed;  // the text and its second of the day
};

void PrintTo(const TypedTimesCase& c, std::ostream* os) {
    *os << c.locale;
}

class TimesTypedBack : public LocaleEnvironment,
                       public testing::WithParamInterface<TypedTimesCase> {
  protected:
    void SetUp() override {
        LocaleEnvironment::SetUp();
        if (!installed(GetParam().locale)) {
            GTEST_SKIP() << GetParam().locale
                         << " is not installed; script/setup test generates it with localedef";
        }
        setenv("LC_TIME", GetParam().locale, 1);
        dt_.emplace(clock_, RegionalFormats::fromUserLocale());
    }

    // The value the text reads as; nothing when it reads as no date or time.
    std::optional<DateValue> read(const std::string& text) const {
        try {
            return dt_->fromText(text);
        } catch (const Failure&) {
            return std::nullopt;
        }
    }

    FakeClock clock_;
    std::optional<DateTime> dt_;
};

DateValue dayAndTime(int year, int month, int day, int second) {
    return static_cast<double>(dayNumber(year, month, day)) + second / 86400.0;
}

TEST_P(TimesTypedBack, WhatTheDialsShowReadsBack) {
    const int seconds[] = {0,
                           1,
                           7 * 3600 + 30 * 60,
                           12 * 3600,
                           12 * 3600 + 11 * 60 + 10,
                           13 * 3600 + 5 * 60 + 9,
                           23 * 3600 + 59 * 60 + 59};
    for (const int second : seconds) {
        const DateValue time = dayAndTime(1899, 12, 30, second);
        const std::string shown = dt_->toText(time);
        EXPECT_EQ(read(shown), time) << '"' << shown << "\" at second " << second;
    }
    // The date dial, and a date with a time as a user may type it after what the dials show.
    for (const DateValue date : {dayAndTime(2026, 12, 10, 0), dayAndTime(2010, 11, 12, 0),
                                 dayAndTime(2010, 11, 12, 12 * 3600 + 11 * 60 + 10)}) {
        const std::string shown = dt_->toText(date);
        EXPECT_EQ(read(shown), date) << '"' << shown << '"';
    }
}

TEST_P(TimesTypedBack, TypedTimesRead) {
    EXPECT_EQ(read("12:00:00"), 0.5) << "the stored alarm text is noon everywhere";
    for (const auto& [text, second] : GetParam().typed) {
        EXPECT_EQ(read(text), dayAndTime(1899, 12, 30, second)) << '"' << text << '"';
    }
}

constexpr int kHalfPastSeven = 7 * 3600 + 30 * 60;
constexpr int kEvening = 19 * 3600 + 5 * 60;

const TypedTimesCase kTypedTimes[] = {
    {"Finnish",
     "fi_FI.UTF-8",
     {{"7.30", kHalfPastSeven},
      {"07.30.00", kHalfPastSeven},
      {"12.11.10", 12 * 3600 + 11 * 60 + 10},
      {"7:30", kHalfPastSeven}}},
    {"SwedishFinnish", "sv_FI.UTF-8", {{"7.30", kHalfPastSeven}, {"19.05.00", kEvening}}},
    // A 24-hour clock with ':' and the Buddhist era only in dates.
    {"Thai", "th_TH.UTF-8", {{"7:30", kHalfPastSeven}, {"19:05:00", kEvening}}},
    // A 24-hour clock with unit marks; a designator, where typed, comes first.
    {"Korean",
     "ko_KR.UTF-8",
     {{"7시 30분", kHalfPastSeven},
      {"19시 05분 00초", kEvening},
      {"오후 7시 5분", kEvening},
      {"오후 7:05", kEvening},
      {"7:30", kHalfPastSeven}}},
    {"AmericanEnglish",
     "en_US.UTF-8",
     {{"7:05 PM", kEvening}, {"07:30:00 AM", kHalfPastSeven}, {"19:05", kEvening}}},
    {"German", "de_DE.UTF-8", {{"7:30", kHalfPastSeven}, {"19:05:00", kEvening}}},
    {"Russian", "ru_RU.UTF-8", {{"7:30", kHalfPastSeven}, {"19:05:00", kEvening}}},
};

INSTANTIATE_TEST_SUITE_P(Locales, TimesTypedBack, testing::ValuesIn(kTypedTimes), harness::rowName);

}  // namespace
}  // namespace rt
