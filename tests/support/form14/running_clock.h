#pragma once

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

}  // namespace form14
