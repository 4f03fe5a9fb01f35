#pragma once

#include <cstdint>

namespace skin {

// splitmix64: the same sequence on every compiler and library, so the pictures never drift.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform enough in [low, high] for drawing; the span is tiny next to 2^64.
    int between(int low, int high) {
        const auto span = static_cast<std::uint64_t>(high - low + 1);
        return low + static_cast<int>(next() % span);
    }

  private:
    std::uint64_t state_;
};

// A stateless hash of a few integers, for choices that belong to a cell or an edge.
inline std::uint64_t mix(std::uint64_t a, std::uint64_t b = 0, std::uint64_t c = 0) {
    SplitMix64 rng(a * 0x100000001B3ULL ^ b * 0xC2B2AE3D27D4EB4FULL ^ c * 0x165667B19E3779F9ULL);
    return rng.next();
}

}  // namespace skin
