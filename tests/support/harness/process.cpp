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

#include "reaper.h"

namespace harness {
namespace {

// A descriptor closed with its owner.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&&) = delete;
    ~Fd() { reset(); }

    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = -1;
    }

  private:
    int fd_;
};

struct Pipe {
    Fd read;
    Fd write;
};

[[noreturn]] void fail(const std::string& what, int error) {
    throw std::runtime_error(what + ": " + std::strerror(error));
}

// Both ends close on exec, so that no other child keeps them open.
Pipe makePipe() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        fail("pipe", errno);
    }
    return Pipe{Fd(ends[0]), Fd(ends[1])};
}

Fd openForChild(const Sink& sink, int flags) {
    if (sink.fd >= 0) {
        const int copy = fcntl(sink.fd, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) {
            fail("dup", errno);
        }
        return Fd(copy);
    }
    const char* name = sink.file.empty() ? "/dev/null" : sink.file.c_str();
    const int fd = open(name, flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        fail(std::string("cannot open ") + name, errno);
    }
    return Fd(fd);
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
    // The kernel's half of the watch: SIGTERM when the test dies; the reaper sends SIGKILL.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
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
    Pipe report = makePipe();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        becomeChild(parent, fds, argp.data(), envp.data(), report.write.get());
    }
    if (pid < 0) {
        fail("fork", errno);
    }
    report.write.reset();
    int error = 0;
    if (read(report.read.get(), &error, sizeof error) == static_cast<ssize_t>(sizeof error)) {
        waitpid(pid, nullptr, 0);
        fail("cannot run " + argv[0], error);
    }
    return pid;
}

ExitStatus statusFrom(int raw) {
    if (WIFEXITED(raw)) {
        return {true, WEXITSTATUS(raw)};
    }
    return {false, WIFSIGNALED(raw) ? WTERMSIG(raw) : 0};
}

// Reads whatever comes on the pipes within `timeoutMs`; a pipe at its end is closed.
void drain(const std::array<Fd*, 2>& pipes, const std::array<std::string*, 2>& sinks,
           int timeoutMs) {
    std::array<pollfd, 2> polled{};
    for (int i = 0; i < 2; ++i) {
        polled[i] = {pipes[i]->get(), POLLIN, 0};
    }
    if (poll(polled.data(), polled.size(), timeoutMs) <= 0) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (pipes[i]->get() < 0 || polled[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = read(pipes[i]->get(), buffer, sizeof buffer);
        if (n > 0) {
            sinks[i]->append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            pipes[i]->reset();
        }
    }
}

milliseconds left(Clock::time_point deadline) {
    return std::max(milliseconds(0),
                    std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
}

}  // namespace

std::string joined(const std::vector<std::string>& argv) {
    std::string text;
    for (const std::string& arg : argv) {
        text.append(text.empty() ? "" : " ").append(arg);
    }
    return text;
}

Process::Process(const std::vector<std::string>& argv, const Environment& environment,
                 const Output& output, int keepOpenFd) {
    const Fd in = openForChild({}, O_RDONLY);
    const Fd out = openForChild(output.standardOutput, O_WRONLY | O_CREAT | O_TRUNC);
    const Fd err = openForChild(output.standardError, O_WRONLY | O_CREAT | O_TRUNC);
    pid_ = spawn(argv, environment, {in.get(), out.get(), err.get(), keepOpenFd});
    watchOver(pid_);
}

Process::~Process() {
    if (!status_) {
        stop();
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
    Pipe out = makePipe();
    Pipe err = makePipe();
    Process child(argv, environment,
                  Output{Sink::descriptor(out.write.get()), Sink::descriptor(err.write.get())});
    out.write.reset();
    err.write.reset();
    CommandResult result;
    const auto deadline = Clock::now() + bound;
    while ((out.read.get() >= 0 || err.read.get() >= 0) && Clock::now() < deadline) {
        drain({&out.read, &err.read}, {&result.standardOutput, &result.standardError}, 20);
    }
    const auto status = child.waitForExit(left(deadline));
    result.timedOut = !status;
    result.status = status ? *status : child.stop();
    return result;
}

}  // namespace harness
