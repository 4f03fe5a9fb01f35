#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace harness {

// What a file holds; empty when it cannot be read.
std::string fileText(const std::filesystem::path& path);

// The lines of `text` that hold anything.
std::vector<std::string> nonEmptyLines(const std::string& text);

}  // namespace harness
