// Prints the clock window's figures beside their targets; it measures, it does not judge.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "figures.h"

namespace {

struct Measurement {
    const char* name;
    std::vector<std::string> (*run)(const bench::Settings&);
};

// Quick ones first, so that a run shows something soon.
const Measurement kMeasurements[] = {
    {"first-paint", bench::firstPaintFigures},
    {"alarm-onset", bench::alarmOnsetFigures},
    {"dial-turn", bench::dialTurnFigures},
    {"idle", bench::idleFigures},
    {"stopwatch-cpu", bench::stopwatchCpuFigures},
    {"alarm-text-cpu", bench::alarmTextCpuFigures},
    {"stopwatch-drift", bench::stopwatchDriftFigures},
    {"stopwatch-summer-time", bench::stopwatchDaylightSavingFigures},
};

void usage() {
    std::cerr << "usage: clock_window_bench [--idle-seconds N] [--starts N] [--program PATH]\n"
                 "                          [--stopwatch-cpu-seconds N] [--stopwatch-seconds N]\n"
                 "                          [--alarm-runs N] [--alarm-text-seconds N] [--turns N]\n"
                 "                          [--only first-paint,alarm-onset,dial-turn,idle,"
                 "stopwatch-cpu,alarm-text-cpu,stopwatch-drift,\n"
                 "                                 stopwatch-summer-time]\n";
}

int positive(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value <= 0 || value > 100000) {
        throw std::invalid_argument(std::string("not a positive count: ") + text);
    }
    return static_cast<int>(value);
}

bool known(const std::string& name) {
    for (const Measurement& measurement : kMeasurements) {
        if (name == measurement.name) {
            return true;
        }
    }
    return false;
}

std::set<std::string> names(const std::string& list) {
    std::set<std::string> result;
    std::istringstream in(list);
    for (std::string name; std::getline(in, name, ',');) {
        if (!known(name)) {
            throw std::invalid_argument("no measurement named " + name);
        }
        result.insert(name);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    bench::Settings settings;
    settings.program = ALARM_CLOCK_BINARY;
    std::set<std::string> only;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string option = argv[i];
            if (option == "--help") {
                usage();
                return 0;
            }
            if (i + 1 >= argc) {
                throw std::invalid_argument("missing value after " + option);
            }
            const char* value = argv[++i];
            if (option == "--idle-seconds") {
                settings.idleSeconds = positive(value);
            } else if (option == "--starts") {
                settings.starts = positive(value);
            } else if (option == "--stopwatch-cpu-seconds") {
                settings.stopwatchCpuSeconds = positive(value);
            } else if (option == "--stopwatch-seconds") {
                settings.stopwatchSeconds = positive(value);
            } else if (option == "--alarm-text-seconds") {
                settings.alarmTextSeconds = positive(value);
            } else if (option == "--turns") {
                settings.turns = positive(value);
            } else if (option == "--alarm-runs") {
                settings.alarmRuns = positive(value);
            } else if (option == "--program") {
                settings.program = value;
            } else if (option == "--only") {
                only = names(value);
            } else {
                throw std::invalid_argument("unknown option " + option);
            }
        }
    } catch (const std::invalid_argument& error) {
        std::cerr << "clock_window_bench: " << error.what() << '\n';
        usage();
        return 2;
    }
    int status = 0;
    for (const Measurement& measurement : kMeasurements) {
        if (!only.empty() && only.count(measurement.name) == 0) {
            continue;
        }
        try {
            for (const std::string& figure : measurement.run(settings)) {
                std::cout << figure << std::endl;
            }
        } catch (const std::exception& error) {
            std::cerr << measurement.name << ": " << error.what() << '\n';
            status = 1;
        }
    }
    return status;
}
