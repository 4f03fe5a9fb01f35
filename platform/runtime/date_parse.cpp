#include "date_parse.h"

#include <cstdint>
#include <cstring>

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

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
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

// An optional designator after the time. The longer one is tried first in case one designator
// begins the other.
Half readDesignator(Cursor& c, const RegionalFormats& f) {
    Cursor at = c;
    while (isBlank(at.peek())) {
        ++at.pos;
    }
    const bool amFirst = f.am.size() >= f.pm.size();
    const std::string_view first = amFirst ? f.am : f.pm;
    const std::string_view second = amFirst ? f.pm : f.am;
    Half half = Half::kNone;
    if (takeWord(at, first)) {
        half = amFirst ? Half::kAm : Half::kPm;
    } else if (takeWord(at, second)) {
        half = amFirst ? Half::kPm : Half::kAm;
    }
    if (half != Half::kNone) {
        c = at;
    }
    return half;
}

// H:mm or H:mm:ss with an optional designator; gives the second of the day.
std::optional<std::int64_t> readTime(Cursor& c, const RegionalFormats& f) {
    Cursor at = c;
    int hour = 0, minute = 0, second = 0;
    if (!readTimeField(at, hour) || !at.take(':') || !readTimeField(at, minute)) {
        return std::nullopt;
    }
    if (at.take(':') && !readTimeField(at, second)) {
        return std::nullopt;
    }
    const Half half = readDesignator(at, f);
    if (half != Half::kNone) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (half == Half::kPm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    c = at;
    return hour * 3600 + minute * 60 + second;
}

bool isDateSeparator(char c, char patternSeparator) {
    return c != '\0' && (c == patternSeparator || std::strchr("./-", c) != nullptr);
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

// Three fields in the short date's order, one separator used twice; gives the day number.
std::optional<std::int64_t> readDate(Cursor& c, const RegionalFormats& f) {
    const DateOrder order = dateOrder(f.shortDate);
    Cursor at = c;
    int day = 0, month = 0, year = 0;
    char separator = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            const char s = at.peek();
            if (!isDateSeparator(s, order.separator) || (i == 2 && s != separator)) {
                return std::nullopt;
            }
            separator = s;
            ++at.pos;
        }
        int value = 0, digits = 0;
        if (!readNumber(at, value, digits) ||
            !placeField(order.fields[i], value, digits, day, month, year)) {
            return std::nullopt;
        }
    }
    if (!validDate(year, month, day)) {
        return std::nullopt;
    }
    c = at;
    return dayNumber(year, month, day);
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

std::optional<DateValue> parseDateText(std::string_view text, const RegionalFormats& formats) {
    Cursor c{trimBlanks(text)};
    if (c.atEnd()) {
        return std::nullopt;
    }
    if (const auto day = readDate(c, formats)) {
        if (c.atEnd()) {
            return makeValue(*day, 0);
        }
        if (!isBlank(c.peek())) {
            return std::nullopt;
        }
        while (isBlank(c.peek())) {
            ++c.pos;
        }
        const auto second = readTime(c, formats);
        if (!second || !c.atEnd()) {
            return std::nullopt;
        }
        return makeValue(*day, *second);
    }
    const auto second = readTime(c, formats);
    if (!second || !c.atEnd()) {
        return std::nullopt;
    }
    return makeValue(0, *second);
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
