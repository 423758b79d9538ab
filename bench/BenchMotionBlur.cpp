// The motion blur dialog re-renders its 550 x 300 preview on every slider step, synchronously.
// Targets: 16 ms (one 60 Hz frame) for sigma up to 20 at any radius, 50 ms for the worst case
// (radius 0, sigma 100: about 3,900 taps), 1 ms for the width search that radius 0 runs. Each
// case also runs the plain transcription of the algorithm kept with the tests, checks that both
// give the same bytes and reports the ratio, so the figures mean something on any machine.
#include "filter/MotionBlurFilter.h"
#include "host/OrvanelBitmap.h"
#include "native/MotionBlurOracle.h"

#include "BaselineCounters.h"

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

// A smooth picture with noise on top, like a scaled-down photo: the same every run.
const COrvanelBitmap& Preview() {
    static const COrvanelBitmap preview = [] {
        COrvanelBitmap b(kWidth, kHeight, 32);
        std::uint32_t seed = 4711;
        unsigned char* p = b.GetPtBitmap();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x, p += 4) {
                seed = seed * 1664525u + 1013904223u;
                const unsigned noise = seed >> 27;
                p[0] = static_cast<unsigned char>(((x * 255) / kWidth) ^ noise);
                p[1] = static_cast<unsigned char>((y * 255) / kHeight + noise);
                p[2] = static_cast<unsigned char>((((x + y) * 3) & 0xFF) ^ (noise << 2));
                p[3] = static_cast<unsigned char>(seed >> 8);
            }
        return b;
    }();
    return preview;
}

struct OracleResult {
    double ms = 0.0;
    std::vector<unsigned char> pixels;
};
std::map<std::string, OracleResult> oracleResults;

// The oracle is slow (seconds for the widest kernel): it runs once per case and is reused.
const OracleResult& Oracle(const Case& c) {
    OracleResult& result = oracleResults[c.name];
    if (result.pixels.empty()) {
        COrvanelBitmap image = Preview();
        const Clock::time_point start = Clock::now();
        MotionBlurOracle::MotionBlur(&image, c.radius, c.sigma, c.angle);
        result.ms = Ms(Clock::now() - start);
        const unsigned char* p = image.GetPtBitmap();
        result.pixels.assign(p, p + 4u * kWidth * kHeight);
    }
    return result;
}

void BM_Oracle(benchmark::State& state, const Case& c) {
    for (auto _ : state) {
        oracleResults.erase(c.name);
        Oracle(c);
    }
    state.counters["oracle_ms"] = Oracle(c).ms;
}

void BM_Filter(benchmark::State& state, const Case& c) {
    CMotionBlurFilter filter;
    const OracleResult& oracle = Oracle(c);
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
