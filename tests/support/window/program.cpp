#include "program.h"

#include <fstream>

#include "harness/text.h"
#include "x_server.h"

namespace harness {
namespace {

Environment defaults(const std::filesystem::path& directory) {
    const auto home = directory / "home";
    const auto runtime = directory / "runtime";
    std::filesystem::create_directories(home);
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const auto inherited = inheritedEnvironment();
    const auto path = inherited.find("PATH");
    Environment environment{
        {"HOME", home.string()},
        {"XDG_RUNTIME_DIR", runtime.string()},
        {"LANG", "C.UTF-8"},
        {"PATH", path != inherited.end() ? path->second : "/usr/local/bin:/usr/bin:/bin"},
    };
    // A sanitizer build of the program reads its settings and suppressions from these.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (const auto it = inherited.find(name); it != inherited.end()) {
            environment[name] = it->second;
        }
    }
    return environment;
}

}  // namespace

ProgramOptions on(const XServer& server) {
    ProgramOptions options;
    options.display = server.display();
    return options;
}

Program::Program(const std::filesystem::path& binary, const ProgramOptions& options)
    : environment_(defaults(directory_.path())) {
    if (!options.display.empty()) {
        environment_["DISPLAY"] = options.display;
    }
    if (!options.sound) {
        environment_["SDL_AUDIODRIVER"] = "dummy";
    }
    for (const auto& [name, value] : options.extra) {
        environment_[name] = value;
    }
    std::vector<std::string> argv{binary.string()};
    argv.insert(argv.end(), options.arguments.begin(), options.arguments.end());
    process_ = std::make_unique<Process>(
        argv, environment_,
        Output{directory_.path() / "stdout.txt", directory_.path() / "stderr.txt"});
}

std::string Program::standardOutput() const {
    return fileText(directory_.path() / "stdout.txt");
}

std::string Program::standardError() const {
    return fileText(directory_.path() / "stderr.txt");
}

std::optional<long> Program::wakeUps() const {
    const std::string id = std::to_string(process_->pid());
    std::ifstream status("/proc/" + id + "/task/" + id + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
            return std::stol(line.substr(line.find(':') + 1));
        }
    }
    return std::nullopt;
}

}  // namespace harness
