#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include <limits>

#include <gtest/gtest.h>

#include "date_parse.h"
#include "date_pattern.h"
#include "date_time.h"

namespace rt {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using namespace std::string_literals;

DateValue at(int year, int month, int day, int second = 0) {
    return static_cast<double>(dayNumber(year, month, day)) + second / 86400.0;
}

RegionalFormats twelveHour() {
    RegionalFormats f = RegionalFormats::russianStyle();
    f.longTime = "h:mm:ss tt";
    f.shortDate = "MM/dd/yyyy";
    f.am = "AM";
    f.pm = "PM";
    return f;
}

class RussianText : public testing::Test {
  protected:
    FakeClock clock;
    DateTime dt{clock, RegionalFormats::russianStyle()};

    int failureNumber(std::string_view text) const {
        try {
            dt.fromText(text);
        } catch (const Failure& f) {
            return f.number();
        }
        return 0;
    }
};

TEST_F(RussianText, ToText) {
    const struct {
        const char* name;
        DateValue value;
        const char* text;
    } cases[] = {
        {"Zero", 0.0, "0:00:00"},
        {"TimeAlone", 0.5, "12:00:00"},
        {"DateAlone", at(2026, 12, 10), "10.12.2026"},
        {"DateAndTime", at(2026, 12, 10, 7 * 3600 + 30 * 60 + 5), "10.12.2026 7:30:05"},
        {"JustBeforeMidnight", at(2026, 12, 10, 86399), "10.12.2026 23:59:59"},
        {"HairBeforeMidnightRoundsUp", at(2026, 12, 10) + 0.9999999, "11.12.2026"},
        {"NegativeIsAMomentBeforeDayZero", -0.25, "29.12.1899 18:00:00"},
        {"MoreThanADay", 1 + 1 / 24.0, "31.12.1899 1:00:00"},
        {"FirstDay", at(100, 1, 1), "01.01.0100"},
        {"LastSecond", at(9999, 12, 31, 86399), "31.12.9999 23:59:59"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dt.toText(c.value), c.text);
    }
}

TEST_F(RussianText, ToTextOverflows) {
    for (const double bad :
         {kNaN, kInf, -kInf, 1e10, -1e10, at(9999, 12, 31) + 1, at(100, 1, 1) - 1e-3}) {
        try {
            dt.toText(bad);
            ADD_FAILURE() << bad;
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), kOverflow) << bad;
        }
    }
}

TEST_F(RussianText, Join) {
    EXPECT_EQ(dt.join(at(2026, 12, 10, 3600), " - ", 42), "10.12.2026 1:00:00 - 42");
    EXPECT_EQ(dt.join(0.0, "", -7), "0:00:00-7");
}

