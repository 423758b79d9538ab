// The effects library as hosts call it, built in both worlds: on buffers whose rows carry
// padding, the blur gives MotionBlurOracle's bytes and the flare, from a new thread's generator,
// the digests recorded from LensFlareOracle (so with this runtime's rand and maths); the padding,
// and every buffer a call refuses, stay as they were.
#include <quillet/Effects.h>

#include "filter/RuntimeRandom.h"
#include "native/LensFlareOracle.h"
#include "native/MotionBlurOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mt19937 rng(19);

// A host's copy of a bitmap's pixels, each row followed by 12 random bytes of padding.
struct Padded {
    explicit Padded(const COrvanelBitmap& bitmap)
        : width(bitmap.GetBitmapWidth()), height(bitmap.GetBitmapHeight()), stride(4 * width + 12),
          bytes(static_cast<std::size_t>(stride) * height) {
        for (unsigned char& byte : bytes)
            byte = static_cast<unsigned char>(rng());
        Take(bitmap);
    }
    void Take(const COrvanelBitmap& bitmap) {
        for (unsigned y = 0; y < height; ++y)
            std::memcpy(&bytes[y * stride], bitmap.GetPtBitmap() + y * bitmap.GetWidthSize(),
                        4 * width);
    }
    COrvanelBitmap Bitmap() const {
        COrvanelBitmap bitmap(width, height, 32);
        for (unsigned y = 0; y < height; ++y)
            std::memcpy(bitmap.GetPtBitmap() + y * bitmap.GetWidthSize(), &bytes[y * stride],
                        4 * width);
        return bitmap;
    }
    unsigned width, height;
    long stride;
    std::vector<unsigned char> bytes;
};

} // namespace

TEST_CASE("ApplyMotionBlur gives the oracle's bytes in the rows and leaves their padding") {
    const struct {
        int width, height;
        double radius, sigma, angle;
    } cases[] = {{37, 23, 4.5, 2.0, 30}, {40, 9, 0, 1.5, 90},      {1, 30, 3, 5, 180},
                 {64, 48, 12, 6, -135},  {150, 97, 20, 12, 117.5}, {9, 1, -1, 0.8, 400}};
    for (const auto& c : cases) {
        INFO(c.width << "x" << c.height << " radius " << c.radius << " sigma " << c.sigma
                     << " angle " << c.angle);
        COrvanelBitmap expected = FlareDigests::RandomBitmap(c.width, c.height, rng);
        Padded buffer(expected), want = buffer;
        CHECK(Quillet::ApplyMotionBlur(buffer.bytes.data(), buffer.width, buffer.height,
                                       buffer.stride, c.radius, c.sigma, c.angle));
        MotionBlurOracle::MotionBlur(&expected, c.radius, c.sigma, c.angle);
        want.Take(expected);
        CHECK(buffer.bytes == want.bytes);
    }
}

// The ring factors and the rays come from this runtime's maths and rand, so these are the
// figures a host's full-size flare comes to on this side.
TEST_CASE("ApplyLensFlare and the ring factors come to the oracle's digests and bits") {
    for (int k = 0; k <= 100; ++k) {
        const float a = LensFlareOracle::RingSaturation(k);
        std::uint32_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        CHECK_MESSAGE(bits == FlareDigests::kRingSaturationBits[k], k);
    }
    std::thread([] { // a new thread, so that the rays start from the generator's first state
        for (const FlareDigests::Case& c : FlareDigests::kCases) {
            Padded buffer(FlareDigests::Pattern(c.width, c.height)), want = buffer;
            CHECK(Quillet::ApplyLensFlare(buffer.bytes.data(), buffer.width, buffer.height,
                                          buffer.stride, c.x, c.y, c.size, c.brightness, c.hue,
                                          c.intensity));
            const COrvanelBitmap drawn = buffer.Bitmap();
            CHECK_MESSAGE(FlareDigests::Digest(drawn) == c.digest, std::string(c.name));
            want.Take(drawn);
            CHECK_MESSAGE(buffer.bytes == want.bytes, "padding of " << c.name);
        }
    })
        .join();
}

TEST_CASE("refused calls change no byte and draw no number; the ranges' ends are drawn") {
    Padded buffer(FlareDigests::RandomBitmap(64, 48, rng));
    const std::vector<unsigned char> before = buffer.bytes;
    unsigned char* const p = buffer.bytes.data();
    const long s = buffer.stride, narrow = 4 * 64 - 1;
    const struct {
        unsigned char* pixels;
        unsigned width, height;
        long stride;
        double radius, sigma, angle;
    } blurs[] = {
        {nullptr, 64, 48, s, 3, 2, 0}, {p, 0, 48, s, 3, 2, 0},       {p, 64, 0, s, 3, 2, 0},
        {p, 64, 48, narrow, 3, 2, 0},  {p, 64, 48, s, 3, 0, 0},      {p, 64, 48, s, 3, NAN, 0},
        {p, 64, 48, s, 524288, 2, 0},  {p, 64, 48, s, 3, 1e-160, 0}, {p, 64, 48, s, 3, 2, 1e308}};
    for (const auto& b : blurs)
        CHECK_FALSE(Quillet::ApplyMotionBlur(b.pixels, b.width, b.height, b.stride, b.radius,
                                             b.sigma, b.angle));
    std::thread([&] {
        // size, brightness, hue, intensity, y; the source in column 31 of 64
        const auto flare = [](unsigned char* pixels, unsigned width, unsigned height, long stride,
                              const int(&a)[5]) {
            return Quillet::ApplyLensFlare(pixels, width, height, stride, 31, a[4], a[0], a[1],
                                           a[2], a[3]);
        };
        const int fine[5] = {30, 50, 0, 50, 20};
        CHECK_FALSE(flare(nullptr, 64, 48, s, fine));
        CHECK_FALSE(flare(p, 0, 48, s, fine));
        CHECK_FALSE(flare(p, 64, 0, s, fine));
        CHECK_FALSE(flare(p, 64, 48, narrow, fine));
        const int refused[][5] = {{-1, 50, 0, 50, 20},        {30, 101, 0, 50, 20},
                                  {30, -1, 0, 50, 20},        {30, 50, 0, 101, 20},
                                  {30, 50, 0, -1, 20},        {30, 50, 1000001, 50, 20},
                                  {30, 50, -1000001, 50, 20}, {65535, 0, 0, 0, -1000000}};
        for (const auto& a : refused)
            CHECK_FALSE_MESSAGE(flare(p, 64, 48, s, a),
                                a[0] << " " << a[1] << " " << a[2] << " " << a[3] << " " << a[4]);
        CHECK(buffer.bytes == before);
        // The ranges' ends are drawn; at size 0 without rays.
        const int ends[][5] = {{0, 100, 1000000, 100, 20}, {0, 0, -1000000, 0, 20}};
        for (const auto& a : ends)
            CHECK(flare(p, 64, 48, s, a));
        CHECK(Orvanel::Filter::RuntimeRand() == LensFlareOracle::Generator().Next());
    }).join();
}
