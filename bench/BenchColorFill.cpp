// The colour box repaints its 258 x 258 saturation/brightness square on every step of the hue
// slider. Target: 1 ms per square. The plain transcription kept with the tests (one conversion
// per pixel) runs in the same program over the same hues; the fill reports its time, the
// oracle's and the ratio, and checks that both give the same bytes.
#include "color/ColorFill.h"
#include "host/OrvanelBitmap.h"
#include "native/ColorOracle.h"

#include "OracleBaseline.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

namespace {

using QuilletBench::Clock;
using QuilletBench::Ms;

constexpr int kSide = 258;
constexpr double kTargetMs = 1.0;
constexpr std::size_t kBytes = 4u * kSide * kSide;

// Mean time of the oracle over one sweep of the slider, hues 0 ... 359, after one warm-up call
// (the bitmap's first touch would otherwise count).
double OracleMs() {
    static const double ms = [] {
        COrvanelBitmap matrix(kSide, kSide, 32);
        ColorOracle::FillMatrix(&matrix, 0);
        const Clock::time_point start = Clock::now();
        for (int hue = 0; hue < 360; ++hue) {
            ColorOracle::FillMatrix(&matrix, hue);
            benchmark::DoNotOptimize(matrix.GetPtBitmap());
        }
        return Ms(Clock::now() - start) / 360.0;
    }();
    return ms;
}

void BM_MatrixOracle(benchmark::State& state) {
    COrvanelBitmap matrix(kSide, kSide, 32);
    int hue = 0;
    for (auto _ : state) {
        ColorOracle::FillMatrix(&matrix, hue);
        benchmark::DoNotOptimize(matrix.GetPtBitmap());
        hue = (hue + 1) % 360;
    }
    state.counters["oracle_ms"] = OracleMs();
}

void BM_Matrix(benchmark::State& state) {
    COrvanelBitmap matrix(kSide, kSide, 32), expected(kSide, kSide, 32);
    int hue = 0;
    double total = 0.0;
    bool identical = true;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        Orvanel::Color::FillColorMatrix(&matrix, hue);
        total += Ms(Clock::now() - start);
        benchmark::DoNotOptimize(matrix.GetPtBitmap());
        state.PauseTiming();
        ColorOracle::FillMatrix(&expected, hue);
        identical =
            identical && std::memcmp(matrix.GetPtBitmap(), expected.GetPtBitmap(), kBytes) == 0;
        hue = (hue + 1) % 360;
        state.ResumeTiming();
    }
    QuilletBench::ReportAgainstOracle(state, total, OracleMs(), identical, kTargetMs);
}

BENCHMARK(BM_MatrixOracle)->Name("Oracle/matrix_258")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Matrix)->Name("Fill/matrix_258")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
