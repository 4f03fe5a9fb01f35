#include "process_stats.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace bench {

std::optional<double> cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces and parentheses; the fields follow its last ')'.
    const auto close = text.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int number = 3; number < 14 && fields >> field; ++number) {
    }
    long long user = 0;
    long long system = 0;
    if (!(fields >> user >> system)) {
        return std::nullopt;
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::optional<long> peakResidentKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return std::nullopt;
}

}  // namespace bench
