#pragma once
// The C runtime's rand as the lens flare's rays use it. In the Windows build it is the
// runtime's own generator: never seeded by the library, its sequence continuing from render to
// render on the calling thread. The native build reproduces that generator exactly (state
// starts at 1; state = state x 214013 + 2531011; result (state >> 16) & 0x7FFF), so that a
// render in a fresh process gives the same rays in both builds.

namespace Orvanel::Filter {

// The next number, 0 ... 32767.
int RuntimeRand();

// Restarts the calling thread's sequence (the runtime's srand). The library never calls it;
// tests do, to line a render up with a reference.
void SeedRuntimeRand(unsigned int seed);

} // namespace Orvanel::Filter
