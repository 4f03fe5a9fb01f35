#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "audio.h"

namespace sound {

// Digital silence through SDL and the null sink is exact zero; a little headroom anyway.
constexpr int kSilence = 16;

// The first and last frame where either channel's magnitude exceeds `threshold`.
std::optional<size_t> firstSound(const Audio& audio, int threshold = kSilence);
std::optional<size_t> firstSoundFrom(const Audio& audio, size_t from, int threshold = kSilence);
std::optional<size_t> lastSound(const Audio& audio, int threshold = kSilence);
bool silent(const Audio& audio, int threshold = kSilence);

// RMS of the left channel in consecutive windows of `windowFrames` over [begin, end).
std::vector<double> rmsWindows(const Audio& audio, size_t begin, size_t end, size_t windowFrames);

// Stretches of [begin, end) where a window of `windowFrames`, slid frame by frame, has an RMS
// below `minRms`: drop-outs inside a sound, each as long as its windows cover.
struct Gap {
    size_t begin;
    size_t end;
};
std::vector<Gap> gaps(const Audio& audio, size_t begin, size_t end, size_t windowFrames,
                      double minRms);

// Each place in `recording` where the marked `reference` (see stampMarker) starts: the frame
// where its frame 0 is or would be. Found by the marker's end, so a start whose first
// milliseconds were lost is still found; each sample within `tolerance`.
std::vector<size_t> findMarker(const Audio& recording, const Audio& reference, int tolerance = 0);

// The largest sample difference between `recording` from frame `at` on and `reference` from
// frame `from` to its end; nullopt when the recording ends too early.
std::optional<int> maxDeviation(const Audio& recording, size_t at, const Audio& reference,
                                size_t from = 0);

}  // namespace sound
