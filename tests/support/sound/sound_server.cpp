#include "sound_server.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "harness/text.h"

namespace sound {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string socketOf(const fs::path& dir) {
    return (dir / "run" / "pulse" / "native").string();
}

const char* const kFormat[] = {"--format=s16le", "--rate=44100", "--channels=2",
                               "--latency-msec=10"};

}  // namespace

harness::Environment SoundServer::environmentFor(const fs::path& dir) {
    std::error_code ec;
    for (const char* sub : {"home", "config", "state", "run/pulse"}) {
        fs::create_directories(dir / sub, ec);
    }
    fs::permissions(dir / "run", fs::perms::owner_all, ec);
    // A client that finds no server must not start one of its own.
    std::ofstream(dir / "client.conf") << "autospawn = no\n";
    return {
        {"HOME", (dir / "home").string()},
        {"XDG_RUNTIME_DIR", (dir / "run").string()},
        {"XDG_CONFIG_HOME", (dir / "config").string()},
        {"PULSE_RUNTIME_PATH", (dir / "run" / "pulse").string()},
        {"PULSE_STATE_PATH", (dir / "state").string()},
        {"PULSE_SERVER", "unix:" + socketOf(dir)},
        {"PULSE_CLIENTCONFIG", (dir / "client.conf").string()},
        {"SDL_AUDIODRIVER", "pulseaudio"},
    };
}

SoundServer::SoundServer(fs::path dir) : dir_(std::move(dir)) {
    if (dir_.empty()) {
        ownDir_ = std::make_unique<harness::TempDir>("sound-test");
        dir_ = ownDir_->path();
    }
    env_ = environmentFor(dir_);
    try {
        ready_ = start();
    } catch (const std::runtime_error& error) {
        error_ = error.what();
    }
}

SoundServer::~SoundServer() {
    silence_.reset();
    server_.reset();
}

bool SoundServer::start() {
    server_ = std::make_unique<harness::Process>(
        std::vector<std::string>{
            "pulseaudio", "--daemonize=no", "--use-pid-file=no", "--system=false",
            "--exit-idle-time=-1", "--disallow-exit", "--disable-shm=yes", "-n",
            "--load=module-null-sink sink_name=test rate=44100 channels=2",
            "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socketOf(dir_)},
        harness::inheritedWith(env_), harness::Output{{}, dir_ / "server.log"});
    const bool answers = harness::waitUntil(
        [&] { return server_->running() && pactl({"info"}).succeeded(); }, 10s, 20ms);
    if (!answers) {
        error_ = "the sound server did not come up";
        return false;
    }
    std::vector<std::string> pacat = {"pacat", "--playback", "--raw"};
    pacat.insert(pacat.end(), std::begin(kFormat), std::end(kFormat));
    pacat.push_back("/dev/zero");
    silence_ = std::make_unique<harness::Process>(pacat, harness::inheritedWith(env_),
                                                  harness::Output{{}, dir_ / "silence.log"});
    if (!harness::waitUntil([&] { return !playbackStreams().empty(); }, 5s, 20ms)) {
        error_ = "the silent stream did not start";
        return false;
    }
    // Until a stream asked for low latency, the new sink rendered two seconds ahead, and it
    // keeps that lead (the monitor then stays mute for two seconds). A suspend and resume
    // restarts its clock at the latency the silent stream asked for.
    pactl({"suspend-sink", "test", "1"});
    pactl({"suspend-sink", "test", "0"});
    if (!harness::waitUntil([&] { return sinkLatency() < 50ms; }, 5s, 20ms)) {
        error_ = "the sink kept a long latency";
        return false;
    }
    return true;
}

harness::CommandResult SoundServer::pactl(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{"pactl"};
    argv.insert(argv.end(), args.begin(), args.end());
    return harness::runCommand(argv, harness::inheritedWith(env_), 2000ms);
}

std::chrono::microseconds SoundServer::sinkLatency() const {
    const std::string out = pactl({"list", "sinks"}).standardOutput;
    const size_t at = out.find("Latency: ");
    if (at == std::string::npos) {
        return std::chrono::microseconds::max();
    }
    return std::chrono::microseconds(std::strtoll(out.c_str() + at + 9, nullptr, 10));
}

std::string SoundServer::error() const {
    return error_ + "\n--- server log ---\n" + harness::fileText(dir_ / "server.log");
}

std::vector<std::string> SoundServer::playbackStreams() const {
    return harness::nonEmptyLines(pactl({"list", "short", "sink-inputs"}).standardOutput);
}

Recorder::Recorder(const SoundServer& server, double seconds)
    : wantBytes_(framesIn(seconds) * kBytesPerFrame) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        done_ = true;
        return;
    }
    fd_ = fds[0];
    std::vector<std::string> parec = {"parec", "-d", server.monitorSource()};
    parec.insert(parec.end(), std::begin(kFormat), std::end(kFormat));
    try {
        parec_ = std::make_unique<harness::Process>(
            parec, harness::inheritedWith(server.environment()),
            harness::Output{harness::Sink::descriptor(fds[1]), {}});
    } catch (...) {
        close(fds[1]);
        close(fd_);
        throw;
    }
    close(fds[1]);
    reader_ = std::thread([this] { readAll(); });
}

