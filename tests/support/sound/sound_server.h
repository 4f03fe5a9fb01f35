#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio.h"
#include "harness/process.h"
#include "harness/temp_dir.h"

namespace sound {

// A private PulseAudio server with one null sink ("test", s16le stereo 44100 Hz), for tests
// that play through a real sound server and record what it played. It runs in folders of its
// own, so it never touches a user's server, and it ends with this object.
//
// While it runs, one silent stream plays into the sink: without it the sink idles and the
// first sound of a newly opened stream comes more than a second late, its end cut off.
class SoundServer {
  public:
    // Starts the server in `dir` (a fresh temporary folder when empty, removed at the end) and
    // waits, bounded, until it answers and the silent stream plays. See ready() and error():
    // a server that cannot be run is not ready, with the reason.
    explicit SoundServer(std::filesystem::path dir = {});
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool ready() const { return ready_; }
    // Why it is not ready, with the server's log.
    std::string error() const;

    // What a client process needs to reach this server and only it: for this process
    // (harness::applyEnvironment) or to hand to a child. SDL programs are told to use
    // PulseAudio.
    const harness::Environment& environment() const { return env_; }
    // The same for a server that is not started yet (or is gone) in `dir`: a client then
    // finds no server and starts none.
    static harness::Environment environmentFor(const std::filesystem::path& dir);

    std::string monitorSource() const { return "test.monitor"; }
    // Streams playing into the server now, one line each (the silent stream among them).
    std::vector<std::string> playbackStreams() const;

  private:
    bool start();
    harness::CommandResult pactl(const std::vector<std::string>& args) const;
    std::chrono::microseconds sinkLatency() const;

    std::unique_ptr<harness::TempDir> ownDir_;
    std::filesystem::path dir_;
    harness::Environment env_;
    std::unique_ptr<harness::Process> server_;
    std::unique_ptr<harness::Process> silence_;
    bool ready_ = false;
    std::string error_;
};

// Records the server's sink for a fixed length into memory, from construction on, in the
// background. Exactly the asked length is kept (as `head -c` would), so the recorder's own
// buffering loses nothing.
class Recorder {
  public:
    using Clock = std::chrono::steady_clock;

    // Throws std::runtime_error when the recording tool cannot be run.
    Recorder(const SoundServer& server, double seconds);
    // Records until `until`.
    Recorder(const SoundServer& server, Clock::time_point until);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Waits until the first samples came in: from then on, what plays is in the recording.
    bool waitForStart(std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Waits (bounded by the length plus a margin) for the whole length and returns it; shorter
    // if the recorder stopped early.
    Audio finish();

    // Waits (bounded by `limit`) until what was captured at time `t` is in, or the whole
    // length is.
    bool waitUntilCaptured(Clock::time_point t,
                           std::chrono::milliseconds limit = std::chrono::seconds(5));

    // When recorded frame `frame` was captured, estimated from when the data came in.
    Clock::time_point timeOf(size_t frame) const;
    // The frame captured at time `t` (0 before the recording began).
    size_t frameAt(Clock::time_point t) const;

  private:
    void readAll();
    Clock::time_point timeOfLocked(size_t frame) const;

    int fd_ = -1;

    size_t wantBytes_;
    std::unique_ptr<harness::Process> parec_;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<char> bytes_;
    bool done_ = false;
    Clock::time_point start_{};
    bool haveStart_ = false;
};

}  // namespace sound
