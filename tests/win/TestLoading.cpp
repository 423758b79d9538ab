// The flare's rays draw from the calling thread's C runtime generator, so a host that seeds it
// gets the same rays again only if loading the library neither seeds nor draws from it. This
// program does not import Quillet.dll, so the library is first loaded here, on a fresh thread.
#include <doctest/doctest.h>

#include <windows.h>

#include <cstdlib>
#include <thread>

TEST_CASE("loading Quillet.dll neither seeds nor draws from the thread's generator") {
    REQUIRE(GetModuleHandleW(L"Quillet.dll") == nullptr);
    int first = -1;
    std::thread([&] {
        std::srand(7);
        if (LoadLibraryW(L"Quillet.dll") != nullptr)
            first = std::rand();
    }).join();
    // The runtime's first number after srand(7): (7 * 214013 + 2531011) >> 16 & 0x7FFF.
    CHECK(first == 61);
}
