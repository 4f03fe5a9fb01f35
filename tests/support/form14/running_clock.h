#pragma once

#include <ostream>

#include "window/program.h"
#include "window/window.h"
#include "window/x_server.h"

namespace form14 {

// The alarm clock on an X server of its own, its window shown; all ended with this object.
// Throws std::runtime_error, with what the program wrote, when no window showed.
struct RunningClock {
    explicit RunningClock(bool windowManager = false);

    harness::XServer server;
    harness::Program program;
    harness::Window window;
};

// The two desktops most end-to-end cases run on, as rows of a table: a bare X server, and one
// whose window manager is openbox.
struct DesktopRow {
    const char* name;
    bool windowManager;
};

inline void PrintTo(const DesktopRow& row, std::ostream* out) {
    *out << row.name;
}

inline constexpr DesktopRow kDesktops[] = {
    {"WithoutWindowManager", false},
    {"UnderOpenbox", true},
};

}  // namespace form14