Recorder::Recorder(const SoundServer& server, Clock::time_point until)
    : Recorder(server, std::chrono::duration<double>(until - Clock::now()).count()) {}

Recorder::~Recorder() {
    if (parec_) {
        parec_->stop();
    }
    if (reader_.joinable()) {
        reader_.join();
    }
    if (fd_ >= 0) {
        close(fd_);
    }
}

void Recorder::readAll() {
    std::vector<char> buf(1 << 16);
    for (;;) {
        const ssize_t n = read(fd_, buf.data(), buf.size());
        const auto now = Clock::now();
        std::lock_guard lock(mutex_);
        if (n <= 0) {
            break;
        }
        const size_t take = std::min(static_cast<size_t>(n), wantBytes_ - bytes_.size());
        bytes_.insert(bytes_.end(), buf.data(), buf.data() + take);
        // Data comes in after it was captured: the chunk that came in least late tells best
        // when frame 0 was.
        const auto estimate =
            now - std::chrono::duration_cast<Clock::duration>(
                      std::chrono::duration<double>(secondsOf(bytes_.size() / kBytesPerFrame)));
        if (!haveStart_ || estimate < start_) {
            start_ = estimate;
        }
        haveStart_ = true;
        changed_.notify_all();
        if (bytes_.size() >= wantBytes_) {
            break;
        }
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    changed_.notify_all();
}

bool Recorder::waitForStart(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return haveStart_ || done_; }) && haveStart_;
}

bool Recorder::waitUntilCaptured(Clock::time_point t, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] {
        return done_ || (haveStart_ && timeOfLocked(bytes_.size() / kBytesPerFrame) >= t);
    });
}

Audio Recorder::finish() {
    const auto limit = std::chrono::duration<double>(secondsOf(wantBytes_ / kBytesPerFrame)) + 5s;
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] { return done_; });
    }
    if (parec_) {
        parec_->stop();
    }
    if (reader_.joinable()) {
        reader_.join();
    }
    std::lock_guard lock(mutex_);
    return fromBytes(bytes_.data(), bytes_.size());
}

Recorder::Clock::time_point Recorder::timeOf(size_t frame) const {
    std::lock_guard lock(mutex_);
    return timeOfLocked(frame);
}

Recorder::Clock::time_point Recorder::timeOfLocked(size_t frame) const {
    return start_ + std::chrono::duration_cast<Clock::duration>(
                        std::chrono::duration<double>(secondsOf(frame)));
}

size_t Recorder::frameAt(Clock::time_point t) const {
    std::lock_guard lock(mutex_);
    if (t <= start_) {
        return 0;
    }
    return framesIn(std::chrono::duration<double>(t - start_).count());
}

}  // namespace sound
