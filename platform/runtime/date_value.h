#pragma once

#include <cstdint>

#include "date_time.h"

namespace rt {

// A date value taken apart: the day and the whole second of that day (0..86399).
struct DayAndSecond {
    std::int64_t day;
    std::int64_t second;
};

inline constexpr std::int64_t kSecondsPerDay = 86400;

// The only way a value is built from its parts, so that one moment always gives the same bits.
DateValue makeValue(std::int64_t day, std::int64_t secondOfDay);

// The moment a value stands for, to the nearest second. Fails with kOverflow for NaN, infinity
// and values outside 1 January 100 .. 31 December 9999.
DayAndSecond splitValue(DateValue value);

// Whether a day lies inside the years that values may take.
bool dayInRange(std::int64_t day);

}  // namespace rt
