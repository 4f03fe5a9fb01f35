#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct Settings {
    std::filesystem::path program;
    int idleSeconds = 60;
    int starts = 5;
    int stopwatchCpuSeconds = 60;
    int stopwatchSeconds = 600;
    int alarmRuns = 3;
    int alarmTextSeconds = 60;
    int turns = 20;
};

// Each measurement starts its own X server and returns its figures, one printed line each:
// "<what>: <figure> (target <target>)".
std::vector<std::string> firstPaintFigures(const Settings& settings);
std::vector<std::string> idleFigures(const Settings& settings);
std::vector<std::string> dialTurnFigures(const Settings& settings);
std::vector<std::string> stopwatchCpuFigures(const Settings& settings);
std::vector<std::string> stopwatchDriftFigures(const Settings& settings);
// With 10 MB of text pasted into the alarm box.
std::vector<std::string> alarmTextCpuFigures(const Settings& settings);
// The same run while summer time begins, and while it ends, halfway through.
std::vector<std::string> stopwatchDaylightSavingFigures(const Settings& settings);
// Through a private PulseAudio server of its own.
std::vector<std::string> alarmOnsetFigures(const Settings& settings);

}  // namespace bench
