#pragma once

// Checks shared by the fuzz targets. A broken check prints what broke and the input as escaped
// bytes, then aborts, so that libFuzzer keeps the input as a crash.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void fail(const std::string& what, std::string_view input) {
    std::fprintf(stderr, "fuzz check failed: %s\ninput (%zu bytes): \"", what.c_str(),
                 input.size());
    for (const char c : input) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
            std::fputc(b, stderr);
        } else {
            std::fprintf(stderr, "\\x%02X", b);
        }
    }
    std::fprintf(stderr, "\"\n");
    std::abort();
}

inline void require(bool ok, const char* what, std::string_view input) {
    if (!ok) {
        fail(what, input);
    }
}

// Length of the well-formed UTF-8 sequence at s[i], or 0: a stray continuation byte, a cut-off
// sequence, an overlong form, a surrogate or a code point past U+10FFFF.
inline std::size_t sequenceLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80                ? 1
                          : b >= 0xC2 && b < 0xE0 ? 2
                          : b >= 0xE0 && b < 0xF0 ? 3
                          : b >= 0xF0 && b < 0xF5 ? 4
                                                  : 0;
    if (n == 0 || i + n > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const auto b1 = static_cast<unsigned char>(n > 1 ? s[i + 1] : 0);
    const bool outside = (b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0) ||
                         (b == 0xF0 && b1 < 0x90) || (b == 0xF4 && b1 >= 0x90);
    return outside ? 0 : n;
}

inline bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = sequenceLength(s, i);
        if (n == 0) {
            return false;
        }
        i += n;
    }
    return true;
}

}  // namespace fuzz
