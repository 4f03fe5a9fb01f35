#pragma once

#include <stdexcept>
#include <string>

namespace rt {

// A failed step of a procedure. It is thrown where the step fails and passes up through every
// caller to the event boundary, which decides what the user sees of it.
class Failure : public std::runtime_error {
  public:
    Failure(int number, const std::string& text) : std::runtime_error(text), number_(number) {}
    int number() const { return number_; }

  private:
    int number_;
};

// Failure numbers, one for each kind of failed step.
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kDivisionByZero = 11;
inline constexpr int kTypeMismatch = 13;

}  // namespace rt
