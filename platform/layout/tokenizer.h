#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "errors.h"

namespace layout::detail {

struct Token {
    std::string value;  // raw cp1251 bytes; a text without its quotes and escapes
    bool quoted = false;
};

// Splits one line into words and texts; '#' begins a comment to the end of the line.
std::vector<Token> tokenize(const Site& site, std::string_view line);

}  // namespace layout::detail
