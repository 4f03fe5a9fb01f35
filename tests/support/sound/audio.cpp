#include "audio.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>
#include <string>

namespace sound {
namespace {

void put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void put32(std::string& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}

void put32be(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((v >> shift) & 0xFF);
    }
}

std::string wavHeader(size_t frames) {
    const uint32_t dataBytes = static_cast<uint32_t>(frames * kBytesPerFrame);
    std::string h = "RIFF";
    put32(h, 36 + dataBytes);
    h += "WAVEfmt ";
    put32(h, 16);
    put16(h, 1);  // PCM
    put16(h, kChannels);
    put32(h, kRate);
    put32(h, kRate * kBytesPerFrame);
    put16(h, kBytesPerFrame);
    put16(h, 16);
    h += "data";
    put32(h, dataBytes);
    return h;
}

bool writeFile(const std::filesystem::path& path, const std::string& head, const char* body,
               size_t bodyBytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    out.write(body, static_cast<std::streamsize>(bodyBytes));
    return static_cast<bool>(out);
}

}  // namespace

size_t framesIn(double seconds) {
    return static_cast<size_t>(std::lround(seconds * kRate));
}

double secondsOf(size_t frames) {
    return static_cast<double>(frames) / kRate;
}

Audio sineTone(double hz, double seconds, double amplitude) {
    Audio a;
    const size_t n = framesIn(seconds);
    a.samples.reserve(n * kChannels);
    for (size_t i = 0; i < n; ++i) {
        const double phase = 2 * std::numbers::pi * hz * static_cast<double>(i) / kRate;
        const auto v = static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(phase)));
        a.samples.insert(a.samples.end(), kChannels, v);
    }
    return a;
}

void stampMarker(Audio& audio, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> level(8000, 24000);
    for (size_t i = 0; i < kMarkerFrames && i < audio.frames(); ++i) {
        const int sign = (gen() & 1) ? 1 : -1;
        for (int c = 0; c < kChannels; ++c) {
            audio.samples[i * kChannels + c] = static_cast<int16_t>(sign * level(gen));
        }
    }
}

Audio markedTone(double hz, double seconds, unsigned seed) {
    Audio a = sineTone(hz, seconds);
    stampMarker(a, seed);
    return a;
}

bool writeWav(const std::filesystem::path& path, const Audio& audio) {
    return writeFile(path, wavHeader(audio.frames()),
                     reinterpret_cast<const char*>(audio.samples.data()),
                     audio.samples.size() * sizeof(int16_t));
}

bool writeWavHeaderOnly(const std::filesystem::path& path, size_t frames) {
    return writeFile(path, wavHeader(frames), nullptr, 0);
}

bool writeMidiNote(const std::filesystem::path& path, int note, double seconds) {
    constexpr uint16_t kTicksPerQuarter = 480;  // at the default 120 bpm: 960 ticks a second
    const auto ticks = static_cast<uint32_t>(std::lround(seconds * 960));
    std::string track;
    track += '\0';    // delta 0
    track += "\x90";  // note on, channel 1
    track += static_cast<char>(note);
    track += static_cast<char>(100);
    // Variable-length delta time for the note off.
    std::string delta;
    delta += static_cast<char>(ticks & 0x7F);
    for (uint32_t rest = ticks >> 7; rest != 0; rest >>= 7) {
        delta.insert(delta.begin(), static_cast<char>(0x80 | (rest & 0x7F)));
    }
    track += delta;
    track += "\x80";
    track += static_cast<char>(note);
    track += static_cast<char>(0);
    track += std::string("\x00\xFF\x2F\x00", 4);  // end of track

    std::string file = "MThd";
    put32be(file, 6);
    file += std::string("\x00\x00\x00\x01", 4);  // format 0, one track
    file += static_cast<char>(kTicksPerQuarter >> 8);
    file += static_cast<char>(kTicksPerQuarter & 0xFF);
    file += "MTrk";
    put32be(file, static_cast<uint32_t>(track.size()));
    file += track;
    return writeFile(path, file, nullptr, 0);
}

Audio fromBytes(const char* data, size_t bytes) {
    Audio a;
    a.samples.resize(bytes / kBytesPerFrame * kChannels);
    std::copy(data, data + a.samples.size() * sizeof(int16_t),
              reinterpret_cast<char*>(a.samples.data()));
    return a;
}

Audio readRaw(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return fromBytes(bytes.data(), bytes.size());
}

}  // namespace sound
