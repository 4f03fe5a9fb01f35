#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "window/program.h"
#include "window/window.h"
#include "window/x_server.h"

// Steps that several measurements take on the running program.
namespace bench {

// The program's window on `server` with its face painted; nullopt when no face showed.
std::optional<harness::Window> shownWindow(const harness::XServer& server);

// Waits until `until`, or less when the program ends; whether it still runs.
bool runsUntil(harness::Program& program, std::chrono::steady_clock::time_point until);

// printf into a string, for a figure's line.
std::string formatted(const char* format, auto... values) {
    char text[300];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

}  // namespace bench
