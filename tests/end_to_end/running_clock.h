#pragma once

#include <stdexcept>
#include <string>

#include "program.h"
#include "window.h"
#include "x_server.h"

// The alarm clock on an X server of its own, its window shown; all ended with this object.
struct RunningClock {
    explicit RunningClock(bool windowManager = false)
        : server(harness::XServer::Options{windowManager}),
          program(ALARM_CLOCK_BINARY, harness::on(server)),
          window(shown(server, program)) {}

    static harness::Window shown(const harness::XServer& server, harness::Program& program) {
        if (auto found = harness::Window::find(server, "^Form14$")) {
            return *found;
        }
        throw std::runtime_error("no window titled Form14 appeared; the program wrote: " +
                                 program.standardError());
    }

    harness::XServer server;
    harness::Program program;
    harness::Window window;
};