TEST(FormatByPattern, Letters) {
    const DateFields morning{2007, 3, 5, 0, 7, 9};
    const DateFields afternoon{2026, 12, 10, 13, 45, 30};
    const struct {
        const char* name;
        const char* pattern;
        DateFields fields;
        const char* am;
        const char* text;
    } cases[] = {
        {"NoLeadingZeros", "d.M.yy H:m:s", morning, "", "5.3.07 0:7:9"},
        {"LeadingZeros", "dd.MM.yyyy HH:mm:ss", morning, "", "05.03.2007 00:07:09"},
        {"TwelveAtMidnight", "h:mm tt", morning, "AM", "12:07 AM"},
        {"AfternoonTwelveHour", "hh:mm:ss tt", afternoon, "AM", "01:45:30 PM"},
        {"EmptyDesignatorTakesItsSpace", "h:mm tt", morning, "", "12:07"},
        {"EmptyLeadingDesignator", "tt h:mm", morning, "", "12:07"},
        {"QuotedLetters", "H'h'mm 'at' d", afternoon, "", "13h45 at 10"},
        {"DoubledQuote", "H 'o''clock'", afternoon, "", "13 o'clock"},
        {"OtherCharactersStand", "yyyy/MM/dd, %! H", afternoon, "", "2026/12/10, %! 13"},
        {"ShortYearKeepsFourDigits", "yyyy", {100, 1, 1, 0, 0, 0}, "", "0100"},
        {"UnclosedQuote", "H 'rest", afternoon, "", "13 rest"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string pm = *c.am ? "PM" : "";
        EXPECT_EQ(formatByPattern(c.pattern, c.fields, c.am, pm), c.text);
    }
}

TEST_F(RussianText, FromTextAccepts) {
    const struct {
        const char* name;
        std::string text;
        DateValue value;
    } cases[] = {
        {"Noon", "12:00:00", 0.5},
        {"HoursAndMinutes", "7:30", 27000 / 86400.0},
        {"SurroundingSpaces", " 7:30:05 ", 27005 / 86400.0},
        {"Tabs", "\t7:30\t", 27000 / 86400.0},
        {"Midnight", "0:00:00", 0.0},
        {"LastSecond", "23:59:59", 86399 / 86400.0},
        {"LeadingZeroHour", "07:05", 25500 / 86400.0},
        {"SingleDigitMinute", "7:5:1", 25501 / 86400.0},
        {"Date", "10.12.2026", at(2026, 12, 10)},
        {"DateSlashes", "10/12/2026", at(2026, 12, 10)},
        {"DateDashes", "1-2-2026", at(2026, 2, 1)},
        {"ShortYearThisCentury", "10.12.29", at(2029, 12, 10)},
        {"ShortYearLastCentury", "1.1.30", at(1930, 1, 1)},
        {"LeapDay", "29.02.2024", at(2024, 2, 29)},
        {"LeapCentury", "29.02.2000", at(2000, 2, 29)},
        {"DateAndTime", "10.12.2026 7:30", at(2026, 12, 10, 27000)},
        {"DateSpacesTime", " 10.12.2026   23:59:59 ", at(2026, 12, 10, 86399)},
        {"DayZero", "30.12.1899", 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dt.fromText(c.text), c.value);
    }
}

TEST_F(RussianText, FromTextRejects) {
    const std::string cases[] = {
        "",
        "   ",
        "\t",
        "abc",
        "25:00",
        "24:00",
        "7:61",
        "12:00:60",
        "31.02.2026",
        "29.02.2023",
        "29.02.1900",
        "32.01.2026",
        "0.01.2026",
        "10.13.2026",
        "10.00.2026",
        "10.12",
        "10.12.202",
        "10.12.20260",
        "10.12.0099",
        "10.12/2026",
        "10.12.2026x",
        "10.12.2026T7:30",
        "10.12.2026 25:00",
        "7:30x",
        "-1:00",
        "+7:30",
        "7:300",
        "007:30",
        "7:30:",
        ":30",
        "7:",
        "7",
        "7::30",
        "7:30:05:01",
        "7 :30",
        "7:30 PM",
        "1e3",
        "7:30\0"s,
        "\0"s,
        "\xff"
        "7:30",
        "7:30\xc3",
        "７:30",
    };
    for (const auto& text : cases) {
        EXPECT_EQ(failureNumber(text), kTypeMismatch) << '"' << quoteForMessage(text) << '"';
    }
}

TEST_F(RussianText, FailureNamesTheText) {
    try {
        dt.fromText("25:00");
        FAIL();
    } catch (const Failure& f) {
        EXPECT_STREQ(f.what(), "Type mismatch: \"25:00\" is not a date or time");
    }
}

TEST(QuoteForMessage, ShowsBadBytesAndCutsLongText) {
    EXPECT_EQ(quoteForMessage("7:30\xff"), "7:30\\xFF");
    EXPECT_EQ(quoteForMessage("a\0b\n"s), "a\\x00b\\x0A");
    EXPECT_EQ(quoteForMessage("среда"), "среда");
    EXPECT_EQ(quoteForMessage("\xc0\xaf"), "\\xC0\\xAF");           // overlong '/'
    EXPECT_EQ(quoteForMessage("\xed\xa0\x80"), "\\xED\\xA0\\x80");  // a surrogate
    EXPECT_EQ(quoteForMessage("\xd1"), "\\xD1");                    // cut-off sequence
    EXPECT_EQ(quoteForMessage(std::string(100, 'a')), std::string(40, 'a') + "...");
}

class TwelveHourText : public testing::Test {
  protected:
    FakeClock clock;
    DateTime dt{clock, twelveHour()};
};

TEST_F(TwelveHourText, Designators) {
    const struct {
        const char* text;
        DateValue value;
    } cases[] = {
        {"7:30 PM", 70200 / 86400.0},
        {"7:30PM", 70200 / 86400.0},
        {"7:30 pm", 70200 / 86400.0},
        {"7:30:15 am", 27015 / 86400.0},
        {"12:00 AM", 0.0},
        {"12:30:15 am", 1815 / 86400.0},
        {"12:00 PM", 0.5},
        {"0:30", 1800 / 86400.0},
        {"19:30", 70200 / 86400.0},
        {"12/10/2026 7:30 PM", at(2026, 12, 10, 70200)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(dt.fromText(c.text), c.value);
    }
    EXPECT_EQ(dt.toText(at(2026, 12, 10, 70200)), "12/10/2026 7:30:00 PM");
}

TEST_F(TwelveHourText, BadDesignatorsFail) {
    for (const char* text : {"13:00 PM", "0:30 AM", "7:30 XM", "7:30 P", "7:30 PMx", "PM 7:30"}) {
        EXPECT_THROW(dt.fromText(text), Failure) << text;
    }
}

// Random texts built from the characters the reader cares about: it must either fail with a type
// mismatch or give a value that prints and reads back to itself.
TEST(FromTextRobustness, RandomTextsFailCleanlyOrRoundTrip) {
    const std::string alphabet = "0123456789::..//-- \tAPMapm\xff\xd1\x80x"s + '\0';
    std::mt19937 random(12345);
    FakeClock clock;
    for (const RegionalFormats& formats : {RegionalFormats::russianStyle(), twelveHour()}) {
        const DateTime dt(clock, formats);
        for (int i = 0; i < 50000; ++i) {
            std::string text(random() % 24, ' ');
            for (char& c : text) {
                c = alphabet[random() % alphabet.size()];
            }
            try {
                const DateValue value = dt.fromText(text);
                ASSERT_EQ(dt.fromText(dt.toText(value)), value) << quoteForMessage(text);
            } catch (const Failure& f) {
                ASSERT_EQ(f.number(), kTypeMismatch) << quoteForMessage(text);
            }
        }
    }
}

TEST(DateOrder, TakenFromThePattern) {
    const struct {
        const char* pattern;
        std::string order;
        char separator;
    } cases[] = {
        {"dd.MM.yyyy", "dMy", '.'},  {"MM/dd/yy", "Mdy", '/'}, {"yyyy-MM-dd", "yMd", '-'},
        {"'d'yyyy/M/d", "yMd", '/'}, {"HH:mm", "dMy", '.'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        const DateOrder order = dateOrder(c.pattern);
        EXPECT_EQ(std::string(order.fields, 3), c.order);
        EXPECT_EQ(order.separator, c.separator);
    }
}

}  // namespace
}  // namespace rt
