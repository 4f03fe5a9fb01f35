#include "date_parse.h"

#include <cstdint>

#include "date_pattern.h"
#include "date_value.h"

namespace rt {
namespace {

// A read position in the text. Readers take a copy and hand it back only when they succeed, so a
// failed attempt leaves nothing consumed.
struct Cursor {
    std::string_view text;
    std::size_t pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    char peek() const { return atEnd() ? '\0' : text[pos]; }
    bool take(char c) {
        if (atEnd() || text[pos] != c) {
            return false;
        }
        ++pos;
        return true;
    }
};

// No date or time is written in more than a few dozen characters. A longer text is no date, and
// it fails before it is read, so that a huge text in the alarm box costs nothing per tick.
constexpr std::size_t kMaxTextUnits = 256;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void skipBlanks(Cursor& c) {
    while (isBlank(c.peek())) {
        ++c.pos;
    }
}

// Whether `text` holds more than `limit` UTF-16 code units; it counts no further than that.
bool longerThan(std::string_view text, std::size_t limit) {
    std::size_t units = 0;
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        // A continuation byte adds nothing; a four-byte sequence needs a surrogate pair.
        units += (b & 0xC0) == 0x80 ? 0 : b >= 0xF0 && b <= 0xF4 ? 2 : 1;
        if (units > limit) {
            return true;
        }
    }
    return false;
}

// Reads a run of digits; `digits` is how many there were. Fails on none and on more than four.
bool readNumber(Cursor& c, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (isDigit(c.peek())) {
        if (++digits > 4) {
            return false;
        }
        value = value * 10 + (c.peek() - '0');
        ++c.pos;
    }
    return digits > 0;
}

bool readTimeField(Cursor& c, int& value) {
    int digits = 0;
    return readNumber(c, value, digits) && digits <= 2;
}

// Takes the text of a pattern's mark: a blank in the mark stands for any run of blanks, none
// included, and every other character must be there as it is.
bool takeMark(Cursor& c, std::string_view mark) {
    Cursor at = c;
    for (const char m : mark) {
        if (m == ' ') {
            skipBlanks(at);
        } else if (!at.take(m)) {
            return false;
        }
    }
    c = at;
    return true;
}

// A mark with a letter in it names the field before it ("분" in "mm분 ss초"), where one of
// punctuation only parts two fields (":" in "mm:ss").
bool namesField(std::string_view mark) {
    for (const char m : mark) {
        const auto b = static_cast<unsigned char>(m);
        if (b >= 0x80 || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z')) {
            return true;
        }
    }
    return false;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool takeWord(Cursor& c, std::string_view word) {
    if (word.empty() || c.text.size() - c.pos < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (asciiLower(c.text[c.pos + i]) != asciiLower(word[i])) {
            return false;
        }
    }
    c.pos += word.size();
    return true;
}

enum class Half { kNone, kAm, kPm };

// A designator right at the cursor. The longer one is tried first in case one designator begins
// the other.
Half takeDesignator(Cursor& c, const RegionalFormats& f) {
    const bool amFirst = f.am.size() >= f.pm.size();
    if (takeWord(c, amFirst ? f.am : f.pm)) {
        return amFirst ? Half::kAm : Half::kPm;
    }
    if (takeWord(c, amFirst ? f.pm : f.am)) {
        return amFirst ? Half::kPm : Half::kAm;
    }
    return Half::kNone;
}

// An optional designator after the time, blanks before it allowed.
Half readTrailingDesignator(Cursor& c, const RegionalFormats& f) {
    Cursor at = c;
    skipBlanks(at);
    const Half half = takeDesignator(at, f);
    if (half != Half::kNone) {
        c = at;
    }
    return half;
}

// An optional designator before the time, blanks after it allowed.
Half readLeadingDesignator(Cursor& c, const RegionalFormats& f) {
    const Half half = takeDesignator(c, f);
    skipBlanks(c);
    return half;
}

// Hours and minutes, and seconds where given, in the shape's order and marks. The marks before
// and after the whole are optional, as is the seconds' part; the minutes keep a mark that names
// them.
bool readClock(Cursor& c, const PatternShape& shape, int& hour, int& minute, int& second) {
    Cursor at = c;
    takeMark(at, shape.marks[0]);
    if (!readTimeField(at, hour) || !takeMark(at, shape.marks[1]) || !readTimeField(at, minute)) {
        return false;
    }
    second = 0;
    Cursor withSeconds = at;
    const bool hasSeconds = shape.fields.size() == 3;
    if (hasSeconds && takeMark(withSeconds, shape.marks[2]) && readTimeField(withSeconds, second)) {
        at = withSeconds;
        takeMark(at, shape.marks[3]);
    } else if (!hasSeconds || namesField(shape.marks[2])) {
        takeMark(at, shape.marks[2]);
    }
    c = at;
    return true;
}

std::optional<std::int64_t> secondOfDay(int hour, int minute, int second, Half half) {
    if (half != Half::kNone) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (half == Half::kPm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return hour * 3600 + minute * 60 + second;
}

// A time in one shape, with its designator, that runs to the end of the text.
std::optional<std::int64_t> readTimeToEnd(Cursor c, const PatternShape& shape,
                                          const RegionalFormats& f) {
    Half half = shape.designatorFirst ? readLeadingDesignator(c, f) : Half::kNone;
    int hour = 0, minute = 0, second = 0;
    if (!readClock(c, shape, hour, minute, second)) {
        return std::nullopt;
    }
    if (half == Half::kNone) {
        half = readTrailingDesignator(c, f);
    }
    if (!c.atEnd()) {
        return std::nullopt;
    }
    return secondOfDay(hour, minute, second, half);
}

// Assigns a date field read by role; two-digit years pick the nearest century as users expect.
bool placeField(char role, int value, int digits, int& day, int& month, int& year) {
    switch (role) {
        case 'd':
            day = value;
            return digits <= 2;
        case 'M':
            month = value;
            return digits <= 2;
        default:
            if (digits == 2) {
                year = value < 30 ? 2000 + value : 1900 + value;
                return true;
            }
            year = value;
            return digits == 4 && value >= 100;
    }
}

bool validDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] && (month != 2 || day <= 28 || leap);
}

// Day, month and year in the shape's order and marks, the outer marks optional; gives the day
// number.
std::optional<std::int64_t> readDate(Cursor& c, const PatternShape& shape) {
    Cursor at = c;
    takeMark(at, shape.marks[0]);
    int day = 0, month = 0, year = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        int value = 0, digits = 0;
        if ((i > 0 && !takeMark(at, shape.marks[i])) || !readNumber(at, value, digits) ||
            !placeField(shape.fields[i], value, digits, day, month, year)) {
            return std::nullopt;
        }
    }
    takeMark(at, shape.marks[3]);
    if (!validDate(year, month, day)) {
        return std::nullopt;
    }
    c = at;
    return dayNumber(year, month, day);
}

}  // namespace

