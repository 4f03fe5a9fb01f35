#include "event_boundary.h"

#include <exception>

#include "failure.h"

namespace forms {

void EventBoundary::run(const std::string& procedure, const std::function<void()>& body) {
    try {
        body();
        reported_.erase(procedure);
    } catch (const rt::Failure& failure) {
        report(procedure, "failure " + std::to_string(failure.number()) + ": " + failure.what());
    } catch (const std::exception& failure) {
        report(procedure, std::string("failure: ") + failure.what());
    }
}

void EventBoundary::report(const std::string& procedure, const std::string& text) {
    auto [it, fresh] = reported_.try_emplace(procedure, text);
    if (!fresh && it->second == text) {
        return;
    }
    it->second = text;
    errors_ << procedure << ": " << text << std::endl;
}

}  // namespace forms
