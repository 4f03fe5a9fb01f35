#include "errors.h"

#include <cstddef>

#include "cp1251.h"

namespace layout {

LayoutError::LayoutError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message),
      file_(file),
      line_(line) {}

namespace detail {

namespace {
constexpr std::size_t kShownBytes = 40;
}

std::string show(std::string_view raw) {
    std::string bytes(raw.substr(0, kShownBytes));
    for (char& c : bytes) {
        if (isControlByte(static_cast<unsigned char>(c))) {
            c = '?';
        }
    }
    std::string shown(1, '\'');
    shown += fromCp1251(bytes);
    shown += '\'';
    return raw.size() > kShownBytes ? shown + "..." : shown;
}

}  // namespace detail

}  // namespace layout
