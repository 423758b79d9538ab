// The lens flare's bytes depend on the runtime: its rand places the rays, its sqrt, asin, exp,
// sin and cos shape the discs and rings. The same renders as the native tests, with the same
// digests, show that this build's runtime gives the native build's bytes.
#include "filter/LensFlareFilter.h"
#include "filter/RuntimeRandom.h"
#include "host/OrvanelBitmap.h"
#include "native/LensFlareOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

TEST_CASE("the runtime's rand starts every thread from state 1 and follows the formula") {
    std::vector<int> runtime, formula;
    // A new thread: nothing has drawn from its generator yet.
    std::thread([&] {
        for (int i = 0; i < 1000; ++i)
            runtime.push_back(Orvanel::Filter::RuntimeRand());
    }).join();
    LensFlareOracle::Generator generator(1);
    for (int i = 0; i < 1000; ++i)
        formula.push_back(generator.Next());
    CHECK(runtime == formula);
    CHECK(runtime[0] == 41);
    CHECK(runtime[4] == 19169);
}

TEST_CASE("the ring saturation factors are the native build's") {
    for (int k = 0; k <= 100; ++k) {
        const float a = LensFlareOracle::RingSaturation(k);
        std::uint32_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        CAPTURE(k);
        CHECK(bits == FlareDigests::kRingSaturationBits[k]);
    }
}

TEST_CASE("flares drawn with the runtime's generator come to the native digests") {
    std::vector<std::uint64_t> digests;
    // On a new thread, so that the rays start from the generator's first state.
    std::thread([&] {
        LensFlareOracle::RuntimeSource runtime;
        for (const FlareDigests::Case& c : FlareDigests::kCases) {
            COrvanelBitmap bitmap = FlareDigests::Pattern(c.width, c.height);
            LensFlareOracle::Painter().LensFlare(&bitmap, c.x, c.y, c.size, c.brightness, c.hue,
                                                 c.intensity, runtime);
            digests.push_back(FlareDigests::Digest(bitmap));
        }
    }).join();
    REQUIRE(digests.size() == std::size(FlareDigests::kCases));
    for (std::size_t i = 0; i < digests.size(); ++i) {
        CAPTURE(std::string(FlareDigests::kCases[i].name));
        CHECK(digests[i] == FlareDigests::kCases[i].digest);
    }
}

TEST_CASE("the production renderer, built for Windows, comes to the same digests") {
    std::vector<std::uint64_t> digests;
    std::thread([&] {
        Orvanel::Filter::CLensFlareFilter filter;
        for (const FlareDigests::Case& c : FlareDigests::kCases) {
            COrvanelBitmap bitmap = FlareDigests::Pattern(c.width, c.height);
            filter.LensFlare(&bitmap, c.x, c.y, c.size, c.brightness, c.hue, c.intensity);
            digests.push_back(FlareDigests::Digest(bitmap));
        }
    }).join();
    REQUIRE(digests.size() == std::size(FlareDigests::kCases));
    for (std::size_t i = 0; i < digests.size(); ++i) {
        CAPTURE(std::string(FlareDigests::kCases[i].name));
        CHECK(digests[i] == FlareDigests::kCases[i].digest);
    }
}
