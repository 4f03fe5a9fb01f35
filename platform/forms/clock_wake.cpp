#include "clock_wake.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cmath>
#include <cstdint>

namespace forms {
namespace {

timespec plus(timespec from, double seconds) {
    const double whole = std::floor(seconds);
    from.tv_sec += static_cast<time_t>(whole);
    from.tv_nsec += static_cast<long>((seconds - whole) * 1e9);
    if (from.tv_nsec >= 1000000000L) {
        from.tv_nsec -= 1000000000L;
        ++from.tv_sec;
    }
    return from;
}

}  // namespace

SystemClockWake::SystemClockWake() {
    fd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                         [this] { ready(); });
    }
    fallback_.setSingleShot(true);
    fallback_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&fallback_, &QTimer::timeout, &fallback_, [this] { wake(); });
}

SystemClockWake::~SystemClockWake() {
    notifier_.reset();
    if (fd_ >= 0) {
        close(fd_);
    }
}

void SystemClockWake::arm(double seconds) {
    seconds = std::max(seconds, 0.0);
    if (fd_ < 0) {
        fallback_.start(static_cast<int>(std::ceil(seconds * 1000.0)));
        return;
    }
    // Absolute, so that the wake-up falls on the wall clock's moment however long the machine
    // slept; the expiry is never before that moment.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    itimerspec when{};
    when.it_value = plus(now, seconds);
    timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr);
}

void SystemClockWake::disarm() {
    fallback_.stop();
    if (fd_ >= 0) {
        const itimerspec off{};
        timerfd_settime(fd_, 0, &off, nullptr);
    }
}

bool SystemClockWake::armed() const {
    if (fd_ < 0) {
        return fallback_.isActive();
    }
    itimerspec current{};
    timerfd_gettime(fd_, &current);
    return current.it_value.tv_sec != 0 || current.it_value.tv_nsec != 0;
}

void SystemClockWake::ready() {
    std::uint64_t expirations = 0;
    const ssize_t got = read(fd_, &expirations, sizeof expirations);
    if (got == static_cast<ssize_t>(sizeof expirations) || (got < 0 && errno == ECANCELED)) {
        wake();
    }
}

}  // namespace forms
