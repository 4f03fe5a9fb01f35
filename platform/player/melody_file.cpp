#include "melody_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>

namespace player {
namespace {

namespace fs = std::filesystem;

// Real MIDI melodies are tens of kilobytes; the decoder parses the whole file at once.
constexpr std::uintmax_t kMaxMidiBytes = 2u << 20;
// Tracker modules carry their samples, so they run larger, but are read whole too.
constexpr std::uintmax_t kMaxModuleBytes = 16u << 20;

enum class Kind { Streamed, Midi, Module };

using Header = std::array<unsigned char, 12>;

std::string lowerExtension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    if (!ext.empty()) {
        ext.erase(0, 1);
    }
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool oneOf(const std::string& ext, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return ext == n; });
}

bool starts(const Header& h, const char* magic, size_t at = 0) {
    return std::memcmp(h.data() + at, magic, std::strlen(magic)) == 0;
}

bool midiHeader(const Header& h) {
    return starts(h, "MThd") || (starts(h, "RIFF") && starts(h, "RMID", 8));
}

bool streamedHeader(const Header& h) {
    return (starts(h, "RIFF") && starts(h, "WAVE", 8)) || starts(h, "FORM") || starts(h, "OggS") ||
           starts(h, "fLaC") || starts(h, "wvpk") || starts(h, "ID3") ||
           (h[0] == 0xFF && (h[1] & 0xE6) == 0xE2);
}

// Mirrors how the mixer picks a decoder: by extension first, then by the file's first bytes,
// and a tracker module when nothing else matches.
Kind kindOf(const std::string& ext, const Header& h) {
    if (oneOf(ext, {"mid", "midi", "kar"})) {
        return Kind::Midi;
    }
    if (oneOf(ext, {"669", "amf", "ams", "dbm", "dsm", "far", "gdm", "it",  "med", "mdl", "mod",
                    "mol", "mtm", "nst", "okt", "ptm", "s3m", "stm", "ult", "umx", "wow", "xm"})) {
        return Kind::Module;
    }
    if (oneOf(ext, {"wav", "ogg", "opus", "flac", "wv", "mp3", "mpg", "mpeg", "mad"})) {
        return Kind::Streamed;
    }
    if (midiHeader(h)) {
        return Kind::Midi;
    }
    return streamedHeader(h) ? Kind::Streamed : Kind::Module;
}

bool readHeader(const std::string& path, Header& h) {
    h.fill(0);
    std::ifstream in(fs::path(path), std::ios::binary);
    in.read(reinterpret_cast<char*>(h.data()), h.size());
    return in.gcount() > 0;
}

}  // namespace

bool worthLoading(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::error_code ec;
    const fs::path p(path);
    if (!fs::is_regular_file(p, ec)) {
        return false;
    }
    const std::uintmax_t size = fs::file_size(p, ec);
    Header h;
    if (ec || size == 0 || !readHeader(path, h)) {
        return false;
    }
    switch (kindOf(lowerExtension(path), h)) {
        case Kind::Midi:
            // Without the MIDI header the synthesizer accepts the file and then plays nothing.
            return midiHeader(h) && size <= kMaxMidiBytes;
        case Kind::Module:
            return size <= kMaxModuleBytes;
        case Kind::Streamed:
            break;
    }
    return true;
}

}  // namespace player
