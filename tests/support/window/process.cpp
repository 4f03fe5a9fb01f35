#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace harness {
namespace {

// Both ends close on exec, so that no other child keeps them open.
std::array<int, 2> makePipe() {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    return ends;
}

int openForChild(const std::filesystem::path& path, int flags) {
    const char* name = path.empty() ? "/dev/null" : path.c_str();
    const int fd = open(name, flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + std::string(name) + ": " + std::strerror(errno));
    }
    return fd;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

struct ChildFds {
    int in;
    int out;
    int err;
    int keepOpen;
};

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void becomeChild(pid_t parent, const ChildFds& fds, char** argv, char** envp,
                              int report) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(127);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    dup2(fds.in, 0);
    dup2(fds.out, 1);
    dup2(fds.err, 2);
    if (fds.keepOpen >= 0) {
        fcntl(fds.keepOpen, F_SETFD, 0);
    }
    execvpe(argv[0], argv, envp);
    const int error = errno;
    [[maybe_unused]] ssize_t written = write(report, &error, sizeof error);
    _exit(127);
}

pid_t spawn(const std::vector<std::string>& argv, const Environment& environment,
            const ChildFds& fds) {
    if (argv.empty()) {
        throw std::invalid_argument("no program to run");
    }
    std::vector<std::string> args = argv;
    std::vector<std::string> vars;
    for (const auto& [name, value] : environment) {
        vars.push_back(name + "=" + value);
    }
    std::vector<char*> argp = pointersTo(args);
    std::vector<char*> envp = pointersTo(vars);
    const auto report = makePipe();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        becomeChild(parent, fds, argp.data(), envp.data(), report[1]);
    }
    close(report[1]);
    int error = 0;
    const ssize_t got = pid < 0 ? 0 : read(report[0], &error, sizeof error);
    close(report[0]);
    if (pid < 0) {
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (got == static_cast<ssize_t>(sizeof error)) {
        waitpid(pid, nullptr, 0);
        throw std::runtime_error("cannot run " + argv[0] + ": " + std::strerror(error));
    }
    return pid;
}

ExitStatus statusFrom(int raw) {
    if (WIFEXITED(raw)) {
        return {true, WEXITSTATUS(raw)};
    }
    return {false, WIFSIGNALED(raw) ? WTERMSIG(raw) : 0};
}

// Reads whatever is ready on the two pipes; an end at EOF is closed and set to -1.
void drain(std::array<int, 2>& fds, std::array<std::string*, 2> sinks, int timeoutMs) {
    std::array<pollfd, 2> polled{};
    for (int i = 0; i < 2; ++i) {
        polled[i] = {fds[i], POLLIN, 0};
    }
    if (poll(polled.data(), polled.size(), timeoutMs) <= 0) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (fds[i] < 0 || polled[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = read(fds[i], buffer, sizeof buffer);
        if (n > 0) {
            sinks[i]->append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            close(fds[i]);
            fds[i] = -1;
        }
    }
}

}  // namespace

Environment inheritedEnvironment() {
    Environment result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            result[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    return result;
}

std::string joined(const std::vector<std::string>& argv) {
    std::string text;
    for (const std::string& arg : argv) {
        text.append(text.empty() ? "" : " ").append(arg);
    }
    return text;
}

Process::Process(const std::vector<std::string>& argv, const Environment& environment,
                 const Output& output, int keepOpenFd) {
    const int in = openForChild({}, O_RDONLY);
    const int out = openForChild(output.standardOutput, O_WRONLY | O_CREAT | O_TRUNC);
    const int err = openForChild(output.standardError, O_WRONLY | O_CREAT | O_TRUNC);
    try {
        pid_ = spawn(argv, environment, {in, out, err, keepOpenFd});
    } catch (...) {
        close(in);
        close(out);
        close(err);
        throw;
    }
    close(in);
    close(out);
    close(err);
}

Process::~Process() {
    if (pid_ > 0 && !status_) {
        stop(milliseconds(1000));
    }
}

bool Process::reap(int options) {
    if (status_) {
        return true;
    }
    int raw = 0;
    const pid_t got = waitpid(pid_, &raw, options);
    if (got == pid_) {
        status_ = statusFrom(raw);
    } else if (got < 0 && errno == ECHILD) {
        status_ = ExitStatus{false, 0};  // reaped elsewhere; nothing left to end
    }
    return status_.has_value();
}

bool Process::running() {
    return !reap(WNOHANG);
}

std::optional<ExitStatus> Process::waitForExit(milliseconds bound) {
    waitUntil([this] { return reap(WNOHANG); }, bound, milliseconds(2));
    return status_;
}

void Process::signal(int number) {
    if (running()) {
        ::kill(pid_, number);
    }
}

ExitStatus Process::stop(milliseconds grace) {
    signal(SIGTERM);
    if (!waitForExit(grace)) {
        signal(SIGKILL);
        waitForExit(milliseconds(10000));
    }
    return status_.value_or(ExitStatus{false, SIGKILL});
}

CommandResult runCommand(const std::vector<std::string>& argv, const Environment& environment,
                         milliseconds bound) {
    auto out = makePipe();
    auto err = makePipe();
    const int in = openForChild({}, O_RDONLY);
    CommandResult result;
    pid_t pid = -1;
    try {
        pid = spawn(argv, environment, {in, out[1], err[1], -1});
    } catch (...) {
        for (int fd : {in, out[0], out[1], err[0], err[1]}) {
            close(fd);
        }
        throw;
    }
    for (int fd : {in, out[1], err[1]}) {
        close(fd);
    }
    std::array<int, 2> reading{out[0], err[0]};
    const auto deadline = Clock::now() + bound;
    while ((reading[0] >= 0 || reading[1] >= 0) && Clock::now() < deadline) {
        drain(reading, {&result.standardOutput, &result.standardError}, 20);
    }
    for (int fd : reading) {
        if (fd >= 0) {
            close(fd);
        }
    }
    int raw = 0;
    const bool ended =
        waitUntil([&] { return waitpid(pid, &raw, WNOHANG) == pid; },
                  std::max(milliseconds(0),
                           std::chrono::duration_cast<milliseconds>(deadline - Clock::now())),
                  milliseconds(1));
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &raw, 0);
        result.timedOut = true;
    }
    result.status = statusFrom(raw);
    return result;
}

}  // namespace harness
