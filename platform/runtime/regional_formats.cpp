#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "date_pattern.h"
#include "date_time.h"
#include "locale_conversion.h"

namespace rt {
namespace {

// Our pattern for one strftime conversion; empty where there is none. `bare` is set for the
// '-' and '_' flags, which ask for no leading zero.
std::string_view patternFor(char conversion, bool bare) {
    switch (conversion) {
        case 'H':
            return bare ? "H" : "HH";
        case 'k':
            return "H";
        case 'I':
            return bare ? "h" : "hh";
        case 'l':
            return "h";
        case 'M':
            return bare ? "m" : "mm";
        case 'S':
            return bare ? "s" : "ss";
        case 'p':
            return "tt";
        case 'P':
            return "tt";
        case 'd':
            return bare ? "d" : "dd";
        case 'e':
            return "d";
        case 'm':
            return bare ? "M" : "MM";
        case 'Y':
            return "yyyy";
        case 'y':
            return "yy";
        case 'T':
            return "HH:mm:ss";
        case 'R':
            return "HH:mm";
        case 'D':
            return "MM/dd/yy";
        case 'F':
            return "yyyy-MM-dd";
        case 'r':
            return "hh:mm:ss tt";
        default:
            return "";
    }
}

bool needsQuotes(std::string_view literal) {
    return literal.find_first_of("dMyHhmst'") != std::string_view::npos;
}

void flushLiteral(std::string& out, std::string& literal) {
    if (!needsQuotes(literal)) {
        out += literal;
    } else {
        out += '\'';
        for (const char c : literal) {
            out += c;
            if (c == '\'') {
                out += '\'';
            }
        }
        out += '\'';
    }
    literal.clear();
}

std::string trimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool isUtf8Codeset(const char* codeset) {
    return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0;
}

// "ru_RU.KOI8-R@mod" -> "ru_RU.UTF-8@mod".
std::string utf8Variant(const std::string& name) {
    const auto at = name.find('@');
    const std::string modifier = at == std::string::npos ? "" : name.substr(at);
    const std::string base = name.substr(0, std::min(name.find('.'), at));
    return base + ".UTF-8" + modifier;
}

// Opens `name` for LC_TIME and, so that CODESET tells how its names are encoded, LC_CTYPE.
locale_t openTimeLocale(const char* name) {
    return newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, locale_t{});
}

// The user's LC_TIME, in a UTF-8 variant where one is installed; the C locale if none works.
locale_t openUserLocale() {
    locale_t fromEnv = newlocale(LC_TIME_MASK, "", locale_t{});
    if (fromEnv == locale_t{}) {
        return openTimeLocale("C");
    }
    const std::string name = nl_langinfo_l(_NL_LOCALE_NAME(LC_TIME), fromEnv);
    freelocale(fromEnv);
    locale_t loc = openTimeLocale(name.c_str());
    if (loc == locale_t{}) {
        return openTimeLocale("C");
    }
    if (!isUtf8Codeset(nl_langinfo_l(CODESET, loc)) && name != "C" && name != "POSIX") {
        if (locale_t utf8 = openTimeLocale(utf8Variant(name).c_str())) {
            freelocale(loc);
            return utf8;
        }
    }
    return loc;
}

}  // namespace

std::string patternFromStrftime(std::string_view format) {
    std::string out;
    std::string literal;
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            literal += format[i++];
            continue;
        }
        ++i;
        bool bare = false;
        // Flags, a width and the E/O modifiers change nothing we can show, except no padding.
        while (i < format.size() && std::strchr("_-0^#", format[i]) != nullptr) {
            bare = bare || format[i] == '-' || format[i] == '_';
            ++i;
        }
        while (i < format.size() &&
               ((format[i] >= '0' && format[i] <= '9') || format[i] == 'E' || format[i] == 'O')) {
            ++i;
        }
        if (i >= format.size()) {
            break;
        }
        const char conversion = format[i++];
        if (conversion == '%') {
            literal += '%';
        } else if (conversion == 'n' || conversion == 't') {
            literal += ' ';
        } else {
            flushLiteral(out, literal);
            out += patternFor(conversion, bare);
        }
    }
    flushLiteral(out, literal);
    return trimSpaces(out);
}

std::string toUtf8(std::string_view text, const std::string& codeset) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // Every codeset a locale may use keeps ASCII as it is.
    if (ascii || isUtf8Codeset(codeset.c_str())) {
        return std::string(text);
    }
    iconv_t cd = iconv_open("UTF-8", codeset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::string ascii(text);
        for (char& c : ascii) {
            c = static_cast<unsigned char>(c) < 0x80 ? c : '?';
        }
        return ascii;
    }
    std::string out;
    std::string in(text);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or cut-off sequence: show one '?' and go on after its first byte.
            out += '?';
            ++inPtr;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

RegionalFormats RegionalFormats::fromUserLocale() {
    locale_t loc = openUserLocale();
    if (loc == locale_t{}) {
        return RegionalFormats{
            "HH:mm:ss",
            "MM/dd/yy",
            {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"},
            "AM",
            "PM"};
    }
    const std::string codeset = nl_langinfo_l(CODESET, loc);
    const auto item = [&](nl_item what) { return toUtf8(nl_langinfo_l(what, loc), codeset); };
    RegionalFormats f;
    // A format made only of conversions we cannot show would print nothing at all.
    f.longTime = patternFromStrftime(item(T_FMT));
    f.longTime = f.longTime.empty() ? "HH:mm:ss" : f.longTime;
    f.shortDate = patternFromStrftime(item(D_FMT));
    f.shortDate = f.shortDate.empty() ? "MM/dd/yy" : f.shortDate;
    // DAY_1 is Sunday; ours start on Monday.
    static constexpr nl_item kDays[] = {DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7, DAY_1};
    for (std::size_t i = 0; i < 7; ++i) {
        f.weekdays[i] = item(kDays[i]);
    }
    f.am = item(AM_STR);
    f.pm = item(PM_STR);
    // A 24-hour long time shows no designator; the 12-hour format tells where one goes.
    f.designatorFirst = patternShape(f.longTime, "Hms").designatorFirst ||
                        patternShape(patternFromStrftime(item(T_FMT_AMPM)), "Hms").designatorFirst;
    freelocale(loc);
    return f;
}

RegionalFormats RegionalFormats::russianStyle() {
    return RegionalFormats{
        "H:mm:ss",
        "dd.MM.yyyy",
        {"понедельник", "вторник", "среда", "четверг", "пятница", "суббота", "воскресенье"},
        "",
        ""};
}

}  // namespace rt
