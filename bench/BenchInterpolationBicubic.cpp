// The viewer's typical thumbnail job: a 12-megapixel photo down to a 550 x 300 preview. The
// target is 30 ms; so that the figure means something on any machine it is also reported as a
// ratio to copying the source once (48 MB through memory, the floor for touching it at all).
#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int kSrcWidth = 4000, kSrcHeight = 3000;
constexpr int kDstWidth = 550, kDstHeight = 300;
constexpr double kTargetMs = 30.0;

const COrvanelBitmap& Photo() {
    static const COrvanelBitmap photo = [] {
        COrvanelBitmap b(kSrcWidth, kSrcHeight, 32);
        std::uint32_t seed = 12345;
        unsigned char* p = b.GetPtBitmap();
        for (std::size_t i = 0; i < 4u * kSrcWidth * kSrcHeight; ++i) {
            seed = seed * 1664525u + 1013904223u;
            p[i] = static_cast<unsigned char>(seed >> 24);
        }
        return b;
    }();
    return photo;
}

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Mean time of a plain copy of the source; filled in by the copy benchmark, or measured here
// if that one was filtered out.
double copyMs = 0.0;

double CopyMs() {
    if (copyMs == 0.0) {
        const COrvanelBitmap& src = Photo();
        std::vector<unsigned char> target(4u * kSrcWidth * kSrcHeight, 1);
        const int runs = 20;
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < runs; ++i) {
            std::memcpy(target.data(), src.GetPtBitmap(), target.size());
            benchmark::ClobberMemory();
        }
        copyMs = Ms(Clock::now() - start) / runs;
    }
    return copyMs;
}

void BM_CopySource(benchmark::State& state) {
    const COrvanelBitmap& src = Photo();
    std::vector<unsigned char> target(4u * kSrcWidth * kSrcHeight, 1);
    double total = 0.0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::memcpy(target.data(), src.GetPtBitmap(), target.size());
        benchmark::ClobberMemory();
        total += Ms(Clock::now() - start);
    }
    copyMs = total / static_cast<double>(state.iterations());
    state.counters["copy_ms"] = copyMs;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * target.size());
}

void BM_ResampleToPreview(benchmark::State& state) {
    COrvanelBitmap src = Photo();
    COrvanelBitmap dst(kDstWidth, kDstHeight, 32);
    COrvanelBitmap* out = &dst;
    CInterpolationBicubic bicubic;
    double total = 0.0, best = 1e9;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        bicubic.Execute(&src, out);
        benchmark::ClobberMemory();
        const double ms = Ms(Clock::now() - start);
        total += ms;
        best = std::min(best, ms);
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["resample_ms"] = mean;
    state.counters["resample_ms_best"] = best;
    state.counters["copy_ms"] = CopyMs();
    state.counters["ratio_to_copy"] = mean / CopyMs();
    state.counters["target_ms"] = kTargetMs;
    state.counters["target_met"] = mean <= kTargetMs ? 1 : 0;
}

} // namespace

BENCHMARK(BM_CopySource)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResampleToPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
