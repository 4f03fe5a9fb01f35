#pragma once

#include <QTimer>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace forms {

// Wakes its owner once a stretch of wall-clock time has passed, and at once when the wall clock
// is set (by hand, by time synchronisation, or on a resume from suspend).
class ClockWake {
  public:
    virtual ~ClockWake() = default;
    // One wake-up `seconds` of wall-clock time from now; replaces any wake-up armed before.
    virtual void arm(double seconds) = 0;
    virtual void disarm() = 0;
    void onWake(std::function<void()> handler) { wake_ = std::move(handler); }

  protected:
    void wake() const {
        if (wake_) {
            wake_();
        }
    }

  private:
    std::function<void()> wake_;
};

// Linux's wall clock: a timerfd on CLOCK_REALTIME armed for an absolute moment with
// TFD_TIMER_CANCEL_ON_SET, watched by the event loop. Where the kernel has no such timer, a plain
// timer of the event loop stands in, which misses a setting of the clock.
class SystemClockWake : public ClockWake {
  public:
    SystemClockWake();
    ~SystemClockWake() override;
    SystemClockWake(const SystemClockWake&) = delete;
    SystemClockWake& operator=(const SystemClockWake&) = delete;

    void arm(double seconds) override;
    void disarm() override;
    bool armed() const;
    // The timerfd, or -1 where the plain timer stands in.
    int descriptor() const { return fd_; }

    // What the event loop runs when the descriptor is ready: an expiry and a setting of the
    // clock (the read fails with ECANCELED) both wake.
    void ready();

  private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer fallback_;
};

}  // namespace forms
