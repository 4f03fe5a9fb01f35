// The window's own frame on a real X server: no frame of the desktop's, no taskbar button, the
// move by the drag strip with a window manager and without, and the minimise button.
#include <gtest/gtest.h>
#include <QImage>
#include <QLibraryInfo>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "form14/controls.h"
#include "form14/running_clock.h"
#include "form14/steps.h"
#include "harness/table.h"

namespace {

using harness::Button;
using harness::milliseconds;

enum class Desktop {
    bare,                 // no window manager: the program moves the window itself
    openbox,              // the window manager moves it
    managerWithoutMoves,  // a window manager that does not move windows on request
};

bool contains(const std::vector<std::string>& items, const std::string& item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

// What a window manager that cannot move windows on request leaves on the root window: it is
// there (its check window names itself) and lists what it does, without _NET_WM_MOVERESIZE.
void claimWindowManagerWithoutMoves(const harness::XServer& server) {
    const auto root = server.run({"xwininfo", "-root"});
    std::smatch id;
    ASSERT_TRUE(std::regex_search(root.standardOutput, id, std::regex("Window id: (0x[0-9a-f]+)")))
        << root.standardOutput;
    for (const std::vector<std::string>& set :
         {std::vector<std::string>{"-f", "_NET_SUPPORTING_WM_CHECK", "32c", "-set",
                                   "_NET_SUPPORTING_WM_CHECK", id[1]},
          std::vector<std::string>{"-f", "_NET_SUPPORTED", "32a", "-set", "_NET_SUPPORTED",
                                   "_NET_WM_STATE"}}) {
        std::vector<std::string> argv{"xprop", "-root"};
        argv.insert(argv.end(), set.begin(), set.end());
        ASSERT_TRUE(server.run(argv).succeeded()) << harness::joined(argv);
    }
}

class Frame : public testing::TestWithParam<form14::DesktopRow> {};

TEST_P(Frame, HasNoFrameOfTheDesktopAndNoTaskbarButton) {
    form14::RunningClock clock(GetParam().windowManager);
    const auto hints = clock.window.motifHints();
    ASSERT_GE(hints.size(), 3u) << "no _MOTIF_WM_HINTS";
    EXPECT_TRUE(hints[0] & 2) << "the hints say nothing of decorations";
    EXPECT_EQ(hints[2], 0u) << "decorations asked for";

    const auto state = clock.window.netWmState();
    EXPECT_TRUE(contains(state, "_NET_WM_STATE_SKIP_TASKBAR"));
    EXPECT_FALSE(contains(state, "_NET_WM_STATE_SKIP_PAGER")) << "hidden from the switcher too";
    const std::string type = clock.window.property("_NET_WM_WINDOW_TYPE").value_or("");
    EXPECT_NE(type.find("_NET_WM_WINDOW_TYPE_NORMAL"), std::string::npos) << type;
    EXPECT_EQ(type.find("_NET_WM_WINDOW_TYPE_UTILITY"), std::string::npos) << type;

    const std::string icon = clock.window.property("_NET_WM_ICON").value_or("");
    EXPECT_NE(icon.find("32 x 32"), std::string::npos) << "no 32 x 32 icon";
    EXPECT_NE(icon.find("16 x 16"), std::string::npos) << "no 16 x 16 icon";
    if (GetParam().windowManager) {
        EXPECT_EQ(clock.window.property("_NET_FRAME_EXTENTS"), "0, 0, 0, 0");
    }
}

INSTANTIATE_TEST_SUITE_P(, Frame, testing::ValuesIn(form14::kDesktops), harness::rowName);

struct Drag {
    const char* name;
    Desktop desktop;
    Button button;
    harness::Modifiers modifiers;
};

void PrintTo(const Drag& drag, std::ostream* out) {
    *out << drag.name;
}

const Drag kDrags[] = {
    {"LeftWithoutWindowManager", Desktop::bare, Button::left, harness::kNoModifier},
    {"RightWithoutWindowManager", Desktop::bare, Button::right, harness::kNoModifier},
    {"CtrlMiddleWithoutWindowManager", Desktop::bare, Button::middle, harness::kControl},
    {"LeftUnderOpenbox", Desktop::openbox, Button::left, harness::kNoModifier},
    {"RightUnderOpenbox", Desktop::openbox, Button::right, harness::kNoModifier},
    {"MiddleUnderOpenbox", Desktop::openbox, Button::middle, harness::kNoModifier},
    {"ShiftLeftUnderOpenbox", Desktop::openbox, Button::left, harness::kShift},
    {"RightUnderWindowManagerWithoutMoves", Desktop::managerWithoutMoves, Button::right,
     harness::kNoModifier},
};

class DragStrip : public testing::TestWithParam<Drag> {};

// The window follows the mouse by exactly its offset; the buttons work as before afterwards.
TEST_P(DragStrip, MovesTheWindowByTheMousesOffset) {
    const Drag& drag = GetParam();
    form14::RunningClock clock(drag.desktop == Desktop::openbox);
    if (drag.desktop == Desktop::managerWithoutMoves) {
        claimWindowManagerWithoutMoves(clock.server);
    }
    const auto before = clock.window.geometry();
    ASSERT_TRUE(before);
    const harness::Point grip{100, 10}, offset{60, 45};
    // Paced like a hand, slow enough for a busy machine to see the button still down.
    clock.window.drag(grip, {grip.x + offset.x, grip.y + offset.y}, drag.button, drag.modifiers,
                      30);

    std::optional<harness::Geometry> after;
    const bool moved = harness::waitUntil(
        [&] {
            after = clock.window.geometry();
            return after && after->x == before->x + offset.x && after->y == before->y + offset.y;
        },
        milliseconds(3000));
    EXPECT_TRUE(moved) << "from " << before->x << "," << before->y << " to "
                       << (after ? std::to_string(after->x) + "," + std::to_string(after->y)
                                 : "nowhere");

    clock.window.click(form14::kClose.centre());
    const auto status = clock.program.waitForExit(milliseconds(10000));
    ASSERT_TRUE(status) << "the close button does nothing after the move";
    EXPECT_EQ(status->code, 0);
}

INSTANTIATE_TEST_SUITE_P(, DragStrip, testing::ValuesIn(kDrags), harness::rowName);

// Where the program moves the window itself, a key meant for the window during the move runs
// nothing: Return on the focused start button starts the stopwatch only once the move is over.
TEST(OwnMove, KeysDuringTheMoveRunNothing) {
    form14::RunningClock clock(false);
    // The reset button takes the focus with its click, which changes nothing here; Tab then
    // moves the focus to the start button.
    clock.window.click(form14::kStopwatchReset.centre());
    clock.window.key("Tab");
    const auto before = clock.window.geometry();
    ASSERT_TRUE(before);
    const harness::Point grip{100, 10};
    clock.window.press(grip);
    clock.window.key("Return");
    clock.window.release({grip.x + 40, grip.y + 30});
    ASSERT_TRUE(harness::waitUntil(
        [&] {
            const auto now = clock.window.geometry();
            return now && now->x == before->x + 40 && now->y == before->y + 30;
        },
        milliseconds(3000)))
        << "the window did not move";

    // A Return that went through would have started it, and this one would pause it.
    clock.window.key("Return");
    const auto dial = form14::kStopwatchDial.centre();
    const auto first = clock.window.readLineEdit(dial);
    ASSERT_TRUE(first);
    EXPECT_TRUE(harness::waitUntil([&] { return clock.window.readLineEdit(dial) != first; },
                                   milliseconds(3000)))
        << "the stopwatch stands at " << *first;
}

// The strip's tool tip, a window of the program's own, shows where the pointer rests on the
// strip, though the window has not been clicked and so is not active.
TEST(DragStripToolTip, ShowsWhereThePointerRests) {
    form14::RunningClock clock(false);
    const auto shownWindows = [&clock] {
        const auto found =
            clock.server.run({"xdotool", "search", "--onlyvisible", "--class", "^alarm-clock$"});
        return std::count(found.standardOutput.begin(), found.standardOutput.end(), '\n');
    };
    ASSERT_EQ(shownWindows(), 1);
    const auto origin = clock.window.geometry();
    ASSERT_TRUE(origin);
    for (const int x : {150, 152}) {  // a rest after a small move, as a hand comes to it
        ASSERT_TRUE(clock.server
                        .run({"xdotool", "mousemove", std::to_string(origin->x + x),
                              std::to_string(origin->y + 10)})
                        .succeeded());
    }
    EXPECT_TRUE(harness::waitUntil([&] { return shownWindows() == 2; }, milliseconds(5000)))
        << "no tool tip over the strip";
}

class CloseButton : public testing::TestWithParam<form14::DesktopRow> {};

TEST_P(CloseButton, APressOnItStartsNoMoveAndAClickCloses) {
    form14::RunningClock clock(GetParam().windowManager);
    const auto before = clock.window.geometry();
    ASSERT_TRUE(before);
    const auto close = form14::kClose.centre();
    // Let go away from the button: no click, and the window must stay where it is.
    clock.window.drag(close, {close.x + 60, close.y + 45});
    EXPECT_FALSE(harness::waitUntil(
        [&] {
            const auto now = clock.window.geometry();
            return !now || now->x != before->x || now->y != before->y;
        },
        milliseconds(500)))
        << "the window moved or went";
    ASSERT_TRUE(clock.program.running());

    clock.window.click(close);
    const auto status = clock.program.waitForExit(milliseconds(10000));
    ASSERT_TRUE(status) << "still running after a click on the close button";
    EXPECT_TRUE(status->exited);
    EXPECT_EQ(status->code, 0);
}

INSTANTIATE_TEST_SUITE_P(, CloseButton, testing::ValuesIn(form14::kDesktops), harness::rowName);

// The desktop's own means bring it back: here an activation, as a window switcher sends.
TEST(MinimiseButton, MakesTheWindowIconicWhileTheClockGoesOn) {
    form14::RunningClock clock(true);
    const auto dial = form14::kClockDial.centre();
    const auto first = clock.window.readLineEdit(dial);
    ASSERT_TRUE(first && form14::clockSeconds(*first)) << "no time on the clock dial";
    const auto start = harness::Clock::now();

    clock.window.click(form14::kMinimise.centre());
    ASSERT_TRUE(harness::waitUntil([&] { return clock.window.iconic(); }, milliseconds(5000)))
        << "not iconic after the minimise button";
    EXPECT_TRUE(contains(clock.window.netWmState(), "_NET_WM_STATE_SKIP_TASKBAR"));
    // It stays iconic: nothing of the program's own brings it back.
    EXPECT_FALSE(harness::waitUntil([&] { return !clock.window.iconic(); }, milliseconds(2500)));

    ASSERT_TRUE(clock.server.run({"xdotool", "windowactivate", clock.window.id()}).succeeded());
    ASSERT_TRUE(harness::waitUntil(
        [&] { return !clock.window.iconic() && clock.window.viewable(); }, milliseconds(5000)))
        << "not restored by an activation";
    const auto later = clock.window.readLineEdit(dial);
    const double elapsed = std::chrono::duration<double>(harness::Clock::now() - start).count();
    ASSERT_TRUE(later && form14::clockSeconds(*later))
        << "no time on the clock dial after restoring";
    const int counted =
        (*form14::clockSeconds(*later) - *form14::clockSeconds(*first) + 86400) % 86400;
    EXPECT_GE(counted, 2) << *first << " then " << *later;
    EXPECT_NEAR(counted, elapsed, 1.5) << *first << " then " << *later;
    EXPECT_TRUE(contains(clock.window.netWmState(), "_NET_WM_STATE_SKIP_TASKBAR"))
        << "the hint went with the minimise";
}

// A screen at twice the pixels: the whole client area and the face double alike.
TEST(ScaledScreen, DoublesTheClientAreaAndTheFace) {
    harness::XServer server;
    harness::ProgramOptions options = harness::on(server);
    options.extra["QT_SCALE_FACTOR"] = "2";
    harness::Program program(ALARM_CLOCK_BINARY, options);
    const auto window = form14::findWindow(server);
    ASSERT_TRUE(window) << program.standardError();
    const auto geometry = window->geometry();
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 2 * form14::kWidth);
    EXPECT_EQ(geometry->height, 2 * form14::kHeight);
    const harness::Point face{2 * form14::kClockFace.x, 2 * form14::kClockFace.y};
    EXPECT_TRUE(window->waitForPixel(face, form14::kClockFaceColour, milliseconds(5000)));
    EXPECT_EQ(window->pixel({2 * 408 + 1, 2 * 170}), (harness::Rgb{0, 255, 255}))
        << "the right edge";
}

// A Wayland desktop: weston, showing its output as a window on a private X server and taking
// that server's pointer as its own. The test drives the pointer through the X server.
class WestonOnX {
  public:
    WestonOnX() {
        std::filesystem::permissions(runtime_.path(), std::filesystem::perms::owner_all);
        harness::Environment environment = harness::inheritedEnvironment();
        environment["DISPLAY"] = server_.display();
        environment["XDG_RUNTIME_DIR"] = runtime_.path().string();
        // No panel: it would lie over the window wherever weston happens to place it.
        const auto config = runtime_.path() / "weston.ini";
        std::ofstream(config) << "[shell]\npanel-position=none\n";
        weston_ = std::make_unique<harness::Process>(
            std::vector<std::string>{"weston", "--backend=x11-backend.so", "--width=1000",
                                     "--height=700", "--socket=wayland-test", "--idle-time=0",
                                     "--config=" + config.string()},
            environment,
            harness::Output{runtime_.path() / "weston.out", runtime_.path() / "weston.err"});
    }

