#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/process.h"
#include "harness/temp_dir.h"

namespace harness {

class XServer;

struct ProgramOptions {
    std::string display;  // empty: no DISPLAY at all
    bool sound = false;   // false: SDL_AUDIODRIVER=dummy
    Environment extra;    // set last, over the defaults
    std::vector<std::string> arguments;
};

// Options for a program shown on `server`.
ProgramOptions on(const XServer& server);

// The program under test, run with an environment of its own: private HOME and
// XDG_RUNTIME_DIR, a C.UTF-8 locale, PATH, and what the options add. Its standard output and
// error are kept for the test to read. Ended with this object if still running.
class Program {
  public:
    Program(const std::filesystem::path& binary, const ProgramOptions& options);

    pid_t pid() const { return process_->pid(); }
    bool running() { return process_->running(); }
    std::optional<ExitStatus> waitForExit(milliseconds bound) {
        return process_->waitForExit(bound);
    }
    void signal(int number) { process_->signal(number); }
    ExitStatus stop(milliseconds grace = milliseconds(2000)) { return process_->stop(grace); }

    std::string standardOutput() const;
    std::string standardError() const;
    // How often the program's main thread has gone to sleep of its own accord: each wake-up
    // ends in one. nullopt once the program is gone.
    std::optional<long> wakeUps() const;
    const Environment& environment() const { return environment_; }
    std::filesystem::path home() const { return directory_.path() / "home"; }

  private:
    TempDir directory_{"program"};
    Environment environment_;
    std::unique_ptr<Process> process_;
};

}  // namespace harness
