#include "bad_melodies.h"

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "audio.h"
#include "harness/process.h"

namespace sound {

namespace fs = std::filesystem;

std::string randomFile(const fs::path& folder, const std::string& name, size_t bytes) {
    const fs::path path = folder / name;
    std::ofstream out(path, std::ios::binary);
    std::uint64_t state = 0x9E3779B97F4A7C15ull ^ bytes;
    std::string block(1 << 16, '\0');
    for (size_t written = 0; written < bytes; written += block.size()) {
        for (size_t i = 0; i < block.size(); i += 8) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            const std::uint64_t value = state ^ (state >> 29);
            for (size_t b = 0; b < 8; ++b) {
                block[i + b] = static_cast<char>(value >> (8 * b));
            }
        }
        out.write(block.data(),
                  static_cast<std::streamsize>(std::min(block.size(), bytes - written)));
    }
    return path.string();
}

namespace {

bool encoded(const fs::path& from, const fs::path& to) {
    try {
        const std::vector<std::string> sox{"sox", "-q", from.string(), to.string()};
        return harness::runCommand(sox, harness::inheritedEnvironment()).succeeded();
    } catch (const std::runtime_error&) {
        return false;  // no sox here
    }
}

// A sound file of another format made from a tone by sox, cut to a third of its length.
std::string cutEncoded(const fs::path& folder, const std::string& name) {
    const fs::path source = folder / "source.wav";
    writeWav(source, sineTone(440, 2.0));
    const fs::path full = folder / ("full " + name);
    if (!encoded(source, full)) {
        return full.string();  // missing: still a bad file
    }
    const fs::path cut = folder / name;
    fs::copy_file(full, cut);
    fs::resize_file(cut, fs::file_size(full) / 3);
    return cut.string();
}

}  // namespace

const std::vector<BadMelody>& badMelodies() {
    static const std::vector<BadMelody> melodies = {
        {"EmptyName", [](const fs::path&) { return std::string(); }, false},
        {"Missing", [](const fs::path& d) { return (d / "нет такой мелодии.wav").string(); },
         false},
        {"Directory",
         [](const fs::path& d) {
             fs::create_directory(d / "папка.wav");
             return (d / "папка.wav").string();
         },
         false},
        {"EmptyFile",
         [](const fs::path& d) {
             std::ofstream(d / "пусто.wav");
             return (d / "пусто.wav").string();
         },
         false},
        {"RandomBytesWav", [](const fs::path& d) { return randomFile(d, "шум 1.wav", 100000); },
         false},
        {"RandomBytesMp3", [](const fs::path& d) { return randomFile(d, "шум 2.mp3", 100000); },
         false},
        {"RandomBytesOgg", [](const fs::path& d) { return randomFile(d, "шум 3.ogg", 100000); },
         false},
        {"RandomBytesMid", [](const fs::path& d) { return randomFile(d, "шум 4.mid", 100000); },
         false},
        {"WavHeaderOnly",
         [](const fs::path& d) {
             writeWavHeaderOnly(d / "обрезан.wav", framesIn(1.0));
             return (d / "обрезан.wav").string();
         },
         false},
        {"WavCut",
         [](const fs::path& d) {
             const fs::path p = d / "обрезан наполовину.wav";
             writeWav(p, sineTone(440, 2.0));
             fs::resize_file(p, fs::file_size(p) / 3);
             return p.string();
         },
         true},
        {"OggCut", [](const fs::path& d) { return cutEncoded(d, "обрезан.ogg"); }, true},
        {"FlacCut", [](const fs::path& d) { return cutEncoded(d, "обрезан.flac"); }, true},
        {"MidiCut",
         [](const fs::path& d) {
             const fs::path p = d / "обрезан.mid";
             writeMidiNote(p, 69, 1.0);
             fs::resize_file(p, fs::file_size(p) / 2);
             return p.string();
         },
         true},
        {"RandomBytes200MbMp3",
         [](const fs::path& d) { return randomFile(d, "большой шум.mp3", 200u << 20); }, false},
        {"Silent200MbWav",
         [](const fs::path& d) {
             const fs::path p = d / "большая тишина.wav";
             writeWavHeaderOnly(p, (200u << 20) / kBytesPerFrame);
             fs::resize_file(p, 200u << 20);
             return p.string();
         },
         false},
        {"LongPath",
         [](const fs::path& d) {
             fs::path p = d;
             for (int i = 0; i < 12; ++i) {
                 p /= "очень длинная папка с мелодиями " + std::to_string(i);
             }
             fs::create_directories(p);
             return randomFile(p, "шум.wav", 1000);
         },
         false},
    };
    return melodies;
}

}  // namespace sound
