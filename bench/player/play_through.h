#pragma once

#include <iostream>

#include "harness/environment.h"
#include "sound/sound_server.h"

// Sends this process's sound to `server`; false, with the reason on standard error, when the
// server did not come up.
inline bool playThrough(const sound::SoundServer& server) {
    if (!server.ready()) {
        std::cerr << server.error() << "\n";
        return false;
    }
    harness::applyEnvironment(server.environment());
    return true;
}
