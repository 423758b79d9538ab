#include "filter/RuntimeRandom.h"

#if defined(_WIN32)
#include <cstdlib>
#else
#include <cstdint>
#endif

namespace Orvanel::Filter {

#if defined(_WIN32)

// The runtime's own generator, whose state lives per thread in the runtime.
int RuntimeRand() { return std::rand(); }

void SeedRuntimeRand(unsigned int seed) { std::srand(seed); }

#else

namespace {

// Each thread starts from the state the runtime gives a new thread.
thread_local std::uint32_t state = 1;

} // namespace

int RuntimeRand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

void SeedRuntimeRand(unsigned int seed) { state = seed; }

#endif

} // namespace Orvanel::Filter
