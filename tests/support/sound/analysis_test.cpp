// The detectors the sound tests rely on must see the faults they are there to catch.
#include "analysis.h"
#include "harness/table.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using sound::Audio;

const Audio kTone = sound::markedTone(440, 0.5, 1);
const size_t kLead = 1000;  // silent frames before the tone in the recording

Audio recordingOf(const Audio& tone) {
    Audio out;
    out.samples.assign(kLead * sound::kChannels, 0);
    out.samples.insert(out.samples.end(), tone.samples.begin(), tone.samples.end());
    out.samples.insert(out.samples.end(), kLead * sound::kChannels, 0);
    return out;
}

void silence(Audio& a, size_t from, size_t frames) {
    std::fill_n(a.samples.begin() + from * sound::kChannels, frames * sound::kChannels, 0);
}

struct Fault {
    const char* name;
    std::function<void(Audio&)> apply;
    size_t starts;   // how often the marker is found
    size_t skipped;  // frames missing before the first heard one
    bool differs;    // from the first heard frame on, against the file
    bool gap;        // a silent 10 ms window inside the tone
};

const Fault kFaults[] = {
    {"Intact", [](Audio&) {}, 1, 0, false, false},
    {"DropOut", [](Audio& a) { silence(a, kLead + 8000, 600); }, 1, 0, true, true},
    {"OneFrameLost",
     [](Audio& a) {
         const auto at = a.samples.begin() + (kLead + 9000) * sound::kChannels;
         a.samples.erase(at, at + sound::kChannels);
     },
     1, 0, true, false},
    {"Restarted",
     [](Audio& a) {
         std::copy(kTone.samples.begin(), kTone.samples.begin() + 4000 * sound::kChannels,
                   a.samples.begin() + (kLead + 10000) * sound::kChannels);
     },
     2, 0, true, false},
    {"StartLost", [](Audio& a) { silence(a, kLead, 100); }, 1, 100, false, false},
};

void PrintTo(const Fault& f, std::ostream* os) {
    *os << f.name;
}

class Detectors : public ::testing::TestWithParam<Fault> {};

TEST_P(Detectors, SeeTheFault) {
    const Fault& f = GetParam();
    Audio rec = recordingOf(kTone);
    f.apply(rec);

    const std::vector<size_t> starts = sound::findMarker(rec, kTone);
    ASSERT_EQ(starts.size(), f.starts);
    EXPECT_EQ(starts[0], kLead);
    const size_t heard = sound::firstSoundFrom(rec, starts[0]).value();
    EXPECT_EQ(heard - starts[0], f.skipped);
    EXPECT_EQ(sound::maxDeviation(rec, heard, kTone, heard - starts[0]).value() > 0, f.differs);
    const size_t window = sound::framesIn(0.01);
    EXPECT_EQ(!sound::gaps(rec, heard, kLead + kTone.frames(), window, 3000).empty(), f.gap);
}

INSTANTIATE_TEST_SUITE_P(Faults, Detectors, ::testing::ValuesIn(kFaults), harness::rowName);

TEST(Detectors, RecordingThatEndsInsideTheToneHasNoDeviation) {
    Audio rec = recordingOf(kTone);
    rec.samples.resize((kLead + 100) * sound::kChannels);
    EXPECT_FALSE(sound::maxDeviation(rec, kLead, kTone).has_value());
}

}  // namespace
