#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace forms {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop, where it is safe to act.
// One at a time; the handlers are put back as they were when it goes.
class SignalWatch {
  public:
    explicit SignalWatch(std::function<void()> onSignal);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

  private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace forms
