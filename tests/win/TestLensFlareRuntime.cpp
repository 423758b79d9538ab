// The lens flare's bytes depend on the runtime: its rand places the rays (from state 1 on a new
// thread), its sqrt, asin, exp, sin and cos shape the discs and rings. The same renders as the
// native tests, by the oracle and by the renderer the DLL carries, with the same digests, show
// that this build's runtime gives the native build's bytes.
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
    // Each renderer on a new thread, so that its rays start from the generator's first state.
    const auto digestsOf = [](const auto& render) {
        std::vector<std::uint64_t> digests;
        std::thread([&] {
            for (const FlareDigests::Case& c : FlareDigests::kCases) {
                COrvanelBitmap bitmap = FlareDigests::Pattern(c.width, c.height);
                render(bitmap, c);
                digests.push_back(FlareDigests::Digest(bitmap));
            }
        }).join();
        return digests;
    };
    LensFlareOracle::RuntimeSource runtime;
    const std::vector<std::uint64_t> oracle =
        digestsOf([&](COrvanelBitmap& bitmap, const FlareDigests::Case& c) {
            LensFlareOracle::Painter().LensFlare(&bitmap, c.x, c.y, c.size, c.brightness, c.hue,
                                                 c.intensity, runtime);
        });
    // What the DLL draws for the dialog's preview, and what a host drawing with it draws.
    const std::vector<std::uint64_t> production =
        digestsOf([](COrvanelBitmap& bitmap, const FlareDigests::Case& c) {
            Orvanel::Filter::CLensFlareFilter().LensFlare(&bitmap, c.x, c.y, c.size, c.brightness,
                                                          c.hue, c.intensity);
        });
    REQUIRE(oracle.size() == std::size(FlareDigests::kCases));
    REQUIRE(production.size() == oracle.size());
    for (std::size_t i = 0; i < oracle.size(); ++i) {
        CAPTURE(std::string(FlareDigests::kCases[i].name));
        CHECK(oracle[i] == FlareDigests::kCases[i].digest);
        CHECK(production[i] == FlareDigests::kCases[i].digest);
    }
}
