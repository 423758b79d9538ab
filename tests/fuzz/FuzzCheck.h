#pragma once
#include <cstddef>
#include <string>

// What the harnesses do when the fast filter and the oracle disagree: print the case and the
// first differing byte, then abort, which makes the fuzzer keep the input as a crash file.
namespace FuzzCheck {

[[noreturn]] void Fail(const std::string& what, const std::string& context);

// Compares two packed 32-bit images of the given width byte for byte.
void SameBytes(const unsigned char* fast, const unsigned char* oracle, std::size_t bytes, int width,
               const std::string& context);

// Counts how often a harness takes each of its branches; with QUILLET_FUZZ_STATS set in the
// environment the counts are printed at exit, to see that inputs are compared, not rejected.
void Count(const char* branch);

// True when QUILLET_FUZZ_SHOW is set: the harnesses then print every case they decode.
bool Showing();

// A double written exactly and readably.
std::string Exact(double value);

} // namespace FuzzCheck
