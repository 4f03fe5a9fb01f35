#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <limits>
#include <optional>

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

// The Russian set with another clock and date.
RegionalFormats styled(const char* longTime, const char* shortDate, const char* am = "",
                       const char* pm = "", bool designatorFirst = false) {
    RegionalFormats f = RegionalFormats::russianStyle();
    f.longTime = longTime;
    f.shortDate = shortDate;
    f.am = am;
    f.pm = pm;
    f.designatorFirst = designatorFirst;
    return f;
}

RegionalFormats twelveHour() {
    return styled("h:mm:ss tt", "MM/dd/yyyy", "AM", "PM");
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

// Formats whose clock parts the fields with other marks than ':'.
RegionalFormats finnishStyle() {
    return styled("HH.mm.ss", "dd.MM.yyyy");
}

RegionalFormats koreanStyle() {
    return styled("HH시 mm분 ss초", "yyyy년 MM월 dd일", "오전", "오후", true);
}

std::optional<DateValue> read(const DateTime& dt, std::string_view text) {
    try {
        return dt.fromText(text);
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), kTypeMismatch) << text;
        return std::nullopt;
    }
}

// A text, the formats that read it and what it reads as; nothing where it fails.
struct Reading {
    const char* name;
    const DateTime& dt;
    std::string text;
    std::optional<DateValue> value;
};

void expectReadings(const std::vector<Reading>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read(c.dt, c.text), c.value);
    }
}

constexpr int kHalfPastSeven = 7 * 3600 + 30 * 60;
constexpr int kEvening = 19 * 3600 + 5 * 60;

TEST(OwnMarks, ReadTheUsersClockAndColons) {
    FakeClock clock;
    const DateTime finnish(clock, finnishStyle());
    const DateTime korean(clock, koreanStyle());
    expectReadings({
        {"FinnishShort", finnish, "7.30", at(1899, 12, 30, kHalfPastSeven)},
        {"FinnishAsShown", finnish, "07.30.00", at(1899, 12, 30, kHalfPastSeven)},
        {"FinnishTimeBeforeDate", finnish, "12.11.10", at(1899, 12, 30, 43870)},
        {"FinnishColons", finnish, "12:00:00", 0.5},
        {"FinnishDate", finnish, "10.12.2026", at(2026, 12, 10)},
        {"FinnishDateAndTime", finnish, "12.11.2010 12.11.10", at(2010, 11, 12, 43870)},
        {"FinnishDateAndColons", finnish, "12.11.2010 7:30", at(2010, 11, 12, kHalfPastSeven)},
        {"FinnishMixedMarks", finnish, "7.30:00", std::nullopt},
        {"FinnishMarkWithoutSeconds", finnish, "7.30.", std::nullopt},
        {"FinnishSpaceBeforeMark", finnish, "7 .30", std::nullopt},
        {"KoreanAsShown", korean, "19시 05분 00초", at(1899, 12, 30, kEvening)},
        {"KoreanNoSeconds", korean, "19시 5분", at(1899, 12, 30, kEvening)},
        {"KoreanNoSpaces", korean, "19시5분", at(1899, 12, 30, kEvening)},
        {"KoreanNoLastMark", korean, "19시 05분 00", at(1899, 12, 30, kEvening)},
        {"KoreanDesignatorFirst", korean, "오후 7시 05분", at(1899, 12, 30, kEvening)},
        {"KoreanDesignatorFirstColons", korean, "오후 7:05", at(1899, 12, 30, kEvening)},
        {"KoreanDesignatorAfter", korean, "7:05 오후", at(1899, 12, 30, kEvening)},
        {"KoreanMorning", korean, "오전 12시 30분", at(1899, 12, 30, 1800)},
        {"KoreanDate", korean, "2026년 12월 10일", at(2026, 12, 10)},
        {"KoreanDateAndTime", korean, "2026년 12월 10일 19시 05분 00초",
         at(2026, 12, 10, kEvening)},
        {"KoreanDateDashes", korean, "2026-12-10", at(2026, 12, 10)},
        {"KoreanHourAlone", korean, "7시", std::nullopt},
        {"KoreanTwoDesignators", korean, "오후 7:05 오후", std::nullopt},
        {"KoreanDesignatorOnTwentyFourHours", korean, "오후 19시 05분", std::nullopt},
        {"KoreanMixedMarks", korean, "19시 05:00", std::nullopt},
    });
}

