#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

// A moment in calendar terms, as the patterns print it.
struct DateFields {
    std::int64_t year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Prints `fields` by a pattern of d dd M MM yy yyyy H HH h hh m mm s ss tt; text in single quotes
// and every other character stand as they are ('' inside quotes is one quote).
std::string formatByPattern(std::string_view pattern, const DateFields& fields, std::string_view am,
                            std::string_view pm);

// How a pattern lays out its fields: the fields found, in the order they first come, and the
// text around them. marks[i] stands before fields[i] and marks[fields.size()] after the last;
// the marks at either end lose their outer blanks. The designator (tt) takes no place in the
// marks; `designatorFirst` tells whether it comes before every field.
struct PatternShape {
    std::string fields;
    std::string marks[4];
    bool designatorFirst = false;
};

// The shapes a typed text may take. A time: the user's long time, or hours, minutes and seconds
// parted by ':', which every locale takes. A date: the user's short date, or its fields in the
// same order parted by one of . / - used twice.
struct DateTextShapes {
    PatternShape times[2];
    PatternShape dates[4];
};

// The shape of `pattern` by the field letters in `letters` (at most three, e.g. "dMy" or "Hms");
// h counts as H. Other pattern letters are left out.
PatternShape patternShape(std::string_view pattern, std::string_view letters);

}  // namespace rt
