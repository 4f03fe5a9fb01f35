#include "window.h"

#include <map>
#include <sstream>
#include <stdexcept>

#include "harness/temp_dir.h"
#include "harness/text.h"
#include "x_server.h"

namespace harness {
namespace {

constexpr milliseconds kToolBound(10000);

// "shift+ctrl+alt" for xdotool keydown and keyup; empty for none.
std::string modifierKeys(Modifiers modifiers) {
    std::string keys;
    const std::pair<Modifier, const char*> names[] = {
        {kShift, "shift"}, {kControl, "ctrl"}, {kAlt, "alt"}};
    for (const auto& [flag, name] : names) {
        if ((modifiers & flag) != 0) {
            keys.append(keys.empty() ? "" : "+").append(name);
        }
    }
    return keys;
}

std::string button(Button b) {
    return std::to_string(static_cast<int>(b));
}

std::string trimmed(std::string text) {
    const auto first = text.find_first_not_of(" \t\n");
    const auto last = text.find_last_not_of(" \t\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::vector<std::string> commaList(const std::string& text) {
    std::vector<std::string> items;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        if (!trimmed(item).empty()) {
            items.push_back(trimmed(item));
        }
    }
    return items;
}

}  // namespace

std::optional<Window> Window::find(const XServer& server, std::string_view title,
                                   milliseconds bound) {
    std::optional<Window> found;
    waitUntil(
        [&] {
            const auto result =
                server.run({"xdotool", "search", "--onlyvisible", "--name", std::string(title)});
            const auto ids = nonEmptyLines(result.standardOutput);
            if (result.succeeded() && !ids.empty()) {
                found.emplace(server, ids.front());
            }
            return found.has_value();
        },
        bound, milliseconds(20));
    return found;
}

// xwininfo, not xdotool getwindowgeometry: under openbox the latter is off by the frame.
std::optional<Geometry> Window::geometry() const {
    const auto result = server_->run({"xwininfo", "-id", id_});
    std::map<std::string, int> values;
    for (const std::string& line : nonEmptyLines(result.standardOutput)) {
        const auto colon = line.find(':');
        if (colon != std::string::npos &&
            line.find_first_not_of(" -0123456789", colon + 1) == std::string::npos) {
            values[trimmed(line.substr(0, colon))] = std::stoi(line.substr(colon + 1));
        }
    }
    const char* keys[] = {"Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"};
    for (const char* key : keys) {
        if (values.count(key) == 0) {
            return std::nullopt;
        }
    }
    return Geometry{values[keys[0]], values[keys[1]], values[keys[2]], values[keys[3]]};
}

bool Window::viewable() const {
    const auto result = server_->run({"xwininfo", "-id", id_});
    return result.succeeded() && result.standardOutput.find("IsViewable") != std::string::npos;
}

bool Window::waitUntilNotViewable(milliseconds bound) const {
    return waitUntil([this] { return !viewable(); }, bound, milliseconds(20));
}

Point Window::onScreen(Point at) const {
    const auto origin = geometry();
    if (!origin) {
        throw std::runtime_error("window " + id_ + " is gone");
    }
    return {origin->x + at.x, origin->y + at.y};
}

void Window::xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto result = server_->run(argv, kToolBound);
    if (!result.succeeded()) {
        throw std::runtime_error(joined(argv) + " failed: " + result.standardError);
    }
}

// Moves the pointer to `at`, then does `actions` with the modifiers held.
void Window::pointer(Point at, const std::vector<std::string>& actions, Modifiers modifiers) const {
    const Point screen = onScreen(at);
    // No --sync: it hangs when the pointer is already there, and the server keeps the
    // move and the actions after it in order anyway.
    std::vector<std::string> args{"mousemove", std::to_string(screen.x), std::to_string(screen.y)};
    const std::string keys = modifierKeys(modifiers);
    if (!keys.empty()) {
        args.insert(args.end(), {"keydown", keys});
    }
    args.insert(args.end(), actions.begin(), actions.end());
    if (!keys.empty()) {
        args.insert(args.end(), {"keyup", keys});
    }
    xdotool(args);
}

void Window::click(Point at, Button b, Modifiers modifiers) const {
    pointer(at, {"click", button(b)}, modifiers);
}

void Window::press(Point at, Button b, Modifiers modifiers) const {
    pointer(at, {"mousedown", button(b)}, modifiers);
}

void Window::release(Point at, Button b, Modifiers modifiers) const {
    pointer(at, {"mouseup", button(b)}, modifiers);
}

