// The effects library in both worlds, on padded rows: the blur's bytes, the flare's digests (a new
// thread's rays) and the oracle's with this runtime's maths; the padding, and refused buffers,
// kept.
#include <quillet/Effects.h>

#include "filter/RuntimeRandom.h"
#include "native/LensFlareOracle.h"
#include "native/MotionBlurOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>

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
        INFO("case " << (&c - cases));
        const unsigned width = static_cast<unsigned>(c[0]), height = static_cast<unsigned>(c[1]);
        COrvanelBitmap picture = FlareDigests::RandomBitmap(width, height, rng);
        std::vector<unsigned char> buffer = Padded(picture);
        CHECK(Quillet::ApplyMotionBlur(buffer.data(), width, height, Stride(width), c[2], c[3],
                                       c[4]));
        MotionBlurOracle::MotionBlur(&picture, c[2], c[3], c[4]);
        CHECK(buffer == Padded(picture));
    }
}

TEST_CASE("ApplyLensFlare, the oracle and its ring factors come to the recorded digests and bits") {
    for (int k = 0; k <= 100; ++k) {
        const float a = LensFlareOracle::RingSaturation(k);
        std::uint32_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        CHECK_MESSAGE(bits == FlareDigests::kRingSaturationBits[k], k);
    }
    // On a new thread the rays start from the generator's first state.
    std::thread([] {
        LensFlareOracle::Generator generator(1);
        for (const FlareDigests::Case& c : FlareDigests::kCases) {
            COrvanelBitmap oracle = FlareDigests::Pattern(c.width, c.height);
            std::vector<unsigned char> buffer = Padded(oracle);
            CHECK(Quillet::ApplyLensFlare(buffer.data(), c.width, c.height, Stride(c.width), c.x,
                                          c.y, c.size, c.brightness, c.hue, c.intensity));
            LensFlareOracle::Painter().LensFlare(&oracle, c.x, c.y, c.size, c.brightness, c.hue,
                                                 c.intensity, generator);
            CHECK_MESSAGE((FlareDigests::Digest(oracle) == c.digest && buffer == Padded(oracle)),
                          c.name);
        }
    }).join();
}

TEST_CASE("refused calls change no byte and draw no number; the ranges' ends are drawn") {
    std::vector<unsigned char> buffer = Padded(FlareDigests::RandomBitmap(64, 48, rng));
    const std::vector<unsigned char> before = buffer;
    unsigned char* const p = buffer.data();
    const long s = Stride(64);
    Orvanel::Filter::SeedRuntimeRand(5);
    const std::tuple<unsigned char*, unsigned, unsigned, long> buffers[] = {
        {nullptr, 64, 48, s}, {p, 0, 48, s}, {p, 64, 0, s}, {p, 64, 48, 4 * 64 - 1}};
    for (const auto& [pixels, width, height, stride] : buffers)
        CHECK_FALSE(
            (Quillet::ApplyMotionBlur(pixels, width, height, stride, 3, 2, 0) ||
             Quillet::ApplyLensFlare(pixels, width, height, stride, 31, 20, 30, 50, 0, 50)));
    // Size, brightness, hue, intensity, y of a source in column 31: eight refused, then the
    // ranges' ends, drawn (at size 0 without rays).
    const int flares[][5] = {{-1, 50, 0, 50, 20},        {30, 101, 0, 50, 20},
                             {30, -1, 0, 50, 20},        {30, 50, 0, 101, 20},
                             {30, 50, 0, -1, 20},        {30, 50, 1000001, 50, 20},
                             {30, 50, -1000001, 50, 20}, {65535, 0, 0, 0, -1000000},
                             {0, 100, 1000000, 100, 20}, {0, 0, -1000000, 0, 20}};
    for (const auto& a : flares) {
        const bool end = &a - flares >= 8;
        INFO((&a - flares));
        CHECK(Quillet::ApplyLensFlare(p, 64, 48, s, 31, a[4], a[0], a[1], a[2], a[3]) == end);
        CHECK((end || buffer == before));
    }
    CHECK(Orvanel::Filter::RuntimeRand() == LensFlareOracle::Generator(5).Next());
}
