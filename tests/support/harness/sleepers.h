#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "text.h"
#include "wait.h"

// Children for the harness's own tests: `sleep 60`, heeding SIGTERM or, set by the shell
// before it becomes sleep, ignoring it.
namespace harness {

inline std::vector<std::string> sleeper(bool heedsSigterm) {
    if (heedsSigterm) {
        return {"sleep", "60"};
    }
    return {"sh", "-c", "trap '' TERM; exec sleep 60"};
}

// Until `pid` is sleep itself, so that whatever its shell set is in place.
inline bool asleep(pid_t pid) {
    const std::string comm = "/proc/" + std::to_string(pid) + "/comm";
    return waitUntil([&] { return fileText(comm) == "sleep\n"; }, milliseconds(5000));
}

}  // namespace harness
