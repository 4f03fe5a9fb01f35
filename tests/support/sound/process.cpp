#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

extern char** environ;

namespace sound {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::vector<std::string> mergedEnvironment(const Environment& env) {
    std::map<std::string, std::string> all;
    for (char** e = environ; *e != nullptr; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq != nullptr) {
            all[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
        }
    }
    for (const auto& [name, value] : env) {
        all[name] = value;
    }
    std::vector<std::string> out;
    for (const auto& [name, value] : all) {
        out.push_back(name + "=" + value);
    }
    return out;
}

std::string inPath(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    size_t from = 0;
    for (;;) {
        const size_t to = dirs.find(':', from);
        const std::string candidate = dirs.substr(from, to - from) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (to == std::string::npos) {
            return {};
        }
        from = to + 1;
    }
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) {
        out.push_back(s.data());
    }
    out.push_back(nullptr);
    return out;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Environment& env,
                           int stdoutFd, const std::filesystem::path& log) {
    // Everything the child needs is made before the fork: after it, only exec-safe calls.
    const std::string program = inPath(argv.at(0));
    std::vector<std::string> args = argv;
    std::vector<std::string> vars = mergedEnvironment(env);
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(vars);
    const std::string logPath = log.empty() ? "/dev/null" : log.string();
    int report[2];
    if (program.empty() || pipe2(report, O_CLOEXEC) != 0) {
        return;
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // A test that dies leaves no sound server behind.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(127);
        }
        const int in = open("/dev/null", O_RDONLY);
        const int out = stdoutFd >= 0 ? stdoutFd : open("/dev/null", O_WRONLY);
        const int err = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(program.c_str(), argp.data(), envp.data());
        const int e = errno;
        [[maybe_unused]] const ssize_t n = write(report[1], &e, sizeof e);
        _exit(127);
    }
    close(report[1]);
    int childErrno = 0;
    const bool execFailed = pid > 0 && read(report[0], &childErrno, sizeof childErrno) > 0;
    close(report[0]);
    if (pid > 0) {
        pid_ = pid;
        if (execFailed) {
            waitExit(3000ms);
            pid_ = -1;
        }
    }
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::running() {
    return started() && !waitExit(0ms);
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds limit) {
    if (!started() || exitCode_) {
        return exitCode_;
    }
    const auto deadline = Clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || r < 0) {
            exitCode_ = (r == pid_ && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
            return exitCode_;
        }
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(5ms);
    }
}

void ChildProcess::stop() {
    if (!started() || exitCode_) {
        return;
    }
    kill(pid_, SIGTERM);
    if (!waitExit(3000ms)) {
        kill(pid_, SIGKILL);
        waitExit(3000ms);
    }
}

std::optional<int> runCommand(const std::vector<std::string>& argv, const Environment& env,
                              std::chrono::milliseconds limit, std::string* output) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    ChildProcess child(argv, env, fds[1]);
    close(fds[1]);
    std::string out;
    const auto deadline = Clock::now() + limit;
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n == 0 || (n < 0 && errno != EAGAIN) || Clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(2ms);
    }
    close(fds[0]);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const std::optional<int> code = child.waitExit(std::max(left, 0ms));
    if (output != nullptr) {
        *output = out;
    }
    return child.started() ? code : std::nullopt;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
               std::chrono::milliseconds every) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(every);
    }
    return true;
}

void applyEnvironment(const Environment& env) {
    for (const auto& [name, value] : env) {
        setenv(name.c_str(), value.c_str(), 1);
    }
}

}  // namespace sound
