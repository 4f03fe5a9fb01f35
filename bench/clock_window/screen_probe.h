#pragma once

#include <memory>
#include <optional>
#include <string>

#include "window/screenshot.h"
#include "window/window.h"

namespace bench {

// Looks at the screen through its own X connection, a millisecond a look, so that a start can
// be timed to its first paint; a screenshot tool takes tens of milliseconds to look once.
class ScreenProbe {
  public:
    // Throws std::runtime_error when the display cannot be opened.
    explicit ScreenProbe(const std::string& display);
    ~ScreenProbe();
    ScreenProbe(const ScreenProbe&) = delete;
    ScreenProbe& operator=(const ScreenProbe&) = delete;

    // The colour shown at `at` in the client area of the viewable top-level window titled
    // `title`; nullopt while there is no such window.
    std::optional<harness::Rgb> look(const std::string& title, harness::Point at);
    bool showing(const std::string& title);
    // The raw pixels of a part of that window's client area, for comparing two looks.
    std::optional<std::string> region(const std::string& title, harness::Geometry area);

  private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

}  // namespace bench
