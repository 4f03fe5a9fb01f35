// What the clock's once-a-tick work costs: reading the time and printing it, and reading the
// alarm's text back.
#include <benchmark/benchmark.h>

#include "date_time.h"

namespace {

void currentTimeToText(benchmark::State& state) {
    const rt::SystemClock clock;
    const rt::DateTime dt(clock, rt::RegionalFormats::russianStyle());
    for (auto _ : state) {
        benchmark::DoNotOptimize(dt.toText(dt.currentTime()));
    }
}
BENCHMARK(currentTimeToText);

void fromTextTime(benchmark::State& state) {
    const rt::FakeClock clock;
    const rt::DateTime dt(clock, rt::RegionalFormats::russianStyle());
    for (auto _ : state) {
        benchmark::DoNotOptimize(dt.fromText("12:00:00"));
    }
}
BENCHMARK(fromTextTime);

void fromTextDateAndTime(benchmark::State& state) {
    const rt::FakeClock clock;
    const rt::DateTime dt(clock, rt::RegionalFormats::russianStyle());
    for (auto _ : state) {
        benchmark::DoNotOptimize(dt.fromText("10.12.2026 7:30:05"));
    }
}
BENCHMARK(fromTextDateAndTime);

void fromUserLocale(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(rt::RegionalFormats::fromUserLocale());
    }
}
BENCHMARK(fromUserLocale);

}  // namespace

BENCHMARK_MAIN();
