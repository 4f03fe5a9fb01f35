#include "fakes.h"

#include <algorithm>

namespace fakes {

int RecordingPlayer::count(const std::string& entry) const {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

void ScriptedDialog::showOpen() {
    ++shown;
    if (whileOpen) {
        whileOpen();
    }
    if (answers.empty()) {
        return;
    }
    if (answers.front()) {
        fileName_ = *answers.front();
    }
    answers.pop_front();
}

double secondsOf(const rt::LocalReading& reading) {
    return static_cast<double>(reading.day) * 86400.0 + reading.secondsOfDay;
}

FakeClockWake::FakeClockWake(rt::FakeClock& clock) : clock_(clock) {
    post_.setSingleShot(true);
    QObject::connect(&post_, &QTimer::timeout, &post_, [this] {
        armed = false;
        wake();
    });
    clock_.onMove([this](bool wallSet) { moved(wallSet); });
}

void FakeClockWake::arm(double seconds) {
    armed = true;
    due = secondsOf(clock_.now()) + seconds;
    post_.stop();
}

void FakeClockWake::disarm() {
    armed = false;
    post_.stop();
}

void FakeClockWake::wakeEarly() {
    if (armed) {
        post_.start(0);
    }
}

void FakeClockWake::moved(bool wallSet) {
    if (armed && (wallSet || secondsOf(clock_.now()) >= due)) {
        post_.start(0);
    }
}

}  // namespace fakes
