#pragma once

#include <string>
#include <string_view>

#include "layout.h"

namespace layout::detail {

// Where an error is reported.
struct Site {
    const std::string& file;
    int line;
    [[noreturn]] void fail(const std::string& message) const {
        throw LayoutError(file, line, message);
    }
};

// Bytes of the file quoted in an error message: UTF-8, short, without control characters.
std::string show(std::string_view raw);

}  // namespace layout::detail
