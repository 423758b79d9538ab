#include "fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace FuzzCheck {
namespace {

// Never destroyed: the counts are printed by an exit handler, after static destructors may run.
std::map<std::string, long>& Counts() {
    static auto* counts = new std::map<std::string, long>;
    return *counts;
}

void PrintCounts() {
    for (const auto& [branch, count] : Counts())
        std::fprintf(stderr, "branch %-28s %ld\n", branch.c_str(), count);
}

} // namespace

void Fail(const std::string& what, const std::string& context) {
    std::fprintf(stderr, "\n*** fast filter and oracle disagree: %s\n%s\n", what.c_str(),
                 context.c_str());
    std::abort();
}

void SameBytes(const unsigned char* fast, const unsigned char* oracle, std::size_t bytes, int width,
               const std::string& context) {
    if (bytes == 0 || std::memcmp(fast, oracle, bytes) == 0)
        return;
    std::size_t i = 0;
    while (fast[i] == oracle[i])
        ++i;
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
    char where[160];
    std::snprintf(where, sizeof where, "byte %zu (x %zu, y %zu, channel %zu): fast %d, oracle %d",
                  i, i % rowBytes / 4, i / rowBytes, i % 4, fast[i], oracle[i]);
    Fail(where, context);
}

void Count(const char* branch) {
    static const bool enabled = [] {
        if (std::getenv("QUILLET_FUZZ_STATS") == nullptr)
            return false;
        std::atexit(PrintCounts);
        return true;
    }();
    if (enabled)
        ++Counts()[branch];
}

bool Showing() {
    static const bool showing = std::getenv("QUILLET_FUZZ_SHOW") != nullptr;
    return showing;
}

std::string Exact(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g (%a)", value, value);
    return text;
}

} // namespace FuzzCheck
