// Feeds arbitrary bytes to DateTime::fromText. The first byte picks the regional formats: the
// Russian set without designators, one with AM/PM, one whose clock parts its fields with '.', or
// one with unit marks and the designator first. A Failure is the expected answer to bad
// text; anything else that escapes, and any broken property of a result, aborts.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "date_time.h"
#include "fuzz_check.h"

namespace {

const std::array<std::string, 7> kWeekdays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                              "Friday", "Saturday", "Sunday"};

rt::RegionalFormats amPmFormats() {
    return rt::RegionalFormats{"h:mm:ss tt", "M/d/yyyy", kWeekdays, "AM", "PM"};
}

rt::RegionalFormats dotFormats() {
    return rt::RegionalFormats{"HH.mm.ss", "dd.MM.yyyy", kWeekdays, "", ""};
}

rt::RegionalFormats unitMarkFormats() {
    return rt::RegionalFormats{
        "HH시 mm분 ss초", "yyyy년 MM월 dd일", kWeekdays, "오전", "오후", true};
}

const rt::FakeClock& fixedClock() {
    static const rt::FakeClock clock = [] {
        rt::FakeClock c;
        c.set(2024, 2, 29, 23, 59, 59.5);
        return c;
    }();
    return clock;
}

const rt::DateTime& dateTimeFor(std::uint8_t selector) {
    static const rt::DateTime russian(fixedClock(), rt::RegionalFormats::russianStyle());
    static const rt::DateTime amPm(fixedClock(), amPmFormats());
    static const rt::DateTime dots(fixedClock(), dotFormats());
    static const rt::DateTime unitMarks(fixedClock(), unitMarkFormats());
    const rt::DateTime* all[] = {&russian, &amPm, &dots, &unitMarks};
    return *all[selector % 4];
}

// dayNumber(100, 1, 1) and one past dayNumber(9999, 12, 31): where toText can show a value.
bool inShownRange(rt::DateValue value) {
    return value >= -657434.0 && value < 2958466.0;
}

// No date can be written without one of . / - or a byte of the short date's own marks, so a
// text lacking them all held a time alone.
bool lacksDateSeparator(const rt::DateTime& dt, std::string_view text) {
    std::string marks = "./-";
    for (const char c : dt.formats().shortDate) {
        if (c != 'd' && c != 'M' && c != 'y' && c != ' ') {
            marks += c;
        }
    }
    return text.find_first_of(marks) == std::string_view::npos;
}

void checkResult(const rt::DateTime& dt, std::string_view text, rt::DateValue value) {
    fuzz::require(std::isfinite(value), "fromText gave a value that is not finite", text);
    if (lacksDateSeparator(dt, text)) {
        fuzz::require(value >= 0.0 && value < 1.0, "a time alone read outside [0, 1)", text);
    }
    if (!inShownRange(value)) {
        return;
    }
    std::string shown;
    try {
        shown = dt.toText(value);
    } catch (const std::exception& e) {
        fuzz::fail(std::string("toText threw on a value fromText gave: ") + e.what(), text);
    }
    // What the window shows must read back as the same moment.
    try {
        fuzz::require(dt.fromText(shown) == value, "toText then fromText changed the value", shown);
    } catch (const rt::Failure& e) {
        fuzz::fail(std::string("fromText rejected what toText wrote: ") + e.what(), shown);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const rt::DateTime& dt = dateTimeFor(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    rt::DateValue value = 0;
    try {
        value = dt.fromText(text);
    } catch (const rt::Failure& e) {
        fuzz::require(fuzz::isUtf8(e.what()), "a failure message is not valid UTF-8", text);
        return 0;
    }
    checkResult(dt, text, value);
    return 0;
}
