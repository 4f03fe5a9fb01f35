#pragma once

#include <string>
#include <string_view>

// Whether the program has a display to show its window on. Asked before Qt starts, since Qt
// ends the process when it cannot reach the display.
namespace user32 {

// Why there is no display, in a few words for standard error; empty when there is one, or
// when a platform other than X11 is named (Wayland, or QT_QPA_PLATFORM), which Qt reports on.
std::string displayProblem();

// Whether an X server listens at the display `name` ("[protocol/][host]:number[.screen]"): its
// local socket, in the abstract namespace or in /tmp/.X11-unix, or its TCP port. Where the
// program is built without xcb, this is the check: a server that listens but turns the program
// away is then met only when Qt connects.
bool xServerListens(std::string_view name);

}  // namespace user32
