// The harness's promise that a test leaves nothing running: a child ends with SIGTERM, or
// SIGKILL after a grace, when its owner ends and when the test itself dies.
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "process.h"
#include "sleepers.h"
#include "table.h"

namespace {

using harness::milliseconds;

TEST(Process, ThatCannotRunFailsWithTheReason) {
    try {
        harness::Process child({"no-such-program-here"}, harness::inheritedEnvironment());
        FAIL() << "started";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "cannot run no-such-program-here: No such file or directory");
    }
}

struct Sleeper {
    const char* name;
    bool heedsSigterm;
    int endedBy;
};

void PrintTo(const Sleeper& sleeper, std::ostream* out) {
    *out << sleeper.name;
}

const Sleeper kSleepers[] = {
    {"HeedsSigterm", true, SIGTERM},
    {"IgnoresSigterm", false, SIGKILL},
};

class Stop : public testing::TestWithParam<Sleeper> {};

TEST_P(Stop, EndsTheChildWithSigtermOrAfterTheGraceSigkill) {
    harness::Process child(harness::sleeper(GetParam().heedsSigterm),
                           harness::inheritedEnvironment());
    ASSERT_TRUE(harness::asleep(child.pid()));
    const harness::ExitStatus status = child.stop(milliseconds(300));
    EXPECT_FALSE(status.exited);
    EXPECT_EQ(status.code, GetParam().endedBy);
}

INSTANTIATE_TEST_SUITE_P(, Stop, testing::ValuesIn(kSleepers), harness::rowName);

// Whether `pid` ends within `bound`; not a child of this process, so watched by a pidfd.
bool endsWithin(pid_t pid, milliseconds bound) {
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) {
        return errno == ESRCH;
    }
    pollfd polled{fd, POLLIN, 0};
    const bool ended = poll(&polled, 1, static_cast<int>(bound.count())) == 1;
    close(fd);
    return ended;
}

TEST(Reaper, EndsWhatADeadTestLeftRunningWithSigtermThenSigkill) {
    const harness::CommandResult run =
        harness::runCommand({HARNESS_ORPHANER}, harness::inheritedEnvironment());
    ASSERT_FALSE(run.status.exited) << run.standardError;
    pid_t heeds = 0;
    pid_t ignores = 0;
    std::istringstream(run.standardOutput) >> heeds >> ignores;
    ASSERT_GT(heeds, 0) << run.standardOutput;
    ASSERT_GT(ignores, 0) << run.standardOutput;

    EXPECT_TRUE(endsWithin(heeds, milliseconds(1000))) << "no SIGTERM";
    EXPECT_FALSE(endsWithin(ignores, milliseconds(0))) << "SIGKILL before the grace";
    EXPECT_TRUE(endsWithin(ignores, harness::kStopGrace + milliseconds(3000))) << "no SIGKILL";
}

}  // namespace
