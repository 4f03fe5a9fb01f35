#include "environment.h"

#include <stdlib.h>

extern char** environ;

namespace harness {

Environment inheritedEnvironment() {
    Environment result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            result[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    return result;
}

Environment inheritedWith(const Environment& over) {
    Environment result = inheritedEnvironment();
    for (const auto& [name, value] : over) {
        result[name] = value;
    }
    return result;
}

void applyEnvironment(const Environment& variables) {
    for (const auto& [name, value] : variables) {
        setenv(name.c_str(), value.c_str(), 1);
    }
}

}  // namespace harness
