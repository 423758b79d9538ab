#pragma once
// What the benchmarks of the fast paths share: a fixed test picture, the oracle's runs kept per
// case (the oracle takes seconds, so it runs once and is reused), and the figures each reports
// beside the oracle in the same run: mean ms per call, the oracle's ms and the ratio, whether
// both gave the same bytes, and the target with whether it was met.
#include "host/OrvanelBitmap.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace QuilletBench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// A smooth picture with noise on top, like a scaled-down photo: the same every run. The fourth
// byte is 0, or noise too when the code under test must leave it as it found it.
inline COrvanelBitmap NoisyPicture(int width, int height, bool noisyFourthByte) {
    COrvanelBitmap b(width, height, 32);
    std::uint32_t seed = 4711;
    unsigned char* p = b.GetPtBitmap();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += 4) {
            seed = seed * 1664525u + 1013904223u;
            const unsigned noise = seed >> 27;
            p[0] = static_cast<unsigned char>(((x * 255) / width) ^ noise);
            p[1] = static_cast<unsigned char>((y * 255) / height + noise);
            p[2] = static_cast<unsigned char>((((x + y) * 3) & 0xFF) ^ (noise << 2));
            p[3] = noisyFourthByte ? static_cast<unsigned char>(seed >> 8) : 0;
        }
    return b;
}

inline std::vector<unsigned char> PixelBytes(const COrvanelBitmap& b) {
    const unsigned char* p = b.GetPtBitmap();
    return std::vector<unsigned char>(p, p + 4u * b.GetBitmapWidth() * b.GetBitmapHeight());
}

struct OracleResult {
    double ms = 0.0;
    std::vector<unsigned char> pixels;
};

// The oracle's result for each case, made by `draw` (which returns the bitmap drawn) the first
// time it is asked for and kept.
class COracleRuns {
public:
    const OracleResult& Get(const std::string& name, const std::function<COrvanelBitmap()>& draw) {
        OracleResult& result = results_[name];
        if (result.pixels.empty()) {
            const Clock::time_point start = Clock::now();
            const COrvanelBitmap drawn = draw();
            result.ms = Ms(Clock::now() - start);
            result.pixels = PixelBytes(drawn);
        }
        return result;
    }
    // Times the oracle anew for each iteration (the Oracle/ rows of the report).
    void Benchmark(benchmark::State& state, const std::string& name,
                   const std::function<COrvanelBitmap()>& draw) {
        for (auto _ : state) {
            results_.erase(name);
            Get(name, draw);
        }
        state.counters["oracle_ms"] = Get(name, draw).ms;
    }

private:
    std::map<std::string, OracleResult> results_;
};

// oracleMs below 0: the case runs without the oracle (it would take minutes).
inline void ReportAgainstOracle(benchmark::State& state, double totalMs, double oracleMs,
                                bool identical, double targetMs) {
    const double mean = totalMs / static_cast<double>(state.iterations());
    state.counters["ms"] = mean;
    if (oracleMs >= 0.0) {
        state.counters["oracle_ms"] = oracleMs;
        state.counters["ratio"] = mean / oracleMs;
        state.counters["identical"] = identical ? 1 : 0;
    }
    state.counters["target_ms"] = targetMs;
    state.counters["target_met"] = mean <= targetMs ? 1 : 0;
}

} // namespace QuilletBench
