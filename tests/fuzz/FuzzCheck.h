#pragma once
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// What the harnesses do when the fast filter and the oracle disagree: print the case and what
// differs, then abort, which makes the fuzzer keep the input as a crash file.
[[noreturn]] inline void FuzzFail(const std::string& what, const std::string& context) {
    std::fprintf(stderr, "\n*** fast filter and oracle disagree: %s\n%s\n", what.c_str(),
                 context.c_str());
    std::abort();
}

template <class... Values> std::string FuzzText(const char* format, Values... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// Compares two packed 32-bit images `width` pixels wide byte for byte; describe() tells the case.
template <class Describe>
void FuzzSameBytes(const std::vector<unsigned char>& fast, const std::vector<unsigned char>& oracle,
                   int width, Describe describe) {
    if (fast == oracle)
        return;
    if (fast.size() != oracle.size())
        FuzzFail(FuzzText("%zu bytes, oracle %zu", fast.size(), oracle.size()), describe());
    for (std::size_t i = 0, row = 4 * static_cast<std::size_t>(width); i < fast.size(); ++i) {
        if (fast[i] != oracle[i])
            FuzzFail(FuzzText("byte %zu (x %zu, y %zu, channel %zu): fast %d, oracle %d", i,
                              i % row / 4, i / row, i % 4, fast[i], oracle[i]),
                     describe());
    }
}
