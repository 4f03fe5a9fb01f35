#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>

#include "sound/analysis.h"
#include "sound/audio.h"

// That the whole of `tone` sounds in `out` from frame `at` on, each sample within `tolerance`.
inline void expectWholeAt(const sound::Audio& out, size_t at, const sound::Audio& tone,
                          int tolerance = 0) {
    const std::optional<int> dev = sound::maxDeviation(out, at, tone);
    ASSERT_TRUE(dev.has_value()) << "the recording ends inside the tone that starts at frame "
                                 << at;
    EXPECT_LE(*dev, tolerance) << "the tone from frame " << at << " differs from the file";
}
