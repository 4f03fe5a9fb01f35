#include "screen_probe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <stdexcept>

namespace bench {
namespace {

// A window that goes away between two requests must not end the benchmark.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

bool viewable(Display* display, ::Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

bool titled(Display* display, ::Window window, const std::string& title) {
    char* name = nullptr;
    const bool same = XFetchName(display, window, &name) != 0 && name != nullptr && title == name;
    if (name != nullptr) {
        XFree(name);
    }
    return same;
}

// Two levels down, so that a window manager's frame does not hide the client.
::Window findViewable(Display* display, ::Window parent, const std::string& title, int depth) {
    ::Window root = 0;
    ::Window up = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) {
        return 0;
    }
    ::Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        if (titled(display, children[i], title) && viewable(display, children[i])) {
            found = children[i];
        } else if (depth > 0) {
            found = findViewable(display, children[i], title, depth - 1);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

int channel(unsigned long pixel, unsigned long mask) {
    return mask == 0 ? 0 : static_cast<int>((pixel & mask) >> std::countr_zero(mask));
}

// Reads the screen itself, not the window, so that what counts is what a user would see.
XImage* grab(Display* display, const std::string& title, harness::Geometry area) {
    const ::Window root = DefaultRootWindow(display);
    const ::Window window = findViewable(display, root, title, 1);
    int x = 0;
    int y = 0;
    ::Window child = 0;
    if (window == 0 ||
        XTranslateCoordinates(display, window, root, area.x, area.y, &x, &y, &child) == 0) {
        return nullptr;
    }
    return XGetImage(display, root, x, y, static_cast<unsigned>(area.width),
                     static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
}

}  // namespace

struct ScreenProbe::Connection {
    Display* display = nullptr;
};

ScreenProbe::ScreenProbe(const std::string& display) : connection_(new Connection) {
    XSetErrorHandler(ignoreErrors);
    connection_->display = XOpenDisplay(display.c_str());
    if (connection_->display == nullptr) {
        throw std::runtime_error("cannot open display " + display);
    }
}

ScreenProbe::~ScreenProbe() {
    XCloseDisplay(connection_->display);
}

bool ScreenProbe::showing(const std::string& title) {
    Display* display = connection_->display;
    return findViewable(display, DefaultRootWindow(display), title, 1) != 0;
}

std::optional<std::string> ScreenProbe::region(const std::string& title, harness::Geometry area) {
    XImage* image = grab(connection_->display, title, area);
    if (image == nullptr) {
        return std::nullopt;
    }
    std::string pixels(image->data, static_cast<size_t>(image->bytes_per_line) * image->height);
    XDestroyImage(image);
    return pixels;
}

std::optional<harness::Rgb> ScreenProbe::look(const std::string& title, harness::Point at) {
    XImage* image = grab(connection_->display, title, {at.x, at.y, 1, 1});
    if (image == nullptr) {
        return std::nullopt;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    const harness::Rgb colour{channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                              channel(pixel, image->blue_mask)};
    XDestroyImage(image);
    return colour;
}

}  // namespace bench
