#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sound {

// Variables to set in a child process (or this one) on top of the inherited environment.
using Environment = std::vector<std::pair<std::string, std::string>>;

// A child process that is ended, by its own process id, when this object goes, and that the
// system ends if this process dies first (start it from a thread that outlives it: the signal
// follows the starting thread).
class ChildProcess {
  public:
    // Runs argv[0] (looked up in PATH) with this process's environment plus `env`. Its standard
    // output goes to `stdoutFd` (or nowhere when -1), its standard error to the end of `log`
    // (or nowhere when empty). started() tells whether it could be run.
    ChildProcess(const std::vector<std::string>& argv, const Environment& env, int stdoutFd = -1,
                 const std::filesystem::path& log = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    bool running();
    // Waits up to `limit` for it to exit; its exit code, or nullopt if it still runs.
    std::optional<int> waitExit(std::chrono::milliseconds limit);
    // SIGTERM, a bounded wait, then SIGKILL.
    void stop();

  private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

// Runs a command to its end (killed past `limit`); its exit code, or nullopt when it could not
// run or did not finish. Its standard output lands in `output` when given.
std::optional<int> runCommand(const std::vector<std::string>& argv, const Environment& env,
                              std::chrono::milliseconds limit, std::string* output = nullptr);

// Polls `condition` until it holds or `limit` passes; whether it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
               std::chrono::milliseconds every = std::chrono::milliseconds(10));

// Sets every variable of `env` in this process.
void applyEnvironment(const Environment& env);

}  // namespace sound
