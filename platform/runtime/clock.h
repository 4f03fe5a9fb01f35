#pragma once

#include <cstdint>
#include <functional>

namespace rt {

// One reading of the local wall clock.
struct LocalReading {
    std::int64_t day = 0;       // days since 30 December 1899 (day 0)
    double secondsOfDay = 0.0;  // seconds since local midnight, 0 <= value < 86400
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalReading now() const = 0;
    // Seconds on a clock that only moves forward and goes on while the machine sleeps; setting
    // the date, the time or the zone leaves it. Only differences of two readings mean anything.
    virtual double forwardSeconds() const = 0;
};

// The system's local time, as the user's time zone gives it, and the time since boot.
class SystemClock : public Clock {
  public:
    LocalReading now() const override;
    double forwardSeconds() const override;
};

// A clock that stands still until told to move; tests use it.
class FakeClock : public Clock {
  public:
    // The wall clock is set to this moment; the forward clock stays.
    void set(int year, int month, int day, int hour, int minute, double second);
    // Time passes, whether the machine runs or sleeps: both clocks move on. Never backwards.
    void advance(double seconds);
    // The wall clock alone moves, either way: set by hand, daylight saving, another time zone.
    void shiftWall(double seconds);
    LocalReading now() const override { return reading_; }
    double forwardSeconds() const override { return forward_; }

    // Told after each move: `wallSet` when the clock was set rather than time passing.
    void onMove(std::function<void(bool wallSet)> listener) { moved_ = std::move(listener); }

  private:
    void moveWall(double seconds);
    void tell(bool wallSet) const;

    LocalReading reading_;
    double forward_ = 0.0;
    std::function<void(bool)> moved_;
};

// Day number (day 0 = 30 December 1899) of a proleptic Gregorian date, and back.
std::int64_t dayNumber(int year, int month, int day);
struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};
CivilDate civilDate(std::int64_t dayNumber);

}  // namespace rt
