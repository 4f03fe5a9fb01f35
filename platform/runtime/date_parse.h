#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "date_time.h"

namespace rt {

DateTextShapes dateTextShapes(const RegionalFormats& formats);

// Reads what a user types: a time, a date, or a date, spaces and a time. Nothing for any other
// text; never reads past the text. `shapes` are those of `formats`.
std::optional<DateValue> parseDateText(std::string_view text, const RegionalFormats& formats,
                                       const DateTextShapes& shapes);

// The text as a message can show it: valid UTF-8 kept, other bytes as \xNN, long texts cut.
std::string quoteForMessage(std::string_view text);

}  // namespace rt
