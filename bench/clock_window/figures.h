#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct Settings {
    std::filesystem::path program;
    int idleSeconds = 60;
    int starts = 5;
};

// Each measurement starts its own X server and returns its figures, one printed line each:
// "<what>: <figure> (target <target>)".
std::vector<std::string> firstPaintFigures(const Settings& settings);
std::vector<std::string> idleFigures(const Settings& settings);

}  // namespace bench
