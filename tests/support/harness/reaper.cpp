#include "reaper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "process.h"

namespace harness {
namespace {

// The reaper is a fork of a process that may run other threads, and it never execs: from the
// fork on it makes system calls only, with no allocation and no locks.
constexpr int kControl = 3;
constexpr int kMostWatched = 256;

// Straight to the kernel: some C libraries declare these without C linkage for C++.
int openPidfd(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

void sendSignal(int pidfd, int number) {
    syscall(SYS_pidfd_send_signal, pidfd, number, nullptr, 0);
}

struct Watched {
    pollfd polled[1 + kMostWatched];  // the control socket, then a pidfd for each child
    int count = 0;                    // children
};

// Forgets the children whose pidfds say they ended.
void dropEnded(Watched& watched) {
    int kept = 0;
    for (int i = 1; i <= watched.count; ++i) {
        if (watched.polled[i].revents != 0) {
            close(watched.polled[i].fd);
        } else {
            watched.polled[++kept] = watched.polled[i];
        }
    }
    watched.count = kept;
}

// A message of one byte that carries one descriptor, as both ends of the socket build it.
struct DescriptorMessage {
    DescriptorMessage() {
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
    }
    DescriptorMessage(const DescriptorMessage&) = delete;
    DescriptorMessage& operator=(const DescriptorMessage&) = delete;

    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    char byte = 0;
    iovec data{&byte, 1};
    msghdr message{};
};

// Takes in one more child's pidfd; false once the socket closed: the test is gone.
bool receive(Watched& watched) {
    DescriptorMessage received;
    const ssize_t n = recvmsg(kControl, &received.message, MSG_CMSG_CLOEXEC);
    if (n <= 0) {
        return n < 0 && errno == EINTR;
    }
    const cmsghdr* header = CMSG_FIRSTHDR(&received.message);
    if (header == nullptr || header->cmsg_type != SCM_RIGHTS) {
        return true;
    }
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
    if (watched.count < kMostWatched) {
        watched.polled[++watched.count] = {fd, POLLIN, 0};
    } else {
        close(fd);
    }
    return true;
}

long long nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

void signalAll(const Watched& watched, int number) {
    for (int i = 1; i <= watched.count; ++i) {
        sendSignal(watched.polled[i].fd, number);
    }
}

[[noreturn]] void endAll(Watched& watched) {
    signalAll(watched, SIGTERM);
    const long long deadline = nowMs() + kStopGrace.count();
    for (long long left = kStopGrace.count(); watched.count > 0 && left > 0;
         left = deadline - nowMs()) {
        if (poll(watched.polled + 1, watched.count, static_cast<int>(left)) > 0) {
            dropEnded(watched);
        }
    }
    signalAll(watched, SIGKILL);
    _exit(0);
}

[[noreturn]] void reap(int control) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(number, &ignore, nullptr);
    }
    // Only the socket stays open, so that the reaper holds no pipe of the test's open.
    dup2(control, kControl);
    close_range(kControl + 1, ~0U, 0);
    const int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; ++fd) {
        dup2(null, fd);
    }
    if (null > kControl) {
        close(null);
    }
    Watched watched;
    watched.polled[0] = {kControl, POLLIN, 0};
    for (;;) {
        if (poll(watched.polled, 1 + watched.count, -1) < 0) {
            continue;
        }
        dropEnded(watched);
        if (watched.polled[0].revents != 0 && !receive(watched)) {
            endAll(watched);
        }
    }
}

int startReaper() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        reap(ends[1]);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return -1;
    }
    return ends[0];
}

void sendDescriptor(int socket, int fd) {
    DescriptorMessage sent;
    cmsghdr* header = CMSG_FIRSTHDR(&sent.message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof fd);
    std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
    sendmsg(socket, &sent.message, MSG_NOSIGNAL);
}

std::mutex reaperMutex;
int toReaper = -1;

}  // namespace

// Without a reaper the kernel's SIGTERM on the test's death (see Process) is all there is.
void watchOver(pid_t child) {
    const std::lock_guard lock(reaperMutex);
    if (toReaper < 0) {
        toReaper = startReaper();
    }
    const int fd = openPidfd(child);
    if (fd < 0) {
        return;
    }
    if (toReaper >= 0) {
        sendDescriptor(toReaper, fd);
    }
    close(fd);
}

}  // namespace harness
