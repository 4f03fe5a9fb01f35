#include "running_clock.h"

#include <stdexcept>
#include <string>

#include "steps.h"

namespace form14 {
namespace {

harness::Window shown(const harness::XServer& server, harness::Program& program) {
    if (auto found = findWindow(server)) {
        return *found;
    }
    throw std::runtime_error("no window titled Form14 appeared; the program wrote: " +
                             program.standardError());
}

}  // namespace

RunningClock::RunningClock(bool windowManager)
    : server(harness::XServer::Options{windowManager}),
      program(ALARM_CLOCK_BINARY, options(server)),
      window(shown(server, program)) {}

}  // namespace form14
