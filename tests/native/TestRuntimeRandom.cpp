#include "filter/RuntimeRandom.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <thread>

using Orvanel::Filter::RuntimeRand;
using Orvanel::Filter::SeedRuntimeRand;

namespace {

// The runtime's generator written out in 64-bit arithmetic reduced by hand, so that a slip in
// the 32-bit wrap-around of the production code cannot hide in the same slip here.
struct Reference {
    std::uint64_t state;
    int Next() {
        state = (state * 214013 + 2531011) % 4294967296u;
        return static_cast<int>(state / 65536 % 32768);
    }
};

} // namespace

TEST_CASE("the generator starts from state 1 on a new thread and follows the runtime's formula") {
    int first[5] = {};
    bool sameAsReference = true;
    // A fresh thread: nothing has drawn from its sequence yet.
    std::thread([&] {
        for (int& value : first)
            value = RuntimeRand();
        Reference reference{1};
        for (int i = 0; i < 5; ++i)
            reference.Next();
        for (int i = 0; i < 100000; ++i)
            sameAsReference = sameAsReference && RuntimeRand() == reference.Next();
    }).join();
    CHECK(first[0] == 41);
    CHECK(first[1] == 18467);
    CHECK(first[2] == 6334);
    CHECK(first[3] == 26500);
    CHECK(first[4] == 19169);
    CHECK(sameAsReference);
}

TEST_CASE("seeding restarts the sequence; each thread keeps its own") {
    SeedRuntimeRand(1);
    CHECK(RuntimeRand() == 41);
    SeedRuntimeRand(12345);
    Reference reference{12345};
    for (int i = 0; i < 1000; ++i)
        REQUIRE(RuntimeRand() == reference.Next());
    // Another thread's draws leave this thread's sequence where it was.
    std::thread([] {
        for (int i = 0; i < 10; ++i)
            RuntimeRand();
    }).join();
    CHECK(RuntimeRand() == reference.Next());
    SeedRuntimeRand(0xFFFFFFFFu);
    CHECK(RuntimeRand() == Reference{0xFFFFFFFFu}.Next());
}
