#include "date_value.h"

#include <cmath>

namespace rt {
namespace {

// dayNumber(100, 1, 1) and dayNumber(9999, 12, 31).
constexpr std::int64_t kFirstDay = -657434;
constexpr std::int64_t kLastDay = 2958465;

[[noreturn]] void overflow() {
    throw Failure(kOverflow, "Overflow: the date value lies outside the years 100 to 9999");
}

}  // namespace

bool dayInRange(std::int64_t day) {
    return day >= kFirstDay && day <= kLastDay;
}

DateValue makeValue(std::int64_t day, std::int64_t secondOfDay) {
    return static_cast<double>(day) + static_cast<double>(secondOfDay) / 86400.0;
}

DayAndSecond splitValue(DateValue value) {
    if (!std::isfinite(value) || value < kFirstDay || value >= kLastDay + 1) {
        overflow();
    }
    const double day = std::floor(value);
    auto second = static_cast<std::int64_t>(std::round((value - day) * 86400.0));
    auto whole = static_cast<std::int64_t>(day);
    if (second >= kSecondsPerDay) {
        second -= kSecondsPerDay;
        ++whole;
    }
    if (!dayInRange(whole)) {
        overflow();
    }
    return {whole, second};
}

}  // namespace rt