    bool ready() const {
        return harness::waitUntil([this] { return std::filesystem::exists(socket()); },
                                  milliseconds(10000));
    }
    std::string socket() const { return (runtime_.path() / "wayland-test").string(); }

    // What a Qt program needs to show itself here. Its widgets draw into shared memory with or
    // without an EGL client buffer integration, but with one Qt loads Mesa's driver, whose CPU
    // probe on AMD Zen processors allocates the L3 cache masks (128 bytes a cache) and keeps the
    // only pointer in the driver's own data. The driver is unloaded at exit, so LeakSanitizer
    // finds the block unreferenced in a library it can no longer name. Qt has no integration of
    // this name, so it loads none, whatever the machine's processor, drivers and desktop.
    harness::Environment client() const {
        return {{"WAYLAND_DISPLAY", socket()},
                {"QT_QPA_PLATFORM", "wayland"},
                {"QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none"}};
    }
    const harness::XServer& server() const { return server_; }

    // The client area's top-left corner on the screen, found by the cyan right edge: the
    // first column of it is 407 pixels in from the left, its last row 337 below the top.
    std::optional<harness::Point> windowAt() const {
        const harness::TempDir shots("weston-shot");
        const auto path = shots.path() / "screen.png";
        if (!harness::screenshotScreen(server_, path)) {
            return std::nullopt;
        }
        const QImage screen(QString::fromStdString(path.string()));
        const auto cyan = [&screen](int x, int y) {
            return screen.valid(x, y) && screen.pixel(x, y) == qRgb(0, 255, 255);
        };
        for (int y = 0; y + 300 < screen.height(); ++y) {
            for (int x = 407; x < screen.width(); ++x) {
                if (cyan(x, y) && cyan(x, y + 300) && !cyan(x - 1, y + 300)) {
                    int bottom = y + 300;
                    while (cyan(x, bottom + 1)) {
                        ++bottom;
                    }
                    return harness::Point{x - 407, bottom - 337};
                }
            }
        }
        return std::nullopt;
    }

