#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

// The committed layout of the clock window, as raw bytes.
inline std::string readLayoutFile() {
    std::ifstream in(LAYOUT_FILE, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " LAYOUT_FILE);
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
