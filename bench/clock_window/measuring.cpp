#include "measuring.h"

#include "form14/controls.h"
#include "form14/steps.h"

namespace bench {

using harness::milliseconds;

std::optional<harness::Window> shownWindow(const harness::XServer& server) {
    constexpr milliseconds kShowBound(10000);
    auto window = form14::findWindow(server, kShowBound);
    if (!window ||
        !window->waitForPixel(form14::kClockFace, form14::kClockFaceColour, kShowBound)) {
        return std::nullopt;
    }
    return window;
}

bool runsUntil(harness::Program& program, std::chrono::steady_clock::time_point until) {
    const auto bound =
        std::chrono::duration_cast<milliseconds>(until - std::chrono::steady_clock::now());
    return !harness::waitUntil([&] { return !program.running(); }, bound, milliseconds(200));
}

}  // namespace bench
