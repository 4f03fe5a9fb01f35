#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>

#include "sound/analysis.h"
#include "sound/audio.h"

// That the marked `tone` sounds whole in `out` from `at`, where findMarker put its frame 0:
// from its first frame on, or from at most `maxSkip` frames in, each sample within `tolerance`.
inline void expectWholeAt(const sound::Audio& out, size_t at, const sound::Audio& tone,
                          int tolerance = 0, size_t maxSkip = 0) {
    const std::optional<size_t> heard = sound::firstSoundFrom(out, at);
    ASSERT_TRUE(heard.has_value()) << "nothing sounds from frame " << at;
    const size_t skipped = *heard - at;
    EXPECT_LE(skipped, maxSkip) << "the first " << skipped << " frames of the tone are missing";
    const std::optional<int> dev = sound::maxDeviation(out, *heard, tone, skipped);
    ASSERT_TRUE(dev.has_value()) << "the recording ends inside the tone that starts at frame "
                                 << at;
    EXPECT_LE(*dev, tolerance) << "the tone from frame " << at << " differs from the file";
}

// That the marked `tone` sounds exactly once in `out`, whole (see expectWholeAt), and that
// nothing sounds after it; where its frame 0 lies, 0 if it is not found once.
inline size_t expectSoundsOnce(const sound::Audio& out, const sound::Audio& tone, int tolerance = 0,
                               size_t maxSkip = 0) {
    const std::vector<size_t> starts = sound::findMarker(out, tone, tolerance);
    EXPECT_EQ(starts.size(), 1u) << "the tone must start once";
    if (starts.size() != 1) {
        return 0;
    }
    expectWholeAt(out, starts[0], tone, tolerance, maxSkip);
    EXPECT_GE(sound::firstSound(out).value_or(0), starts[0]) << "something sounds before the tone";
    EXPECT_EQ(sound::lastSound(out).value_or(0), starts[0] + tone.frames() - 1)
        << "something sounds after the tone";
    return starts[0];
}