    // Drags from `from` by `offset`, both on the screen, holding `button`. The pointer first
    // leaves weston's window and comes back, so that weston takes up where it is.
    void drag(harness::Point from, harness::Point offset, Button button) const {
        const std::string b = std::to_string(static_cast<int>(button));
        std::vector<std::string> argv{"xdotool",
                                      "mousemove",
                                      "1270",
                                      "790",
                                      "sleep",
                                      "0.1",
                                      "mousemove",
                                      std::to_string(from.x),
                                      std::to_string(from.y),
                                      "sleep",
                                      "0.1",
                                      "mousedown",
                                      b};
        // Paced like a hand, slow enough for a busy machine to see the button still down.
        constexpr int kSteps = 30;
        for (int step = 1; step <= kSteps; ++step) {
            argv.insert(argv.end(), {"sleep", "0.02", "mousemove",
                                     std::to_string(from.x + offset.x * step / kSteps),
                                     std::to_string(from.y + offset.y * step / kSteps)});
        }
        argv.insert(argv.end(), {"sleep", "0.05", "mouseup", b});
        ASSERT_TRUE(server_.run(argv).succeeded()) << harness::joined(argv);
    }
    void click(harness::Point at) const {
        ASSERT_TRUE(
            server_
                .run({"xdotool", "mousemove", "1270", "790", "sleep", "0.1", "mousemove",
                      std::to_string(at.x), std::to_string(at.y), "sleep", "0.1", "click", "1"})
                .succeeded());
    }

