#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QTimer>

#include "clock.h"
#include "clock_wake.h"
#include "common_dialog.h"
#include "multimedia_control.h"

namespace fakes {

// Writes down every property set, in order: "DeviceType=", "FileName=<path>", "Open", ...
class RecordingPlayer : public player::MultimediaControl {
  public:
    void setDeviceType(const std::string& type) override { log.push_back("DeviceType=" + type); }
    void setFileName(const std::string& path) override { log.push_back("FileName=" + path); }
    void setCommand(const std::string& command) override {
        log.push_back(command);
        if (onCommand) {
            onCommand(command);
        }
    }

    int count(const std::string& entry) const;
    std::vector<std::string> log;
    std::function<void(const std::string&)> onCommand;
};

// Answers each showOpen with the next scripted answer: a path is a pick, nullopt a cancel.
// `whileOpen` runs inside showOpen, as the ticks of the event loop would.
class ScriptedDialog : public dialogs::CommonDialog {
  public:
    void showOpen() override;
    std::string fileName() const override { return fileName_; }

    std::deque<std::optional<std::string>> answers;
    std::function<void()> whileOpen;
    int shown = 0;

  private:
    std::string fileName_;
};

// Wakes through the event loop once the fake clock has moved past the armed moment, and at once
// when the clock is set. `wakeEarly` is a wake-up that comes before its moment.
class FakeClockWake : public forms::ClockWake {
  public:
    explicit FakeClockWake(rt::FakeClock& clock);
    void arm(double seconds) override;
    void disarm() override;
    void wakeEarly();

    bool armed = false;
    double due = 0;  // seconds since day 0 on the fake clock

  private:
    void moved(bool wallSet);

    rt::FakeClock& clock_;
    QTimer post_;
};

// Seconds since day 0 of a reading.
double secondsOf(const rt::LocalReading& reading);

}  // namespace fakes
