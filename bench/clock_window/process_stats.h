#pragma once

#include <sys/types.h>

#include <optional>

namespace bench {

// CPU time the process has used, user plus system, all threads, in seconds.
std::optional<double> cpuSeconds(pid_t pid);

// The most memory the process has held resident (VmHWM), in kB.
std::optional<long> peakResidentKb(pid_t pid);

}  // namespace bench
