#pragma once

#include <map>
#include <string>

namespace harness {

// Variable name to value.
using Environment = std::map<std::string, std::string>;

// This process's own environment.
Environment inheritedEnvironment();

// This process's own environment with `over` set on top of it.
Environment inheritedWith(const Environment& over);

// Sets every variable of `variables` in this process, for what it starts or loads later.
void applyEnvironment(const Environment& variables);

}  // namespace harness
