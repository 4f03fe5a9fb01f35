#include "sdl_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <ctime>
#include <filesystem>
#include <system_error>

#include "melody_file.h"

namespace player {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
// 1024 frames is 23 ms: low enough for an alarm's onset, half the wakeups of 512.
constexpr int kBufferFrames = 1024;
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// The second a failed attempt belongs to; the alarm repeats "Open" ~100 times a second, and a
// failure is retried only in a later one.
std::time_t thisSecond() { return std::time(nullptr); }

}  // namespace

struct SdlPlayer::State {
    std::string fileName;
    bool sdlReady = false;
    bool deviceOpen = false;
    Mix_Music* music = nullptr;
    std::string openName;
    std::string failedName;
    std::time_t fileFailedAt = -1;
    std::time_t deviceFailedAt = -1;

    void open();
    void play();
    void close();
    void rememberFailure();
    bool ensureDevice();
    void closeMusic();
    void closeDevice();
};

bool SdlPlayer::State::ensureDevice() {
    if (deviceOpen) {
        return true;
    }
    // Each attempt costs milliseconds and, with ALSA, lines on stderr.
    if (deviceFailedAt == thisSecond()) {
        return false;
    }
    if (!sdlReady) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdlReady = SDL_Init(SDL_INIT_AUDIO) == 0;
    }
    if (sdlReady) {
        deviceOpen = Mix_OpenAudio(kRate, AUDIO_S16SYS, kChannels, kBufferFrames) == 0;
    }
    if (!deviceOpen) {
        deviceFailedAt = thisSecond();
        return false;
    }
    std::error_code ec;
    if (std::filesystem::exists(kSoundFont, ec)) {
        Mix_SetSoundFonts(kSoundFont);
    }
    return true;
}

void SdlPlayer::State::open() {
    if (music != nullptr && openName == fileName) {
        return;
    }
    closeMusic();
    if (failedName == fileName && fileFailedAt == thisSecond()) {
        return;
    }
    if (!worthLoading(fileName)) {
        rememberFailure();
        return;
    }
    if (!ensureDevice()) {
        return;
    }
    // Mix_LoadMUS streams from the file: a long melody opens at once.
    music = Mix_LoadMUS(fileName.c_str());
    if (music == nullptr) {
        rememberFailure();
        // A file that cannot sound holds no stream.
        closeDevice();
        return;
    }
    openName = fileName;
    failedName.clear();
}

void SdlPlayer::State::rememberFailure() {
    failedName = fileName;
    fileFailedAt = thisSecond();
}

void SdlPlayer::State::play() {
    // While it sounds, the repeated "Play" of the alarm's ticks must not restart it.
    if (music != nullptr && !Mix_PlayingMusic()) {
        Mix_PlayMusic(music, 1);
    }
}

void SdlPlayer::State::close() {
    closeMusic();
    failedName.clear();
    deviceFailedAt = -1;
    // A silent program holds no sound stream: an open device costs CPU and server time.
    closeDevice();
}

void SdlPlayer::State::closeMusic() {
    if (music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        music = nullptr;
    }
    openName.clear();
}

void SdlPlayer::State::closeDevice() {
    if (deviceOpen) {
        Mix_CloseAudio();
        deviceOpen = false;
    }
}

SdlPlayer::SdlPlayer() : state_(std::make_unique<State>()) {}

SdlPlayer::~SdlPlayer() {
    state_->close();
    if (state_->sdlReady) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

// The player picks the device itself; the window sets this once to "".
void SdlPlayer::setDeviceType(const std::string&) {}

void SdlPlayer::setFileName(const std::string& path) { state_->fileName = path; }

void SdlPlayer::setCommand(const std::string& command) {
    if (command == "Open") {
        state_->open();
    } else if (command == "Play") {
        state_->play();
    } else if (command == "Close") {
        state_->close();
    }
}

bool SdlPlayer::isOpen() const { return state_->music != nullptr; }

bool SdlPlayer::isPlaying() const { return state_->music != nullptr && Mix_PlayingMusic() != 0; }

}  // namespace player
