// The effects library as hosts call it, in both worlds: on padded rows the blur gives the oracle's
// bytes and the flare, from a new thread's generator, the digests recorded from the oracle (as
// the oracle does with this runtime's maths); the padding, and refused buffers, stay as they were.
#include <quillet/Effects.h>

#include "filter/RuntimeRandom.h"
#include "native/LensFlareOracle.h"
#include "native/MotionBlurOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <tuple>
#include <vector>

namespace {

std::mt19937 rng(19);
long Stride(unsigned width) { return 4L * width + 12; }

// The bitmap's rows as a host's buffer may hold them, each followed by padding bytes of 0xA5.
std::vector<unsigned char> Padded(const COrvanelBitmap& bitmap) {
    const unsigned width = bitmap.GetBitmapWidth(), height = bitmap.GetBitmapHeight();
    std::vector<unsigned char> bytes(static_cast<std::size_t>(Stride(width)) * height, 0xA5);
    for (unsigned y = 0; y < height; ++y)
        std::memcpy(&bytes[y * Stride(width)], bitmap.GetPtBitmap() + y * bitmap.GetWidthSize(),
                    4 * width);
    return bytes;
}

} // namespace

TEST_CASE("ApplyMotionBlur gives the oracle's bytes in the rows and leaves their padding") {
    // width, height, radius, sigma, angle
    const double cases[][5] = {{37, 23, 4.5, 2, 30},     {40, 9, 0, 1.5, 90},
                               {1, 30, 3, 5, 180},       {64, 48, 12, 6, -135},
                               {150, 97, 20, 12, 117.5}, {9, 1, -1, 0.8, 400}};
    for (const auto& c : cases) {
        INFO(c[0] << "x" << c[1] << " radius " << c[2] << " sigma " << c[3] << " angle " << c[4]);
        const unsigned width = static_cast<unsigned>(c[0]), height = static_cast<unsigned>(c[1]);
        COrvanelBitmap picture = FlareDigests::RandomBitmap(width, height, rng);
        std::vector<unsigned char> buffer = Padded(picture);
        CHECK(Quillet::ApplyMotionBlur(buffer.data(), width, height, Stride(width), c[2], c[3],
                                       c[4]));
        MotionBlurOracle::MotionBlur(&picture, c[2], c[3], c[4]);
        CHECK(buffer == Padded(picture));
    }
}

// The ring factors and the rays come from this runtime's maths and rand: these are the figures
// a host's full-size flare comes to on this side.
TEST_CASE("ApplyLensFlare, the oracle and its ring factors come to the recorded digests and bits") {
    for (int k = 0; k <= 100; ++k) {
        const float a = LensFlareOracle::RingSaturation(k);
        std::uint32_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        CHECK_MESSAGE(bits == FlareDigests::kRingSaturationBits[k], k);
    }
    std::thread([] { // a new thread, so that the rays start from the generator's first state
        LensFlareOracle::Generator generator(1);
        for (const FlareDigests::Case& c : FlareDigests::kCases) {
            COrvanelBitmap oracle = FlareDigests::Pattern(c.width, c.height);
            std::vector<unsigned char> buffer = Padded(oracle);
            CHECK(Quillet::ApplyLensFlare(buffer.data(), c.width, c.height, Stride(c.width), c.x,
                                          c.y, c.size, c.brightness, c.hue, c.intensity));
            LensFlareOracle::Painter().LensFlare(&oracle, c.x, c.y, c.size, c.brightness, c.hue,
                                                 c.intensity, generator);
            CHECK_MESSAGE(FlareDigests::Digest(oracle) == c.digest, "the oracle's, " << c.name);
            CHECK_MESSAGE(buffer == Padded(oracle), c.name);
        }
    })
        .join();
}

TEST_CASE("refused calls change no byte and draw no number; the ranges' ends are drawn") {
    std::vector<unsigned char> buffer = Padded(FlareDigests::RandomBitmap(64, 48, rng));
    const std::vector<unsigned char> before = buffer;
    unsigned char* const p = buffer.data();
    const long s = Stride(64);
    std::thread([&] {
        // size, brightness, hue, intensity, y; the source in column 31 of 64
        const auto flare = [](unsigned char* pixels, unsigned width, unsigned height, long stride,
                              const int(&a)[5]) {
            return Quillet::ApplyLensFlare(pixels, width, height, stride, 31, a[4], a[0], a[1],
                                           a[2], a[3]);
        };
        const std::tuple<unsigned char*, unsigned, unsigned, long> buffers[] = {
            {nullptr, 64, 48, s}, {p, 0, 48, s}, {p, 64, 0, s}, {p, 64, 48, 4 * 64 - 1}};
        for (const auto& [pixels, width, height, stride] : buffers)
            CHECK_FALSE((Quillet::ApplyMotionBlur(pixels, width, height, stride, 3, 2, 0) ||
                         flare(pixels, width, height, stride, {30, 50, 0, 50, 20})));
        // radius, sigma, angle
        const double blurs[][3] = {
            {3, 0, 0}, {3, NAN, 0}, {524288, 2, 0}, {3, 1e-160, 0}, {3, 2, 1e308}};
        for (const auto& b : blurs)
            CHECK_FALSE(Quillet::ApplyMotionBlur(p, 64, 48, s, b[0], b[1], b[2]));
        const int flares[][5] = {{-1, 50, 0, 50, 20},        {30, 101, 0, 50, 20},
                                 {30, -1, 0, 50, 20},        {30, 50, 0, 101, 20},
                                 {30, 50, 0, -1, 20},        {30, 50, 1000001, 50, 20},
                                 {30, 50, -1000001, 50, 20}, {65535, 0, 0, 0, -1000000}};
        for (const auto& a : flares)
            CHECK_FALSE_MESSAGE(flare(p, 64, 48, s, a), (&a - flares));
        CHECK(buffer == before);
        // The ranges' ends are drawn; at size 0 without rays.
        CHECK(flare(p, 64, 48, s, {0, 100, 1000000, 100, 20}));
        CHECK(flare(p, 64, 48, s, {0, 0, -1000000, 0, 20}));
        CHECK(Orvanel::Filter::RuntimeRand() == LensFlareOracle::Generator().Next());
    }).join();
}
