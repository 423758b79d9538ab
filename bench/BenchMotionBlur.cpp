// The motion blur dialog re-renders its 550 x 300 preview on every slider step, synchronously.
// Targets: 16 ms (one 60 Hz frame) for sigma up to 20 at any radius, 50 ms for the worst case
// (radius 0, sigma 100: about 3,900 taps), 1 ms for the width search that radius 0 runs. Each
// case also runs the plain transcription of the algorithm kept with the tests, checks that both
// give the same bytes and reports the ratio, so the figures mean something on any machine.
#include "filter/MotionBlurFilter.h"
#include "host/OrvanelBitmap.h"
#include "native/MotionBlurOracle.h"

#include "OracleBaseline.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

using Orvanel::Filter::CMotionBlurFilter;
using QuilletBench::Clock;
using QuilletBench::Ms;

constexpr int kWidth = 550, kHeight = 300;

struct Case {
    const char* name;
    double radius, sigma, angle, targetMs;
};

const Case kCases[] = {
    {"r10_s5_a30", 10.0, 5.0, 30.0, 16.0},
    {"r100_s20_a45", 100.0, 20.0, 45.0, 16.0},
    {"r0_s20_a0", 0.0, 20.0, 0.0, 16.0},
    {"r0_s100_a0", 0.0, 100.0, 0.0, 50.0},
};
constexpr double kSearchSigma = 100.0, kSearchTargetMs = 1.0;

// The fourth byte is noise too: the filter must leave it as it found it.
const COrvanelBitmap& Preview() {
    static const COrvanelBitmap preview = QuilletBench::NoisyPicture(kWidth, kHeight, true);
    return preview;
}

QuilletBench::COracleRuns oracleRuns;

COrvanelBitmap BlurWithOracle(const Case& c) {
    COrvanelBitmap image = Preview();
    MotionBlurOracle::MotionBlur(&image, c.radius, c.sigma, c.angle);
    return image;
}

const QuilletBench::OracleResult& Oracle(const Case& c) {
    return oracleRuns.Get(c.name, [&c] { return BlurWithOracle(c); });
}

void BM_Oracle(benchmark::State& state, const Case& c) {
    oracleRuns.Benchmark(state, c.name, [&c] { return BlurWithOracle(c); });
}

void BM_Filter(benchmark::State& state, const Case& c) {
    CMotionBlurFilter filter;
    const QuilletBench::OracleResult& oracle = Oracle(c);
    double total = 0.0;
    bool identical = true;
    for (auto _ : state) {
        state.PauseTiming();
        COrvanelBitmap image = Preview();
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        filter.MotionBlur(&image, c.radius, c.sigma, c.angle);
        total += Ms(Clock::now() - start);
        const unsigned char* p = image.GetPtBitmap();
        identical =
            identical && std::vector<unsigned char>(p, p + 4u * kWidth * kHeight) == oracle.pixels;
    }
    QuilletBench::ReportAgainstOracle(state, total, oracle.ms, identical, c.targetMs);
}

void BM_WidthSearch(benchmark::State& state) {
    const Clock::time_point oracleStart = Clock::now();
    const int expected = MotionBlurOracle::AdaptiveWidth(kSearchSigma);
    const double oracleMs = Ms(Clock::now() - oracleStart);
    double total = 0.0;
    bool identical = true;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const int width = CMotionBlurFilter::AdaptiveKernelWidth(kSearchSigma);
        total += Ms(Clock::now() - start);
        identical = identical && width == expected;
    }
    QuilletBench::ReportAgainstOracle(state, total, oracleMs, identical, kSearchTargetMs);
    state.counters["width"] = expected;
}

const int registered = [] {
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("Oracle/") + c.name).c_str(), BM_Oracle, c)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("Filter/") + c.name).c_str(), BM_Filter, c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("WidthSearch/s100", BM_WidthSearch)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
