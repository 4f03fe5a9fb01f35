#include "display_check.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>

#ifdef USER32_WITH_XCB
#include <xcb/xcb.h>
#endif

namespace user32 {

namespace {

bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

struct Address {
    std::string protocol;  // empty when the name gives none
    std::string host;      // empty for this machine's local socket
    int number = 0;
};

std::optional<Address> parse(std::string_view name) {
    Address address;
    const size_t colon = name.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view host = name.substr(0, colon);
    if (const size_t slash = host.find('/'); slash != std::string_view::npos) {
        address.protocol = host.substr(0, slash);
        host.remove_prefix(slash + 1);
    }
    address.host = host;
    const std::string_view rest = name.substr(colon + 1);
    const auto [end, error] =
        std::from_chars(rest.data(), rest.data() + rest.size(), address.number);
    if (error != std::errc() || end == rest.data() ||
        (end != rest.data() + rest.size() && *end != '.')) {
        return std::nullopt;
    }
    return address;
}

class Socket {
  public:
    explicit Socket(int domain) : fd_(::socket(domain, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool connect(const sockaddr* address, socklen_t length) {
        return fd_ >= 0 && ::connect(fd_, address, length) == 0;
    }

  private:
    int fd_;
};

// The local socket, first in the abstract namespace, where Linux servers listen too.
bool unixListens(int number) {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    // An abstract name has a zero byte before it, a path one after it.
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    for (const size_t offset : {1, 0}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + offset, path.data(), path.size());
        if (Socket(AF_UNIX).connect(reinterpret_cast<const sockaddr*>(&address), length)) {
            return true;
        }
    }
    return false;
}

bool tcpListens(const std::string& host, int number) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(6000 + number).c_str(), &hints, &found) != 0) {
        return false;
    }
    bool listens = false;
    for (const addrinfo* a = found; a != nullptr && !listens; a = a->ai_next) {
        listens = Socket(a->ai_family).connect(a->ai_addr, a->ai_addrlen);
    }
    ::freeaddrinfo(found);
    return listens;
}

// Whether the program can open a connection to the display `name`.
bool reachable(const std::string& name) {
#ifdef USER32_WITH_XCB
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    return !failed;
#else
    return xServerListens(name);
#endif
}

}  // namespace

bool xServerListens(std::string_view name) {
    const std::optional<Address> address = parse(name);
    if (!address) {
        return false;
    }
    const bool local = address->host.empty() || address->host == "unix";
    if (address->protocol == "unix" || (address->protocol != "tcp" && local)) {
        return unixListens(address->number);
    }
    return tcpListens(local ? "localhost" : address->host, address->number);
}

std::string displayProblem() {
    if (named("QT_QPA_PLATFORM") || named("WAYLAND_DISPLAY")) {
        return "";
    }
    if (!named("DISPLAY")) {
        return "no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)";
    }
    const std::string display = std::getenv("DISPLAY");
    return reachable(display) ? "" : "cannot connect to the display " + display;
}

}  // namespace user32