// Nothing longer than 256 UTF-16 code units is read; the box's text itself has no limit.
TEST(LongText, FailsPastTheLimitLikeAnyOtherText) {
    FakeClock clock;
    const DateTime russian(clock, RegionalFormats::russianStyle());
    const DateTime korean(clock, koreanStyle());
    const std::string noon = "12:00:00";
    // "오후" is two code units in six bytes.
    const std::string evening = "오후 7:05";
    expectReadings({
        {"PaddedTo256", russian, noon + std::string(248, ' '), 0.5},
        {"PaddedTo257", russian, noon + std::string(249, ' '), std::nullopt},
        {"LeadingPadding", russian, std::string(249, ' ') + noon, std::nullopt},
        {"TenMegabytes", russian, noon + std::string(10'000'000, ' '), std::nullopt},
        {"WideCharactersCountOnce", korean, evening + std::string(249, ' '),
         at(1899, 12, 30, kEvening)},
        {"WideCharactersPastTheLimit", korean, evening + std::string(250, ' '), std::nullopt},
    });
    try {
        russian.fromText(std::string(300, '7'));
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(std::string(f.what()),
                  "Type mismatch: \"" + std::string(40, '7') + "...\" is not a date or time");
    }
}

// Random texts built from the characters the reader cares about: it must either fail with a type
// mismatch or give a value that prints and reads back to itself.
TEST(FromTextRobustness, RandomTextsFailCleanlyOrRoundTrip) {
    const std::string alphabet = "0123456789::..//-- \tAPMapm\xff\xd1\x80x"s + '\0';
    std::mt19937 random(12345);
    FakeClock clock;
    for (const RegionalFormats& formats :
         {RegionalFormats::russianStyle(), twelveHour(), finnishStyle()}) {
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

// Marks are shown joined by '|': before the first field, between the fields, after the last.
TEST(PatternShape, FieldsAndMarks) {
    const struct {
        const char* pattern;
        const char* letters;
        std::string fields;
        std::string marks;
        bool designatorFirst;
    } cases[] = {
        {"dd.MM.yyyy", "dMy", "dMy", "|.|.|", false},
        {"MM/dd/yy", "dMy", "Mdy", "|/|/|", false},
        {"yyyy-MM-dd", "dMy", "yMd", "|-|-|", false},
        {"'d'yyyy/M/d", "dMy", "yMd", "d|/|/|", false},
        {"yyyy년 MM월 dd일", "dMy", "yMd", "|년 |월 |일", false},
        {"HH:mm", "dMy", "", ":", false},
        {"hh:mm:ss tt", "Hms", "Hms", "|:|:|", false},
        {"HH.mm.ss", "Hms", "Hms", "|.|.|", false},
        {"HH시 mm분 ss초", "Hms", "Hms", "|시 |분 |초", false},
        {"tt h:mm", "Hms", "Hm", "|:|", true},
        {"'kl.' HH.mm", "Hms", "Hm", "kl.|.|", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        const PatternShape shape = patternShape(c.pattern, c.letters);
        std::string marks = shape.marks[0];
        for (std::size_t i = 1; i <= shape.fields.size(); ++i) {
            marks += '|' + shape.marks[i];
        }
        EXPECT_EQ(shape.fields, c.fields);
        EXPECT_EQ(marks, c.marks);
        EXPECT_EQ(shape.designatorFirst, c.designatorFirst);
    }
}

}  // namespace
}  // namespace rt
