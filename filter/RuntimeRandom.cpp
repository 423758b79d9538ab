#include "filter/RuntimeRandom.h"

#if defined(_WIN32)
#include <cstdlib>
#endif

namespace Orvanel::Filter {

#if defined(_WIN32)

int RuntimeRand() { return std::rand(); }
void SeedRuntimeRand(unsigned int seed) { std::srand(seed); }

#else

namespace {
// Per thread, like the Windows runtime's own state, and starting where that one starts.
thread_local unsigned int state = 1;
} // namespace

int RuntimeRand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void SeedRuntimeRand(unsigned int seed) { state = seed; }

#endif

} // namespace Orvanel::Filter
