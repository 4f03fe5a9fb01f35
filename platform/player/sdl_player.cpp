#include "sdl_player.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "melody_file.h"

namespace player {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kRate = 44100;
constexpr int kChannels = 2;
// 1024 frames is 23 ms: low enough for an alarm's onset, half the wakeups of 512.
constexpr int kBufferFrames = 1024;
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
// An open device costs CPU and holds a stream at the sound server even when silent, so it is
// let go once nothing has sounded this long. Within the alarm's second a melody that played
// out starts again within one tick, well inside this.
constexpr auto kQuietBeforeRelease = 2s;
constexpr auto kKeeperPoll = 250ms;

// Whether the music sounds, kept by the mixer's finished hook. Asking the mixer instead
// (Mix_PlayingMusic) takes the audio lock, and the alarm asks on every tick: a GUI thread
// preempted while holding it starves the audio thread, and the melody drops out.
std::atomic<bool> musicSounding{false};

void onMusicFinished() {
    musicSounding = false;
}

// The second a failed attempt belongs to; the alarm repeats "Open" ~100 times a second, and a
// failure is retried only in a later one.
std::time_t thisSecond() {
    return std::time(nullptr);
}

// A MIDI melody's sound font is read by fluidsynth with OpenMP threads on every core; on a busy
// machine their barrier held the opening tick up for 100-300 ms, where one thread reads the font
// in 10-20 ms. OpenMP's thread count is the calling thread's, so this is set where the music is
// opened. Without an OpenMP runtime in the process there is nothing to set.
void readSoundFontsOnThisThread() {
    using SetThreads = void (*)(int);
    static const auto setThreads =
        reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads"));
    if (setThreads != nullptr) {
        setThreads(1);
    }
}

}  // namespace

// SDL_mixer's music and device are process-wide: one player drives them at a time. The GUI
// thread and the keeper thread both call into them, under `mutex`.
struct SdlPlayer::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::thread keeper;
    bool stopping = false;
    bool releaseNow = false;
    Clock::time_point lastSounded;

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
    void keep();
    bool quietLongEnough();
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
    Mix_HookMusicFinished(onMusicFinished);
    std::error_code ec;
    if (std::filesystem::exists(kSoundFont, ec)) {
        Mix_SetSoundFonts(kSoundFont);
    }
    wake.notify_all();
    return true;
}

void SdlPlayer::State::open() {
    releaseNow = false;
    lastSounded = Clock::now();
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
    readSoundFontsOnThisThread();
    // Mix_LoadMUS streams from the file: a long melody opens at once.
    music = Mix_LoadMUS(fileName.c_str());
    if (music == nullptr) {
        rememberFailure();
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
    if (music != nullptr && !musicSounding) {
        // Set first: a melody too short to sound ends through the hook at once.
        musicSounding = true;
        if (Mix_PlayMusic(music, 1) != 0) {
            musicSounding = false;
        }
        lastSounded = Clock::now();
    }
}

void SdlPlayer::State::close() {
    closeMusic();
    failedName.clear();
    deviceFailedAt = -1;
    // Closing the device waits two buffers for SDL to drain; the keeper does that.
    releaseNow = true;
    wake.notify_all();
}

void SdlPlayer::State::closeMusic() {
    if (music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        music = nullptr;
    }
    musicSounding = false;
    openName.clear();
}

void SdlPlayer::State::closeDevice() {
    if (deviceOpen) {
        Mix_HookMusicFinished(nullptr);
        Mix_CloseAudio();
        deviceOpen = false;
    }
}

bool SdlPlayer::State::quietLongEnough() {
    if (musicSounding) {
        lastSounded = Clock::now();
        return false;
    }
    return Clock::now() - lastSounded >= kQuietBeforeRelease;
}

// Runs on its own thread: lets the device go after a "Close", or once nothing sounded for a
// while (a melody that played out, a file that failed). It wakes only while the device is open.
void SdlPlayer::State::keep() {
    std::unique_lock lock(mutex);
    while (!stopping) {
        if (!deviceOpen) {
            wake.wait(lock);
            continue;
        }
        wake.wait_for(lock, kKeeperPoll);
        if (!stopping && deviceOpen && (releaseNow || quietLongEnough())) {
            closeMusic();
            closeDevice();
            releaseNow = false;
        }
    }
}

SdlPlayer::SdlPlayer() : state_(std::make_unique<State>()) {
    state_->keeper = std::thread([s = state_.get()] { s->keep(); });
}

SdlPlayer::~SdlPlayer() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        state_->wake.notify_all();
    }
    state_->keeper.join();
    state_->closeMusic();
    state_->closeDevice();
    if (state_->sdlReady) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

// The player picks the device itself; the window sets this once to "".
void SdlPlayer::setDeviceType(const std::string&) {}

void SdlPlayer::setFileName(const std::string& path) {
    std::lock_guard lock(state_->mutex);
    state_->fileName = path;
}

void SdlPlayer::setCommand(const std::string& command) {
    std::lock_guard lock(state_->mutex);
    if (command == "Open") {
        state_->open();
    } else if (command == "Play") {
        state_->play();
    } else if (command == "Close") {
        state_->close();
    }
}

bool SdlPlayer::isOpen() const {
    std::lock_guard lock(state_->mutex);
    return state_->music != nullptr;
}

bool SdlPlayer::isPlaying() const {
    std::lock_guard lock(state_->mutex);
    return state_->music != nullptr && musicSounding;
}

bool SdlPlayer::holdsDevice() const {
    std::lock_guard lock(state_->mutex);
    return state_->deviceOpen;
}

}  // namespace player
