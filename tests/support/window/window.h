#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "harness/wait.h"
#include "screenshot.h"

namespace harness {

class XServer;

struct Point {
    int x = 0;
    int y = 0;
};

// The client area: its origin on the screen and its size.
struct Geometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class Button { left = 1, middle = 2, right = 3 };

enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4 };
using Modifiers = unsigned;

// A top-level window on a harness X server, driven as a user would: through the pointer and
// keyboard (xdotool), the selection (xclip), screenshots (ImageMagick) and its properties
// (xprop). Points are in client coordinates.
class Window {
  public:
    Window(const XServer& server, std::string id) : server_(&server), id_(std::move(id)) {}

    // The first viewable window whose title matches the regular expression `title`.
    static std::optional<Window> find(const XServer& server, std::string_view title,
                                      milliseconds bound = milliseconds(10000));

    const std::string& id() const { return id_; }
    // nullopt once the window is gone.
    std::optional<Geometry> geometry() const;
    bool viewable() const;
    bool waitUntilNotViewable(milliseconds bound) const;

    void click(Point at, Button button = Button::left, Modifiers modifiers = kNoModifier) const;
    void press(Point at, Button button = Button::left, Modifiers modifiers = kNoModifier) const;
    void release(Point at, Button button = Button::left, Modifiers modifiers = kNoModifier) const;
    void drag(Point from, Point to, Button button = Button::left, Modifiers modifiers = kNoModifier,
              int steps = 8) const;
    // Keys go to whichever window has the focus, as they would for a user.
    void typeText(std::string_view text) const;
    void key(std::string_view keys) const;  // xdotool names: "ctrl+a", "Return", "alt+F4"

    // The text of the line edit at `at`: click, select all, read the primary selection.
    // nullopt when nothing could be selected within `bound` (an empty box, say). A click where
    // no line edit is leaves the focus where it was, so the focused box is read instead.
    std::optional<std::string> readLineEdit(Point at,
                                            milliseconds bound = milliseconds(3000)) const;
    // The primary selection once `select` has claimed it anew; nullopt when it did not within
    // `bound`.
    std::optional<std::string> selectionAfter(const std::function<void()>& select,
                                              milliseconds bound) const;

    // The client area as a PNG.
    bool screenshot(const std::filesystem::path& path) const;
    // The raw RGB bytes of a part of the client area, so that two looks can be compared;
    // nullopt when it could not be read.
    std::optional<std::string> pixels(Geometry area) const;
    // One pixel of a fresh screenshot of the client area.
    std::optional<Rgb> pixel(Point at) const;
    bool waitForPixel(Point at, Rgb colour, milliseconds bound) const;

    // A property's value as xprop prints it after the name; nullopt when not set.
    std::optional<std::string> property(std::string_view name) const;
    std::vector<std::string> netWmState() const;    // _NET_WM_STATE atoms
    bool iconic() const;                            // WM_STATE says Iconic
    std::vector<unsigned long> motifHints() const;  // _MOTIF_WM_HINTS, empty when unset

  private:
    void pointer(Point at, const std::vector<std::string>& actions, Modifiers modifiers) const;
    void xdotool(const std::vector<std::string>& args) const;
    Point onScreen(Point at) const;

    const XServer* server_;
    std::string id_;
};

// The whole screen as a PNG.
bool screenshotScreen(const XServer& server, const std::filesystem::path& path);

}  // namespace harness
