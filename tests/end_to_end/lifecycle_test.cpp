#include <gtest/gtest.h>
#include <time.h>

#include <QImage>
#include <csignal>
#include <functional>
#include <set>
#include <vector>

#include "form14/controls.h"
#include "form14/running_clock.h"
#include "harness/table.h"
#include "harness/temp_dir.h"

namespace {

using harness::milliseconds;

// Local time as strftime gives it in the C locale, which the program's C.UTF-8 shares.
std::string localText(const char* format, time_t at) {
    tm local{};
    localtime_r(&at, &local);
    char text[64];
    return std::string(text, strftime(text, sizeof text, format, &local));
}

// The pixels of a box of the client area within its frame, where only its text is drawn.
std::vector<QRgb> within(const QImage& shot, form14::Rect box) {
    std::vector<QRgb> pixels;
    for (int y = box.y + 3; y < box.y + box.height - 3; ++y) {
        for (int x = box.x + 3; x < box.x + box.width - 3; ++x) {
            pixels.push_back(shot.pixel(x, y));
        }
    }
    return pixels;
}

// Load runs before the show: the earliest face on screen already shows today's date and
// weekday, the alarm disarmed and the stopwatch reset, so the first tick finds them there.
TEST(FirstPaint, ShowsTheWholeStartStateWithTodaysDateAndWeekday) {
    const time_t before = time(nullptr);
    form14::RunningClock clock;
    ASSERT_TRUE(clock.window.waitForPixel(form14::kClockFace, form14::kClockFaceColour,
                                          milliseconds(10000)));
    const harness::TempDir shots("first-paint");
    ASSERT_TRUE(clock.window.screenshot(shots.path() / "first.png"));

    const auto date = clock.window.readLineEdit(form14::kDateDial.centre());
    const auto weekday = clock.window.readLineEdit(form14::kWeekdayDial.centre());
    const auto stopwatch = clock.window.readLineEdit(form14::kStopwatchDial.centre());
    const time_t after = time(nullptr);
    clock.window.click(form14::kClockDial.centre());  // the focus leaves the boxes just read
    ASSERT_TRUE(clock.window.screenshot(shots.path() / "later.png"));

    const std::set<std::string> dates{localText("%m/%d/%y", before), localText("%m/%d/%y", after)};
    const std::set<std::string> weekdays{localText("%A", before), localText("%A", after)};
    EXPECT_TRUE(date && dates.count(*date)) << date.value_or("(no text)");
    EXPECT_TRUE(weekday && weekdays.count(*weekday)) << weekday.value_or("(no text)");
    EXPECT_EQ(stopwatch.value_or("(no text)"), "0:00:00");

    const QImage first(QString::fromStdString((shots.path() / "first.png").string()));
    const QImage later(QString::fromStdString((shots.path() / "later.png").string()));
    ASSERT_FALSE(first.isNull() || later.isNull());
    const std::pair<const char*, form14::Rect> boxes[] = {{"date", form14::kDateDial},
                                                          {"weekday", form14::kWeekdayDial},
                                                          {"stopwatch", form14::kStopwatchDial},
                                                          {"alarm label", form14::kAlarmLabel}};
    for (const auto& [name, box] : boxes) {
        EXPECT_TRUE(within(first, box) == within(later, box))
            << "the " << name << " changed after the first paint";
    }
}

struct CloseWay {
    const char* name;
    bool windowManager;
    std::function<void(form14::RunningClock&)> close;
};

void PrintTo(const CloseWay& way, std::ostream* out) {
    *out << way.name;
}

const CloseWay kCloseWays[] = {
    {"CloseButton", false,
     [](form14::RunningClock& c) { c.window.click(form14::kClose.centre()); }},
    {"Sigterm", false, [](form14::RunningClock& c) { c.program.signal(SIGTERM); }},
    {"WindowManagerClose", true,
     [](form14::RunningClock& c) {
         ASSERT_TRUE(c.server.run({"wmctrl", "-i", "-c", c.window.id()}).succeeded());
     }},
};

class Closing : public testing::TestWithParam<CloseWay> {};

TEST_P(Closing, EndsTheProgramWithExitCodeZero) {
    form14::RunningClock clock(GetParam().windowManager);
    GetParam().close(clock);
    const auto status = clock.program.waitForExit(milliseconds(10000));
    ASSERT_TRUE(status) << "still running 10 s after the close";
    EXPECT_TRUE(status->exited) << "ended by signal " << status->code;
    EXPECT_EQ(status->code, 0) << clock.program.standardError();
}

INSTANTIATE_TEST_SUITE_P(, Closing, testing::ValuesIn(kCloseWays), harness::rowName);

struct NoDisplayCase {
    const char* name;
    const char* display;  // empty: not set at all
};

void PrintTo(const NoDisplayCase& c, std::ostream* out) {
    *out << c.name;
}

const NoDisplayCase kNoDisplays[] = {
    {"Unset", ""},
    {"NoServerThere", ":9999"},
};

class WithoutDisplay : public testing::TestWithParam<NoDisplayCase> {};

TEST_P(WithoutDisplay, SaysSoOnStandardErrorAndFails) {
    harness::ProgramOptions options;
    options.display = GetParam().display;
    harness::Program program(ALARM_CLOCK_BINARY, options);
    const auto status = program.waitForExit(milliseconds(10000));
    ASSERT_TRUE(status) << "still running 10 s later";
    EXPECT_TRUE(status->exited) << "ended by signal " << status->code;
    EXPECT_EQ(status->code, 1);
    const std::string error = program.standardError();
    EXPECT_NE(error.find("display"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(, WithoutDisplay, testing::ValuesIn(kNoDisplays), harness::rowName);

}  // namespace
