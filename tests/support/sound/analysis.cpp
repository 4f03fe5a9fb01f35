#include "analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sound {
namespace {

bool loud(const Audio& a, size_t frame, int threshold) {
    for (int c = 0; c < kChannels; ++c) {
        if (std::abs(a.samples[frame * kChannels + c]) > threshold) {
            return true;
        }
    }
    return false;
}

bool matchesAt(const Audio& recording, size_t at, const Audio& reference, size_t frames,
               int tolerance) {
    for (size_t i = 0; i < frames * kChannels; ++i) {
        if (std::abs(recording.samples[at * kChannels + i] - reference.samples[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<size_t> firstSound(const Audio& audio, int threshold) {
    return firstSoundFrom(audio, 0, threshold);
}

std::optional<size_t> firstSoundFrom(const Audio& audio, size_t from, int threshold) {
    for (size_t i = from; i < audio.frames(); ++i) {
        if (loud(audio, i, threshold)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<size_t> lastSound(const Audio& audio, int threshold) {
    for (size_t i = audio.frames(); i > 0; --i) {
        if (loud(audio, i - 1, threshold)) {
            return i - 1;
        }
    }
    return std::nullopt;
}

bool silent(const Audio& audio, int threshold) {
    return !firstSound(audio, threshold);
}

std::vector<double> rmsWindows(const Audio& audio, size_t begin, size_t end, size_t windowFrames) {
    std::vector<double> out;
    end = std::min(end, audio.frames());
    for (size_t w = begin; w + windowFrames <= end; w += windowFrames) {
        double sum = 0;
        for (size_t i = w; i < w + windowFrames; ++i) {
            const double v = audio.left(i);
            sum += v * v;
        }
        out.push_back(std::sqrt(sum / static_cast<double>(windowFrames)));
    }
    return out;
}

std::vector<Gap> gaps(const Audio& audio, size_t begin, size_t end, size_t windowFrames,
                      double minRms) {
    // A window slides frame by frame, so a drop-out is seen wherever it falls.
    std::vector<Gap> out;
    end = std::min(end, audio.frames());
    if (windowFrames == 0 || begin + windowFrames > end) {
        return out;
    }
    const double minSum = minRms * minRms * static_cast<double>(windowFrames);
    double sum = 0;
    for (size_t i = begin; i < begin + windowFrames; ++i) {
        sum += static_cast<double>(audio.left(i)) * audio.left(i);
    }
    for (size_t w = begin;; ++w) {
        if (sum < minSum) {
            if (!out.empty() && out.back().end >= w) {
                out.back().end = w + windowFrames;
            } else {
                out.push_back({w, w + windowFrames});
            }
        }
        if (w + windowFrames >= end) {
            break;
        }
        const double gone = audio.left(w);
        const double come = audio.left(w + windowFrames);
        sum += come * come - gone * gone;
    }
    return out;
}

std::vector<size_t> findMarker(const Audio& recording, const Audio& reference, int tolerance) {
    constexpr size_t kProbe = 32;
    constexpr size_t kProbeAt = kMarkerFrames - kProbe;
    std::vector<size_t> out;
    if (reference.frames() < kMarkerFrames) {
        return out;
    }
    Audio probe;
    probe.samples.assign(reference.samples.begin() + kProbeAt * kChannels,
                         reference.samples.begin() + kMarkerFrames * kChannels);
    for (size_t at = kProbeAt; at + kProbe <= recording.frames(); ++at) {
        if (matchesAt(recording, at, probe, kProbe, tolerance)) {
            out.push_back(at - kProbeAt);
        }
    }
    return out;
}

std::optional<int> maxDeviation(const Audio& recording, size_t at, const Audio& reference,
                                size_t from) {
    if (from > reference.frames() || at + (reference.frames() - from) > recording.frames()) {
        return std::nullopt;
    }
    int worst = 0;
    for (size_t i = from * kChannels; i < reference.samples.size(); ++i) {
        worst = std::max(worst, std::abs(recording.samples[at * kChannels + i - from * kChannels] -
                                         reference.samples[i]));
    }
    return worst;
}

}  // namespace sound
