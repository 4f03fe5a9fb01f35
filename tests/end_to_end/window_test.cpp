#include <gtest/gtest.h>

#include <regex>

#include "form14/controls.h"
#include "form14/running_clock.h"
#include "form14/steps.h"
#include "harness/locales.h"
#include "harness/table.h"

namespace {

using harness::milliseconds;

// In a Russian session the program loads Qt's translations: the open-file dialog that
// "Обзор..." opens has Qt's Russian title.
TEST(OpenFileDialog, IsTitledInRussianInARussianSession) {
    if (!harness::localeInstalled("ru_RU.UTF-8")) {
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed (script/setup generates it)";
    }
    harness::XServer server;
    harness::ProgramOptions options = harness::on(server);
    options.extra = {{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", "ru_RU.UTF-8"}};
    harness::Program program(ALARM_CLOCK_BINARY, options);
    const auto window = form14::findWindow(server);
    ASSERT_TRUE(window) << program.standardError();
    window->click(form14::kBrowse.centre());
    EXPECT_TRUE(harness::Window::find(server, "^Открыть$")) << program.standardError();
}

// With and without a window manager: one must not add to or shrink the client area.
class WindowShown : public testing::TestWithParam<form14::DesktopRow> {};

TEST_P(WindowShown, IsForm14WithItsFixedClientAreaAndFace) {
    form14::RunningClock clock(GetParam().windowManager);
    const auto geometry = clock.window.geometry();
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, form14::kWidth);
    EXPECT_EQ(geometry->height, form14::kHeight);
    EXPECT_TRUE(
        clock.window.waitForPixel(form14::kClockFace, form14::kClockFaceColour, milliseconds(5000)))
        << "clock face at (80,60) is "
        << clock.window.pixel(form14::kClockFace).value_or(harness::Rgb{});
}

INSTANTIATE_TEST_SUITE_P(, WindowShown, testing::ValuesIn(form14::kDesktops), harness::rowName);

TEST(ClockDial, ShowsTheTimeAndMovesOnEachSecond) {
    form14::RunningClock clock;
    const std::regex time(R"(\s*\d{1,2}:\d{2}:\d{2}\s*)");
    const auto dial = form14::kClockDial.centre();
    const auto first = clock.window.readLineEdit(dial);
    ASSERT_TRUE(first) << "the clock dial gave no text";
    EXPECT_TRUE(std::regex_match(*first, time)) << '"' << *first << '"';

    std::optional<std::string> later;
    const bool moved = harness::waitUntil(
        [&] {
            later = clock.window.readLineEdit(dial);
            return later && *later != *first;
        },
        milliseconds(3000), milliseconds(100));
    ASSERT_TRUE(moved) << "still \"" << *first << "\" after 3 s";
    EXPECT_TRUE(std::regex_match(*later, time)) << '"' << *later << '"';
}

}  // namespace
