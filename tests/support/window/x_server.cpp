#include "x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <stdexcept>

#include "harness/text.h"

namespace harness {
namespace {

constexpr int kFirstDisplay = 100;
constexpr int kDisplayRange = 800;
constexpr int kAttempts = 40;
constexpr milliseconds kServerBound(10000);
constexpr milliseconds kWindowManagerBound(10000);

bool displayTaken(int number) {
    const std::string n = std::to_string(number);
    return std::filesystem::exists("/tmp/.X11-unix/X" + n) ||
           std::filesystem::exists("/tmp/.X" + n + "-lock");
}

// What Xvfb writes to -displayfd once it accepts connections; empty when it ended first.
std::string readReadyLine(int fd, milliseconds bound) {
    std::string line;
    const auto deadline = Clock::now() + bound;
    while (line.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd polled{fd, POLLIN, 0};
        if (poll(&polled, 1, 20) <= 0) {
            continue;
        }
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        line.append(buffer, static_cast<std::size_t>(n));
    }
    return line.find('\n') == std::string::npos ? std::string() : line;
}

}  // namespace

XServer::XServer(Options options) {
    const int start = static_cast<int>(getpid()) % kDisplayRange;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int number = kFirstDisplay + (start + attempt) % kDisplayRange;
        if (!displayTaken(number) && tryDisplay(number, options)) {
            setKeyboardLayouts(options.keyboardLayouts);
            if (options.windowManager) {
                startWindowManager();
            }
            return;
        }
    }
    throw std::runtime_error("no X server could be started: " +
                             fileText(directory_.path() / "xvfb.log"));
}

XServer::~XServer() {
    windowManager_.reset();
    server_.reset();
}

bool XServer::tryDisplay(int number, const Options& options) {
    std::array<int, 2> ready{};
    if (pipe2(ready.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe for Xvfb");
    }
    const std::string name = std::string(":").append(std::to_string(number));
    try {
        server_ = std::make_unique<Process>(
            // -noreset: by default the server resets when its last client leaves, and
            // refuses or drops the connections that arrive meanwhile.
            std::vector<std::string>{"Xvfb", name, "-screen", "0", options.screen, "-nolisten",
                                     "tcp", "-noreset", "-displayfd", std::to_string(ready[1])},
            inheritedEnvironment(), Output{{}, directory_.path() / "xvfb.log"}, ready[1]);
    } catch (...) {
        close(ready[0]);
        close(ready[1]);
        throw;
    }
    close(ready[1]);
    // The server itself says when it is ready, so no other server on a reused number can
    // answer in its place.
    const bool answered = !readReadyLine(ready[0], kServerBound).empty();
    close(ready[0]);
    if (!answered || !server_->running()) {
        server_.reset();
        return false;
    }
    display_ = name;
    toolEnvironment_ = inheritedEnvironment();
    toolEnvironment_["DISPLAY"] = display_;
    toolEnvironment_.erase("XAUTHORITY");
    toolEnvironment_.erase("WAYLAND_DISPLAY");
    if (!run({"xdpyinfo"}, kServerBound).succeeded()) {
        server_.reset();
        return false;
    }
    return true;
}

void XServer::setKeyboardLayouts(const std::string& layouts) {
    const auto result = run({"setxkbmap", "-layout", layouts});
    if (!result.succeeded()) {
        throw std::runtime_error("setxkbmap -layout " + layouts + ": " + result.standardError);
    }
}

void XServer::startWindowManager() {
    const auto home = directory_.path() / "home";
    std::filesystem::create_directories(home);
    Environment environment = toolEnvironment_;
    environment["HOME"] = home.string();
    environment["XDG_CONFIG_HOME"] = (home / ".config").string();
    windowManager_ = std::make_unique<Process>(std::vector<std::string>{"openbox"}, environment,
                                               Output{{}, directory_.path() / "openbox.log"});
    const bool managing = waitUntil(
        [this] {
            const auto check = run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"});
            return check.succeeded() &&
                   check.standardOutput.find("window id #") != std::string::npos;
        },
        kWindowManagerBound, milliseconds(20));
    if (!managing) {
        throw std::runtime_error("openbox did not start: " +
                                 fileText(directory_.path() / "openbox.log"));
    }
}

CommandResult XServer::run(const std::vector<std::string>& argv, milliseconds bound) const {
    return runCommand(argv, toolEnvironment_, bound);
}

}  // namespace harness
