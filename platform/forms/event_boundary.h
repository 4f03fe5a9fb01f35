#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>

namespace forms {

// Where a failure that left an event procedure ends. The window goes on; the failure is written
// to the error stream once: again only when a different failure comes from that procedure, or
// after the procedure has since run without failing. A failure repeated on every tick is thus
// written once, not a hundred times a second.
class EventBoundary {
  public:
    explicit EventBoundary(std::ostream& errors) : errors_(errors) {}

    // Runs one event procedure; never throws.
    void run(const std::string& procedure, const std::function<void()>& body);

  private:
    void report(const std::string& procedure, const std::string& text);

    std::ostream& errors_;
    std::map<std::string, std::string> reported_;  // procedure -> failure last written
};

}  // namespace forms
