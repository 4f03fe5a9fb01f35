#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "environment.h"
#include "wait.h"

namespace harness {

// How long a child has to end after SIGTERM before it gets SIGKILL.
constexpr milliseconds kStopGrace(2000);

struct ExitStatus {
    bool exited = false;  // false: ended by a signal
    int code = 0;         // the exit code, or the signal's number
};

// Where one of a child's output streams goes: a file (made empty first), a descriptor of this
// process's that the child writes to, or nowhere.
struct Sink {
    Sink() = default;
    Sink(std::filesystem::path file) : file(std::move(file)) {}
    static Sink descriptor(int fd) {
        Sink sink;
        sink.fd = fd;
        return sink;
    }

    std::filesystem::path file;  // empty: /dev/null
    int fd = -1;                 // used in place of the file when set
};

struct Output {
    Sink standardOutput;
    Sink standardError;
};

// A child process, ended with SIGTERM and then, after kStopGrace, SIGKILL when its owner ends
// or when this process dies, so that a failing test leaves nothing running. Start it from a
// thread that outlives it: the kernel's part of the watch follows the starting thread.
class Process {
  public:
    // Runs argv[0] (looked up in PATH) with exactly `environment`. `keepOpenFd` stays open in
    // the child under its own number. Throws std::runtime_error, with the reason, when the
    // program cannot be run.
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
    ExitStatus stop(milliseconds grace = kStopGrace);

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

// Runs a short-lived tool to its end, collecting what it prints; stopped when over `bound`.
// Throws std::runtime_error when it cannot be run.
CommandResult runCommand(const std::vector<std::string>& argv, const Environment& environment,
                         milliseconds bound = milliseconds(10000));

// "a b c" for messages.
std::string joined(const std::vector<std::string>& argv);

}  // namespace harness
