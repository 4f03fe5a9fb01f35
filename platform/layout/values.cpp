#include "values.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace layout::detail {

namespace {

constexpr std::size_t kMaxNameBytes = 40;

bool isDigit(unsigned char b) {
    return b >= '0' && b <= '9';
}
bool isHexDigit(unsigned char b) {
    return isDigit(b) || (b >= 'a' && b <= 'f') || (b >= 'A' && b <= 'F');
}
bool isNameByte(unsigned char b) {
    const bool ascii = isDigit(b) || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_';
    const bool cyrillic = b >= 0xC0 || b == 0xA8 || b == 0xB8;  // А..я, Ё, ё
    return ascii || cyrillic;
}

}  // namespace

const std::string& Args::word(std::size_t i) const {
    if (tokens_[i].quoted) {
        site_.fail("expected a plain value, not the text \"" + show(tokens_[i].value) + "\"");
    }
    return tokens_[i].value;
}

std::string Args::text(std::size_t i) const {
    if (!tokens_[i].quoted) {
        site_.fail(show(tokens_[i].value) + " must be a text in double quotes");
    }
    return fromCp1251(tokens_[i].value);
}

std::string Args::name(std::size_t i) const {
    const std::string& raw = word(i);
    bool good =
        !raw.empty() && raw.size() <= kMaxNameBytes && !isDigit(static_cast<unsigned char>(raw[0]));
    for (std::size_t k = 0; good && k < raw.size(); ++k) {
        good = isNameByte(static_cast<unsigned char>(raw[k]));
    }
    if (!good) {
        site_.fail(show(raw) + " is not a name: letters, digits and '_', at most 40, " +
                   "not beginning with a digit");
    }
    return fromCp1251(raw);
}

int Args::integer(std::size_t i, int lo, int hi) const {
    const std::string& s = word(i);
    long long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc() && end == s.data() + s.size() && (v < lo || v > hi)) {
        site_.fail(show(s) + " is out of range " + std::to_string(lo) + " to " +
                   std::to_string(hi));
    }
    if (ec == std::errc::result_out_of_range) {
        site_.fail(show(s) + " is too large a number");
    }
    if (ec != std::errc() || end != s.data() + s.size()) {
        site_.fail(show(s) + " is not a whole number");
    }
    return static_cast<int>(v);
}

bool Args::yesNo(std::size_t i) const {
    const std::string& s = word(i);
    if (s != "yes" && s != "no") {
        site_.fail("expected yes or no, not " + show(s));
    }
    return s == "yes";
}

Colour Args::colour(std::size_t i) const {
    const std::string& s = word(i);
    const bool shaped = s.size() == 10 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    bool hex = shaped;
    for (std::size_t k = 2; hex && k < s.size(); ++k) {
        hex = isHexDigit(static_cast<unsigned char>(s[k]));
    }
    if (!hex) {
        site_.fail(show(s) + " is not a colour: write 0x and eight hex digits");
    }
    std::uint32_t v = 0;
    std::from_chars(s.data() + 2, s.data() + s.size(), v, 16);
    const std::uint32_t top = v >> 24;
    if (top == 0x80 ? (v & 0x00FFFF00) != 0 : top != 0) {
        site_.fail(show(s) + " is neither 0x00BBGGRR nor a system colour 0x800000nn");
    }
    return Colour{v};
}

// A picture lies beside the layout file: no absolute paths, no way out of the folder.
std::string Args::picture(std::size_t i) const {
    const std::string name = text(i);
    bool escapes =
        name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos;
    std::size_t start = 0;
    while (!escapes && start <= name.size()) {
        const std::size_t stop = std::min(name.find_first_of("/\\", start), name.size());
        escapes = name.compare(start, stop - start, "..") == 0;
        start = stop + 1;
    }
    if (escapes) {
        site_.fail("picture " + show(name) + " must name a file beside the layout");
    }
    return name;
}

Font Args::font() const {
    Font f;
    f.face = text(0);
    if (f.face.empty()) {
        site_.fail("a font needs a face name");
    }
    f.points = points(1);
    f.weight = integer(2, 1, 1000);
    const std::string& style = word(3);
    if (style != "italic" && style != "upright") {
        site_.fail("font style is italic or upright, not " + show(style));
    }
    f.italic = style == "italic";
    f.charset = integer(4, 0, 255);
    return f;
}

Alignment Args::alignment(std::size_t i) const {
    const std::string& s = word(i);
    if (s == "left") {
        return Alignment::Left;
    }
    if (s == "right") {
        return Alignment::Right;
    }
    if (s != "centre") {
        site_.fail("alignment is left, right or centre, not " + show(s));
    }
    return Alignment::Centre;
}

double Args::points(std::size_t i) const {
    const std::string& s = word(i);
    double v = 0;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    if (ec != std::errc() || end != s.data() + s.size()) {
        site_.fail(show(s) + " is not a font size in points");
    }
    if (!(v > 0 && v <= 2048)) {  // also turns away nan and inf
        site_.fail("font size " + show(s) + " is out of range: above 0, at most 2048");
    }
    return v;
}

}  // namespace layout::detail
