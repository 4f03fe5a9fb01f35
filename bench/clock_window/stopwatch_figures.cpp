#include <cmath>
#include <cstdio>
#include <ctime>

#include "figures.h"
#include "form14/controls.h"
#include "form14/steps.h"
#include "measuring.h"
#include "process_stats.h"

namespace bench {

using form14::ClickTime;
using form14::Steady;
using form14::Wall;
namespace {

std::optional<double> stopwatchDial(const harness::Window& window) {
    const auto text = window.readLineEdit(form14::kStopwatchDial.centre());
    return text ? form14::stopwatchSeconds(*text) : std::nullopt;
}

// A time zone with no offset from UTC whose summer time, an hour ahead, begins (or ends)
// `seconds` from now, so that the program's wall clock jumps while it runs, as it does on the
// night of a change. The rules name the day of the year counted from 0, leap days included.
std::string zoneChangingIn(int seconds, bool begins) {
    const std::time_t change = std::time(nullptr) + seconds;
    // The rule's time is on the clock in force before the change: summer time before an end.
    const std::time_t ruleTime = begins ? change : change + 3600;
    std::tm at{};
    gmtime_r(&ruleTime, &at);
    const std::string rule =
        formatted("%d/%02d:%02d:%02d", at.tm_yday, at.tm_hour, at.tm_min, at.tm_sec);
    // The other change half a year away, so that now lies on the right side of both.
    const std::string far = formatted("%d/02:00:00", (at.tm_yday + (begins ? 180 : 185)) % 365);
    return "XST0XDT," + (begins ? rule + "," + far : far + "," + rule);
}

// The stopwatch of a program of its own, started and later paused by clicks timed around
// them; the window's clock dial is read at both ends to see what the wall clock did.
class StopwatchRun {
  public:
    StopwatchRun(const Settings& settings, const harness::Environment& extra)
        : program_(settings.program, withExtra(server_, extra)), window_(shownWindow(server_)) {
        if (!window_) {
            problem = "no face within 10 s";
        }
    }

    void start() {
        if (problem) {
            return;
        }
        clockBefore_ = readClock();
        start_ = form14::timedClick(server_, *window_, form14::kStopwatchStartPause.centre());
    }

    // Pauses at `seconds` after the start and reads the stopwatch.
    void pauseAfter(int seconds) {
        if (problem) {
            return;
        }
        if (!runsUntil(program_, start_.after + std::chrono::seconds(seconds))) {
            problem = "the program ended";
            return;
        }
        pause_ = form14::timedClick(server_, *window_, form14::kStopwatchStartPause.centre());
        clockAfter_ = readClock();
        dial = window_->readLineEdit(form14::kStopwatchDial.centre()).value_or("");
        shown = form14::stopwatchSeconds(dial);
        if (!shown) {
            problem = "the dial reads \"" + dial + "\"";
        }
    }

    // Click to click, each click taken at the middle of the readings around it.
    double elapsed() const {
        return form14::secondsBetween(start_.before, pause_.before) / 2 +
               form14::secondsBetween(start_.after, pause_.after) / 2;
    }
    double spread() const {
        return (form14::secondsBetween(start_.before, start_.after) +
                form14::secondsBetween(pause_.before, pause_.after)) /
               2;
    }
    // How far the window's clock moved beyond the time between the clicks, to a second or two.
    std::optional<double> clockJump() const {
        if (!clockBefore_ || !clockAfter_) {
            return std::nullopt;
        }
        const double moved = std::remainder(*clockAfter_ - *clockBefore_ - elapsed(), 86400.0);
        return moved;
    }

    std::optional<std::string> problem;
    std::string dial;
    std::optional<double> shown;

  private:
    static harness::ProgramOptions withExtra(const harness::XServer& server,
                                             const harness::Environment& extra) {
        harness::ProgramOptions options = harness::on(server);
        options.extra = extra;
        return options;
    }
    std::optional<int> readClock() const {
        return form14::clockSeconds(
            window_->readLineEdit(form14::kClockDial.centre()).value_or(""));
    }

