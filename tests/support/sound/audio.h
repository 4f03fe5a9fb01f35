#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace sound {

// Everything here is signed 16-bit, stereo, 44100 Hz: what the player asks of its device and
// what the recorder takes from the server, so recordings compare sample for sample.
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr size_t kBytesPerFrame = kChannels * sizeof(int16_t);

struct Audio {
    std::vector<int16_t> samples;  // interleaved left, right

    size_t frames() const { return samples.size() / kChannels; }
    int16_t left(size_t frame) const { return samples[frame * kChannels]; }
};

size_t framesIn(double seconds);
double secondsOf(size_t frames);

// A sine of `hz` from phase 0, alike in both channels; amplitude is a fraction of full scale.
Audio sineTone(double hz, double seconds, double amplitude = 0.5);

// The first kMarkerFrames frames (12 ms) get a loud pseudo-random pattern drawn from `seed`,
// so that where a sound starts can be found in a recording (see findMarker).
constexpr size_t kMarkerFrames = 512;
void stampMarker(Audio& audio, unsigned seed);

// A tone whose beginning can be told apart: sineTone with a marker stamped on it.
Audio markedTone(double hz, double seconds, unsigned seed);

// PCM WAV, 16-bit stereo 44100 Hz.
bool writeWav(const std::filesystem::path& path, const Audio& audio);

// A WAV header that promises `frames` frames of data, with none following it.
bool writeWavHeaderOnly(const std::filesystem::path& path, size_t frames);

// A standard MIDI file: one note (MIDI number, 69 = A4) held for `seconds`.
bool writeMidiNote(const std::filesystem::path& path, int note, double seconds);

// Raw interleaved s16le stereo, as SDL's disk audio driver writes it; empty when missing.
Audio readRaw(const std::filesystem::path& path);
Audio fromBytes(const char* data, size_t bytes);

}  // namespace sound
