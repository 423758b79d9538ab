#pragma once
// What each benchmark of a fast path reports beside the literal oracle it is proved against,
// in the same run: mean ms per call, the oracle's ms and the ratio, whether both gave the same
// bytes, and the target with whether it was met.
#include <benchmark/benchmark.h>

#include <chrono>

namespace QuilletBench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

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