// Screen positions are fixed at the start, as a hand's would be while the window moves. The
// pauses pace the steps like a hand, so that whoever takes over the drag (the program, or a
// window manager's move) has grabbed the pointer before the next step.
void Window::drag(Point from, Point to, Button b, Modifiers modifiers, int steps) const {
    const Point start = onScreen(from);
    const std::string pause = "0.01";
    std::vector<std::string> actions{"mousedown", button(b)};
    for (int i = 1; i <= steps; ++i) {
        const int x = start.x + (to.x - from.x) * i / steps;
        const int y = start.y + (to.y - from.y) * i / steps;
        actions.insert(actions.end(),
                       {"sleep", pause, "mousemove", std::to_string(x), std::to_string(y)});
    }
    actions.insert(actions.end(), {"sleep", pause});
    actions.insert(actions.end(), {"mouseup", button(b)});
    pointer(from, actions, modifiers);
}

void Window::typeText(std::string_view text) const {
    xdotool({"type", "--delay", "12", "--", std::string(text)});
}

void Window::key(std::string_view keys) const {
    xdotool({"key", std::string(keys)});
}

std::optional<std::string> Window::readLineEdit(Point at, milliseconds bound) const {
    return selectionAfter(
        [&] {
            click(at);
            key("ctrl+a");
        },
        bound);
}

// The selection's TIMESTAMP tells a fresh claim from what an earlier read left behind.
std::optional<std::string> Window::selectionAfter(const std::function<void()>& select,
                                                  milliseconds bound) const {
    const auto stamp = [this] {
        const auto result =
            server_->run({"xclip", "-o", "-selection", "primary", "-t", "TIMESTAMP"});
        return result.succeeded() ? result.standardOutput : std::string();
    };
    const std::string before = stamp();
    select();
    if (!waitUntil([&] { return stamp() != before; }, bound, milliseconds(10))) {
        return std::nullopt;
    }
    const auto text = server_->run({"xclip", "-o", "-selection", "primary"});
    if (!text.succeeded()) {
        return std::nullopt;
    }
    return text.standardOutput;
}

bool Window::screenshot(const std::filesystem::path& path) const {
    return server_->run({"import", "-window", id_, path.string()}).succeeded();
}

std::optional<std::string> Window::pixels(Geometry area) const {
    const std::string crop = std::to_string(area.width) + "x" + std::to_string(area.height) + "+" +
                             std::to_string(area.x) + "+" + std::to_string(area.y);
    const auto shot = server_->run({"import", "-window", id_, "-crop", crop, "rgb:-"});
    if (!shot.succeeded() || shot.standardOutput.empty()) {
        return std::nullopt;
    }
    return shot.standardOutput;
}

std::optional<Rgb> Window::pixel(Point at) const {
    const TempDir directory("shot");
    const auto path = directory.path() / "window.png";
    if (!screenshot(path)) {
        return std::nullopt;
    }
    return pixelAt(path, at.x, at.y);
}

bool Window::waitForPixel(Point at, Rgb colour, milliseconds bound) const {
    return waitUntil([&] { return pixel(at) == colour; }, bound, milliseconds(20));
}

std::optional<std::string> Window::property(std::string_view name) const {
    const auto result = server_->run({"xprop", "-id", id_, std::string(name)});
    const std::string& out = result.standardOutput;
    if (!result.succeeded() || out.find("not found") != std::string::npos ||
        out.find("no such atom") != std::string::npos) {
        return std::nullopt;
    }
    const auto equals = out.find(" = ");
    const auto colon = out.find(':');
    if (equals != std::string::npos && (colon == std::string::npos || equals < colon)) {
        return trimmed(out.substr(equals + 3));
    }
    return colon == std::string::npos ? trimmed(out) : trimmed(out.substr(colon + 1));
}

std::vector<std::string> Window::netWmState() const {
    const auto value = property("_NET_WM_STATE");
    return value ? commaList(*value) : std::vector<std::string>{};
}

bool Window::iconic() const {
    const auto value = property("WM_STATE");
    return value && value->find("window state: Iconic") != std::string::npos;
}

std::vector<unsigned long> Window::motifHints() const {
    std::vector<unsigned long> hints;
    if (const auto value = property("_MOTIF_WM_HINTS")) {
        for (const std::string& item : commaList(*value)) {
            hints.push_back(std::stoul(item, nullptr, 0));
        }
    }
    return hints;
}

bool screenshotScreen(const XServer& server, const std::filesystem::path& path) {
    return server.run({"import", "-window", "root", path.string()}).succeeded();
}

}  // namespace harness
