#pragma once

#include <sys/types.h>

namespace harness {

// Has `child`, a child of this process, sent SIGTERM and then, after kStopGrace, SIGKILL should
// this process die while the child still runs. One reaper process, started on first use, holds
// a pidfd for each child; it learns of this process's death when the socket to it closes.
void watchOver(pid_t child);

}  // namespace harness
