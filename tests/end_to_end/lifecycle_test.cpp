#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "form14/controls.h"
#include "form14/running_clock.h"
#include "harness/table.h"

namespace {

using harness::milliseconds;

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
    EXPECT_NE(status->code, 0);
    const std::string error = program.standardError();
    EXPECT_NE(error.find("display"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(, WithoutDisplay, testing::ValuesIn(kNoDisplays), harness::rowName);

}  // namespace
