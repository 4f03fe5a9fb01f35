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

// The order in which a date pattern puts its fields, e.g. "dMy" for "dd.MM.yyyy", and the first
// separator between them ('.' there). Patterns lacking a field give day, month, year and '.'.
struct DateOrder {
    char fields[3];
    char separator;
};
DateOrder dateOrder(std::string_view pattern);

}  // namespace rt