DateTextShapes dateTextShapes(const RegionalFormats& f) {
    DateTextShapes s;
    s.times[1] = PatternShape{"Hms", {"", ":", ":", ""}, f.designatorFirst};
    s.times[0] = patternShape(f.longTime, "Hms");
    if (s.times[0].fields != "Hms" && s.times[0].fields != "Hm") {
        s.times[0] = s.times[1];
    }
    s.times[0].designatorFirst = s.times[0].designatorFirst || f.designatorFirst;
    s.dates[0] = patternShape(f.shortDate, "dMy");
    if (s.dates[0].fields.size() != 3) {
        s.dates[0] = PatternShape{"dMy", {"", ".", ".", ""}};
    }
    const char* separators[] = {".", "/", "-"};
    for (int i = 0; i < 3; ++i) {
        s.dates[i + 1] = PatternShape{s.dates[0].fields, {"", separators[i], separators[i], ""}};
    }
    return s;
}

namespace {

std::optional<std::int64_t> readTime(const Cursor& c, const DateTextShapes& s,
                                     const RegionalFormats& f) {
    for (const PatternShape& shape : s.times) {
        if (const auto second = readTimeToEnd(c, shape, f)) {
            return second;
        }
    }
    return std::nullopt;
}

// A date alone, or a date, blanks and a time.
std::optional<DateValue> readDateAndTime(Cursor c, const PatternShape& date,
                                         const DateTextShapes& s, const RegionalFormats& f) {
    const auto day = readDate(c, date);
    if (!day) {
        return std::nullopt;
    }
    if (c.atEnd()) {
        return makeValue(*day, 0);
    }
    if (!isBlank(c.peek())) {
        return std::nullopt;
    }
    skipBlanks(c);
    const auto second = readTime(c, s, f);
    return second ? std::optional(makeValue(*day, *second)) : std::nullopt;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t n = b < 0x80                ? 1
                    : b >= 0xC2 && b < 0xE0 ? 2
                    : b >= 0xE0 && b < 0xF0 ? 3
                    : b >= 0xF0 && b < 0xF5 ? 4
                                            : 0;
    if (n == 0 || i + n > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const auto b1 = static_cast<unsigned char>(n > 1 ? text[i + 1] : 0);
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0) || (b == 0xF0 && b1 < 0x90) ||
        (b == 0xF4 && b1 >= 0x90)) {
        return 0;
    }
    return n;
}

}  // namespace

std::optional<DateValue> parseDateText(std::string_view text, const RegionalFormats& formats,
                                       const DateTextShapes& shapes) {
    if (longerThan(text, kMaxTextUnits)) {
        return std::nullopt;
    }
    const Cursor c{trimBlanks(text)};
    if (c.atEnd()) {
        return std::nullopt;
    }
    // A time comes first: a Finnish clock shows "12.11.10" at 12:11:10, which also reads as a date.
    if (const auto second = readTime(c, shapes, formats)) {
        return makeValue(0, *second);
    }
    for (const PatternShape& date : shapes.dates) {
        if (const auto value = readDateAndTime(c, date, shapes, formats)) {
            return value;
        }
    }
    return std::nullopt;
}

std::string quoteForMessage(std::string_view text) {
    constexpr std::size_t kMaxShown = 40;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < text.size(); ++shown) {
        if (shown == kMaxShown) {
            return out + "...";
        }
        const std::size_t n = utf8Length(text, i);
        const auto b = static_cast<unsigned char>(text[i]);
        if (n == 0 || b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

}  // namespace rt