  private:
    harness::XServer server_;
    harness::TempDir runtime_{"weston"};
    std::unique_ptr<harness::Process> weston_;
};

bool waylandAtHand() {
    const auto plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() +
                        "/platforms/libqwayland-generic.so";
    return std::filesystem::exists("/usr/bin/weston") && std::filesystem::exists(plugin);
}

struct WaylandPress {
    const char* name;
    Button button;
};

void PrintTo(const WaylandPress& press, std::ostream* out) {
    *out << press.name;
}

const WaylandPress kWaylandPresses[] = {
    {"Left", Button::left},
    {"Right", Button::right},
};

class WaylandDrag : public testing::TestWithParam<WaylandPress> {};

TEST_P(WaylandDrag, CompositorMovesTheWindowByTheMousesOffset) {
    if (!waylandAtHand()) {
        GTEST_SKIP() << "needs weston and Qt's Wayland platform (qt6-wayland)";
    }
    const WestonOnX desktop;
    ASSERT_TRUE(desktop.ready()) << "weston did not start";
    harness::ProgramOptions options;
    options.extra = desktop.client();
    harness::Program program(ALARM_CLOCK_BINARY, options);
    std::optional<harness::Point> before;
    ASSERT_TRUE(harness::waitUntil([&] { return (before = desktop.windowAt()).has_value(); },
                                   milliseconds(10000), milliseconds(100)))
        << "no window on weston; the program wrote: " << program.standardError();

    const harness::Point offset{60, 45};
    desktop.drag({before->x + 100, before->y + 10}, offset, GetParam().button);
    std::optional<harness::Point> after;
    EXPECT_TRUE(harness::waitUntil(
        [&] {
            after = desktop.windowAt();
            return after && after->x == before->x + offset.x && after->y == before->y + offset.y;
        },
        milliseconds(3000), milliseconds(100)))
        << "from " << before->x << "," << before->y << " to "
        << (after ? std::to_string(after->x) + "," + std::to_string(after->y) : "nowhere");

    const auto close = form14::kClose.centre();
    const harness::Point at = after.value_or(*before);
    desktop.click({at.x + close.x, at.y + close.y});
    const auto status = program.waitForExit(milliseconds(10000));
    ASSERT_TRUE(status) << "the close button does nothing after the move";
    EXPECT_EQ(status->code, 0) << program.standardError();
}

INSTANTIATE_TEST_SUITE_P(, WaylandDrag, testing::ValuesIn(kWaylandPresses), harness::rowName);

}  // namespace
