#include "date_pattern.h"

#include <cstring>

namespace rt {
namespace {

bool isPatternLetter(char c) {
    return c != '\0' && std::strchr("dMyHhmst", c) != nullptr;
}

void appendNumber(std::string& out, std::int64_t value, int minDigits) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < minDigits) {
        out.append(minDigits - digits.size(), '0');
    }
    out += digits;
}

void appendDesignator(std::string& out, std::string_view designator) {
    if (!designator.empty()) {
        out += designator;
    } else if (!out.empty() && out.back() == ' ') {
        // "h:mm tt" with no designators must not end in a stray space.
        out.pop_back();
    }
}

void appendField(std::string& out, char letter, std::size_t count, const DateFields& f,
                 std::string_view am, std::string_view pm) {
    const int width = count >= 2 ? 2 : 1;
    switch (letter) {
        case 'd':
            appendNumber(out, f.day, width);
            break;
        case 'M':
            appendNumber(out, f.month, width);
            break;
        case 'y':
            if (count >= 3) {
                appendNumber(out, f.year, 4);
            } else {
                appendNumber(out, f.year % 100, width);
            }
            break;
        case 'H':
            appendNumber(out, f.hour, width);
            break;
        case 'h':
            appendNumber(out, f.hour % 12 == 0 ? 12 : f.hour % 12, width);
            break;
        case 'm':
            appendNumber(out, f.minute, width);
            break;
        case 's':
            appendNumber(out, f.second, width);
            break;
        case 't':
            appendDesignator(out, f.hour < 12 ? am : pm);
            break;
    }
}

// Copies quoted text from pattern[i] (the opening quote) and returns the index after it.
std::size_t appendQuoted(std::string& out, std::string_view pattern, std::size_t i) {
    ++i;
    while (i < pattern.size()) {
        if (pattern[i] != '\'') {
            out += pattern[i++];
        } else if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
            out += '\'';
            i += 2;
        } else {
            return i + 1;
        }
    }
    return i;
}

// The index after the run of the letter at pattern[i].
std::size_t runEnd(std::string_view pattern, std::size_t i) {
    const char letter = pattern[i];
    while (i < pattern.size() && pattern[i] == letter) {
        ++i;
    }
    return i;
}

void trimOuterBlanks(std::string& mark) {
    mark.erase(0, mark.find_first_not_of(' '));
    mark.erase(mark.find_last_not_of(' ') + 1);
}

}  // namespace

std::string formatByPattern(std::string_view pattern, const DateFields& fields, std::string_view am,
                            std::string_view pm) {
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            i = appendQuoted(out, pattern, i);
        } else if (isPatternLetter(c)) {
            const std::size_t end = runEnd(pattern, i);
            const std::size_t before = out.size();
            appendField(out, c, end - i, fields, am, pm);
            i = end;
            // A leading "tt " with no designator: drop the space after it instead.
            if (c == 't' && before == 0 && out.empty() && i < pattern.size() && pattern[i] == ' ') {
                ++i;
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

PatternShape patternShape(std::string_view pattern, std::string_view letters) {
    PatternShape shape;
    std::string* mark = &shape.marks[0];
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            i = appendQuoted(*mark, pattern, i);
            continue;
        }
        if (!isPatternLetter(c)) {
            *mark += c;
            ++i;
            continue;
        }
        i = runEnd(pattern, i);
        const char field = c == 'h' ? 'H' : c;
        if (c == 't') {
            shape.designatorFirst = shape.designatorFirst || shape.fields.empty();
        } else if (letters.find(field) != std::string_view::npos &&
                   shape.fields.find(field) == std::string::npos && shape.fields.size() < 3) {
            shape.fields += field;
            mark = &shape.marks[shape.fields.size()];
        }
    }
    trimOuterBlanks(shape.marks[0]);
    trimOuterBlanks(shape.marks[shape.fields.size()]);
    return shape;
}

}  // namespace rt
