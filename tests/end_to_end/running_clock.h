#pragma once

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "program.h"
#include "window.h"
#include "x_server.h"

// The alarm clock on an X server of its own, its window shown; all ended with this object.
struct RunningClock {
    explicit RunningClock(bool windowManager = false)
        : server(harness::XServer::Options{windowManager}),
          program(ALARM_CLOCK_BINARY, options(server)),
          window(shown(server, program)) {}

    // The time zone too, should the test run in one of its own, so that both read the same
    // local time.
    static harness::ProgramOptions options(const harness::XServer& server) {
        harness::ProgramOptions options = harness::on(server);
        if (const char* zone = std::getenv("TZ")) {
            options.extra["TZ"] = zone;
        }
        return options;
    }

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
