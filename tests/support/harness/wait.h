#pragma once

#include <chrono>
#include <thread>

namespace harness {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Polls `ready` until it holds or `bound` has passed; true when it held. Every wait in the
// harness goes through here, so that no test hangs on a program that never answers.
template <typename Predicate>
bool waitUntil(Predicate ready, milliseconds bound, milliseconds interval = milliseconds(10)) {
    const auto deadline = Clock::now() + bound;
    while (true) {
        if (ready()) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
}

}  // namespace harness
