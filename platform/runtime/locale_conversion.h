#pragma once

#include <string>
#include <string_view>

namespace rt {

// A strftime format such as "%H:%M:%S" in our pattern letters ("HH:mm:ss"). Conversions with no
// counterpart are dropped; literal letters that would read as pattern letters are quoted.
std::string patternFromStrftime(std::string_view format);

// `text` in the character set `codeset` as UTF-8; bytes that cannot be converted become '?'.
std::string toUtf8(std::string_view text, const std::string& codeset);

}  // namespace rt