    harness::XServer server_;
    harness::Program program_;
    std::optional<harness::Window> window_;
    ClickTime start_;
    ClickTime pause_;
    std::optional<int> clockBefore_;
    std::optional<int> clockAfter_;
};

// The stopwatch's reading against the time between the clicks; `note` adds to what is said
// in brackets.
std::string driftFigure(const std::string& what, const StopwatchRun& run,
                        const std::string& note = "") {
    if (run.problem) {
        return what + ": not measured, " + *run.problem + " (target within 0.1 s)";
    }
    return formatted(
        "%s: off by %+.3f s (dial %s, %.3f ± %.3f s between the clicks; the dial cuts to "
        "tenths%s) (target within 0.1 s)",
        what.c_str(), *run.shown - run.elapsed(), run.dial.c_str(), run.elapsed(), run.spread(),
        note.c_str());
}
}  // namespace

std::vector<std::string> stopwatchCpuFigures(const Settings& settings) {
    const std::string what =
        "CPU while the stopwatch runs, over " + std::to_string(settings.stopwatchCpuSeconds) + " s";
    const harness::XServer server;
    harness::Program program(settings.program, harness::on(server));
    const auto window = shownWindow(server);
    if (!window) {
        return {what + ": not measured, no face within 10 s (target ≤ 1.2 %)"};
    }
    form14::timedClick(server, *window, form14::kStopwatchStartPause.centre());
    const auto before = cpuSeconds(program.pid());
    const auto wakesBefore = program.wakeUps();
    const auto start = Steady::now();
    const bool ran = runsUntil(program, start + std::chrono::seconds(settings.stopwatchCpuSeconds));
    const auto after = cpuSeconds(program.pid());
    const auto wakesAfter = program.wakeUps();
    const double wall = form14::secondsBetween(start, Steady::now());
    if (!ran || !before || !after || !wakesBefore || !wakesAfter) {
        return {what + ": not measured, the program ended (target ≤ 1.2 %)"};
    }
    // A stopwatch that never started would make the figure an idle one.
    if (stopwatchDial(*window).value_or(0) < 0.9 * settings.stopwatchCpuSeconds) {
        return {what + ": not measured, the stopwatch did not run (target ≤ 1.2 %)"};
    }
    return {formatted("%s: %.2f %% of one core (target ≤ 1.2 %%)", what.c_str(),
                      100 * (*after - *before) / wall),
            formatted("wake-ups of the main thread while the stopwatch runs: %.1f a second "
                      "(target ≤ 110)",
                      static_cast<double>(*wakesAfter - *wakesBefore) / wall)};
}

std::vector<std::string> stopwatchDriftFigures(const Settings& settings) {
    StopwatchRun run(settings, {});
    run.start();
    run.pauseAfter(settings.stopwatchSeconds);
    return {driftFigure(
        "stopwatch reading after " + std::to_string(settings.stopwatchSeconds) + " s", run)};
}

std::vector<std::string> stopwatchDaylightSavingFigures(const Settings& settings) {
    const int seconds = settings.stopwatchSeconds;
    // Both runs at once, so that the pair takes no longer than one.
    StopwatchRun begins(settings, {{"TZ", zoneChangingIn(seconds / 2, true)}});
    StopwatchRun ends(settings, {{"TZ", zoneChangingIn(seconds / 2, false)}});
    begins.start();
    ends.start();
    begins.pauseAfter(seconds);
    ends.pauseAfter(seconds);
    std::vector<std::string> figures;
    for (const auto& [change, run] :
         {std::pair<const char*, const StopwatchRun*>{"begins", &begins}, {"ends", &ends}}) {
        const std::string what = formatted(
            "stopwatch reading after %d s, summer time %s "
            "halfway",
            seconds, change);
        // Without the jump the figure would be an ordinary drift.
        const auto jump = run->clockJump();
        if (!run->problem && (!jump || std::fabs(std::fabs(*jump) - 3600) > 5)) {
            figures.push_back(what +
                              ": not measured, the window's clock did not move by an "
                              "hour (target within 0.1 s)");
            continue;
        }
        figures.push_back(driftFigure(
            what, *run, jump ? formatted("; the window's clock moved %+.0f s", *jump) : ""));
    }
    return figures;
}

}  // namespace bench
