#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "wait.h"

namespace harness {

// Variable name to value; the whole environment a child sees.
using Environment = std::map<std::string, std::string>;

// This process's own environment, as a starting point for a child's.
Environment inheritedEnvironment();

struct ExitStatus {
    bool exited = false;  // false: ended by a signal
    int code = 0;         // the exit code, or the signal's number
};

// Where a child's standard output and error go; an empty path means /dev/null.
struct Output {
    std::filesystem::path standardOutput;
    std::filesystem::path standardError;
};

// A child process that is ended and reaped with its owner, so that a failing test leaves
// nothing running. The child also dies with this process if that is killed outright.
class Process {
  public:
    // Throws std::runtime_error when the file cannot be run.
    Process(const std::vector<std::string>& argv, const Environment& environment,
            const Output& output = {}, int keepOpenFd = -1);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    std::optional<ExitStatus> waitForExit(milliseconds bound);
    void signal(int number);
    // SIGTERM, then SIGKILL when it has not ended within `grace`.
    ExitStatus stop(milliseconds grace = milliseconds(2000));

  private:
    bool reap(int options);

    pid_t pid_ = -1;
    std::optional<ExitStatus> status_;
};

struct CommandResult {
    ExitStatus status;
    bool timedOut = false;
    std::string standardOutput;
    std::string standardError;

    bool succeeded() const { return !timedOut && status.exited && status.code == 0; }
};

// Runs a short-lived tool to its end, collecting what it prints; killed when over `bound`.
CommandResult runCommand(const std::vector<std::string>& argv, const Environment& environment,
                         milliseconds bound = milliseconds(10000));

// "a b c" for messages.
std::string joined(const std::vector<std::string>& argv);

}  // namespace harness
