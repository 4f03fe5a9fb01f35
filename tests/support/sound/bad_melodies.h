#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace sound {

// Melody files a user may pick that hold no playable sound, or only part of one. `make`
// creates the file in a folder and returns the name to hand to the player.
struct BadMelody {
    const char* name;
    std::function<std::string(const std::filesystem::path& folder)> make;
    bool mayPlayPart;  // a cut file may sound up to where it was cut
};

const std::vector<BadMelody>& badMelodies();

// Names the case in test output.
inline void PrintTo(const BadMelody& melody, std::ostream* os) {
    *os << melody.name;
}

// `bytes` pseudo-random bytes in folder/name; returns the path.
std::string randomFile(const std::filesystem::path& folder, const std::string& name, size_t bytes);

}  // namespace sound
