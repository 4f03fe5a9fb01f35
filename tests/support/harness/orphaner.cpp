// Starts a child that heeds SIGTERM and one that ignores it, prints their process ids and dies
// outright, as a test killed by a signal would.
#include <csignal>
#include <iostream>

#include "process.h"
#include "sleepers.h"

int main() {
    const harness::Environment environment = harness::inheritedEnvironment();
    const harness::Process heeds(harness::sleeper(true), environment);
    const harness::Process ignores(harness::sleeper(false), environment);
    if (!harness::asleep(heeds.pid()) || !harness::asleep(ignores.pid())) {
        return 1;
    }
    std::cout << heeds.pid() << ' ' << ignores.pid() << std::endl;
    std::raise(SIGKILL);
}
