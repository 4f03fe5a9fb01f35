// The display check without xcb: whether an X server listens where DISPLAY says, against
// listeners that the test opens on display numbers nobody uses.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "display_check.h"

namespace {

class Listener {
  public:
    Listener(int domain, const sockaddr* address, socklen_t length)
        : fd_(::socket(domain, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        listening_ = fd_ >= 0 && ::bind(fd_, address, length) == 0 && ::listen(fd_, 4) == 0;
    }
    ~Listener() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    bool listening() const { return listening_; }

  private:
    int fd_;
    bool listening_ = false;
};

// An X server's two doors for display `number`, opened where both are free: its socket in the
// abstract namespace and its TCP port on the loopback address.
struct FakeServer {
    explicit FakeServer(int number) {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        sockaddr_un local{};
        local.sun_family = AF_UNIX;
        std::memcpy(local.sun_path + 1, path.data(), path.size());
        unix.emplace(AF_UNIX, reinterpret_cast<const sockaddr*>(&local),
                     socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + 1));
        sockaddr_in loopback{};
        loopback.sin_family = AF_INET;
        loopback.sin_port = htons(std::uint16_t(6000 + number));
        loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        tcp.emplace(AF_INET, reinterpret_cast<const sockaddr*>(&loopback),
                    socklen_t(sizeof loopback));
        open = unix->listening() && tcp->listening() && !std::filesystem::exists(path);
    }

    std::optional<Listener> unix, tcp;
    bool open = false;
};

// A display number with a fake server on it, and one with nothing there.
class XServerListensTest : public testing::Test {
  protected:
    void SetUp() override {
        for (int number = 4000; number < 5000 && (!server || empty < 0); ++number) {
            auto candidate = std::make_unique<FakeServer>(number);
            if (!candidate->open) {
                continue;
            }
            if (!server) {
                server = std::move(candidate);
                used = number;
            } else {
                empty = number;  // free a moment ago: closed again as the candidate goes
            }
        }
        ASSERT_TRUE(server && empty >= 0) << "no free display numbers from 4000 to 4999";
    }
    std::string at(int number, const std::string& before = "", const std::string& after = "") {
        return before + ":" + std::to_string(number) + after;
    }

    std::unique_ptr<FakeServer> server;
    int used = -1;
    int empty = -1;
};

TEST_F(XServerListensTest, FindsTheServerByEveryFormOfItsName) {
    for (const std::string& name :
         {at(used), at(used, "", ".0"), at(used, "unix"), at(used, "unix/"), at(used, "localhost"),
          at(used, "127.0.0.1", ".1"), at(used, "tcp/localhost")}) {
        EXPECT_TRUE(user32::xServerListens(name)) << name;
    }
}

TEST_F(XServerListensTest, FindsNothingWhereNoServerIsOrTheNameSaysNoDisplay) {
    for (const std::string& name :
         {at(empty), at(empty, "localhost"), at(empty, "unix"), std::string(""),
          std::string("nonsense"), std::string(":"), std::string(":x"), at(used, "", "x")}) {
        EXPECT_FALSE(user32::xServerListens(name)) << name;
    }
}

// The environment of the check: each case sets what it names and clears the rest.
class DisplayProblemTest : public XServerListensTest {
  protected:
    void set(const std::vector<std::pair<const char*, std::string>>& settings) {
        for (const char* name : kNames) {
            ::unsetenv(name);
        }
        for (const auto& [name, value] : settings) {
            ::setenv(name, value.c_str(), 1);
        }
    }
    void TearDown() override {
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i]) {
                ::setenv(kNames[i], saved_[i]->c_str(), 1);
            } else {
                ::unsetenv(kNames[i]);
            }
        }
    }

  private:
    static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    static std::optional<std::string> saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::optional<std::string> saved_[3] = {saved(kNames[0]), saved(kNames[1]), saved(kNames[2])};
};

TEST_F(DisplayProblemTest, SaysWhyThereIsNoDisplayAndNothingWhenThereIsOne) {
    set({});
    EXPECT_EQ(user32::displayProblem(),
              "no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)");
    set({{"DISPLAY", ""}});
    EXPECT_NE(user32::displayProblem(), "") << "an empty DISPLAY";
    set({{"DISPLAY", at(empty)}});
    EXPECT_EQ(user32::displayProblem(), "cannot connect to the display " + at(empty));
    set({{"DISPLAY", at(used)}});
    EXPECT_EQ(user32::displayProblem(), "");
    // Qt itself says what is wrong with another platform.
    set({{"WAYLAND_DISPLAY", "wayland-9"}});
    EXPECT_EQ(user32::displayProblem(), "");
    set({{"DISPLAY", at(empty)}, {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(user32::displayProblem(), "");
}

}  // namespace
