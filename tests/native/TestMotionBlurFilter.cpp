#include "filter/MotionBlurFilter.h"
#include "filter/MotionBlurPass.h"
#include "filter/MotionBlurPlan.h"

#include "host/OrvanelBitmap.h"
#include "native/MotionBlurOracle.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <utility>
#include <vector>

using Orvanel::Filter::CMotionBlurFilter;
using Orvanel::Filter::CMotionBlurPass;
using Orvanel::Filter::CMotionBlurPlan;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Bytes = std::vector<unsigned char>;
std::mt19937 rng;

double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
double LogUniform(double lo, double hi) { return lo * std::pow(hi / lo, Uniform(0.0, 1.0)); }

template <class T> std::vector<T> Random(std::size_t n, double lo, double hi) {
    std::vector<T> values(n);
    for (T& value : values)
        value = static_cast<T>(Uniform(lo, hi));
    return values;
}
Bytes RandomBytes(std::size_t n) { return Random<unsigned char>(n, 0.0, 255.99); }

COrvanelBitmap RandomBitmap(int w, int h) {
    COrvanelBitmap b;
    b.SetBitmap(RandomBytes(4u * w * h).data(), w, h, false, true);
    return b;
}

Bytes Pixels(const COrvanelBitmap& b) {
    const unsigned char* p = b.GetPtBitmap();
    return Bytes(p, p + 4u * b.GetBitmapWidth() * b.GetBitmapHeight());
}

std::vector<double> Kernel(int width, double sigma, bool oracle = false) {
    double* k = nullptr;
    const int n = oracle ? MotionBlurOracle::MakeKernel(width, sigma, k)
                         : CMotionBlurFilter().MakeKernel(width, sigma, k);
    std::vector<double> taps(k, k + n);
    std::free(k);
    return taps;
}

void CheckBlur(const COrvanelBitmap& image, double radius, double sigma, double angle) {
    INFO(image.GetBitmapWidth() << "x" << image.GetBitmapHeight() << " radius " << radius
                                << " sigma " << sigma << " angle " << angle);
    COrvanelBitmap fast = image, slow = image;
    CHECK(CMotionBlurFilter().MotionBlur(&fast, radius, sigma, angle));
    MotionBlurOracle::MotionBlur(&slow, radius, sigma, angle);
    CHECK(Pixels(fast) == Pixels(slow));
}

// The pass alone, checked against the oracle; every output byte must be written.
Bytes Pass(const Bytes& source, std::ptrdiff_t stride, int w, int h,
           const std::vector<double>& kernel, double angle) {
    const int taps = static_cast<int>(kernel.size());
    Bytes fast(4u * w * h, 0xAB), slow(4u * w * h, 0);
    REQUIRE(CMotionBlurFilter::ApplyKernel(source.data(), stride, w, h, kernel.data(), taps, angle,
                                           fast.data()));
    MotionBlurOracle::ApplyKernel(source.data(), stride, w, h, kernel.data(), taps, angle,
                                  slow.data());
    CHECK(fast == slow);
    return fast;
}

// The smallest tap whose product with `byte`, rounded as the pass forms it, reaches `target`.
double TapReaching(int byte, double target) {
    double tap = target / byte;
    while (byte * tap >= target)
        tap = std::nextafter(tap, 0.0);
    while (byte * tap < target)
        tap = std::nextafter(tap, kInf);
    return tap;
}

// One row holding every byte value, each pixel followed by one of `partner`: with tap 0 on a
// pixel and tap 1 on the next, tap 1 meets every accumulator value from 0 to 255.
Bytes EveryValueBeside(int partner) {
    Bytes row;
    for (int value = 0; value < 256; ++value)
        for (int pixel : {value, partner})
            row.insert(row.end(),
                       {static_cast<unsigned char>(pixel), static_cast<unsigned char>(pixel ^ 0x5A),
                        static_cast<unsigned char>(255 - pixel), 0});
    return row;
}

} // namespace

TEST_CASE("kernels: documented taps, the oracle's bits, the adaptive width") {
    const std::vector<double> three = Kernel(3, 1.0), five = Kernel(5, 2.0);
    const double expected[] = {0.6472988, 0.2985857, 0.0541155, // width 3, sigma 1
                               0.3710194, 0.3024019, 0.1928354, 0.0962008, 0.0375425};
    REQUIRE((three.size() == 3 && five.size() == 5));
    for (int i = 0; i < 8; ++i)
        CHECK((i < 3 ? three[i] : five[i - 3]) == doctest::Approx(expected[i]).epsilon(1e-6));
    CHECK((Kernel(0, 1.0) == three && Kernel(-7, 1.0) == three));
    for (int width : {1, 2, 8, 39, 201, 3901})
        for (double sigma : {0.1, 1.0, 5.5, 20.0, 100.0, 1e-3, 1e4, -0.1, -5.5, -1e4}) {
            INFO("width " << width << " sigma " << sigma);
            CHECK(Kernel(width, sigma) == Kernel(width, sigma, true));
        }
    double* k = reinterpret_cast<double*>(&k);
    CHECK(CMotionBlurFilter().MakeKernel(CMotionBlurFilter::kMaxTaps + 1, 1.0, k) == 0);
    CHECK(k == nullptr);

    CHECK(CMotionBlurFilter::AdaptiveKernelWidth(1.0) == 39);
    CHECK(CMotionBlurFilter::AdaptiveKernelWidth(2.0) == 77);
    for (double sigma : {0.1, 0.25, 0.3,  0.5,  0.75, 1.5,  3.0,  7.25,  12.5, 20.0,
                         33., 50.0, 64.0, 99.9, 100., -4.0, 1e-3, 1e-10, 0.0,  kNaN})
        CHECK_MESSAGE(CMotionBlurFilter::AdaptiveKernelWidth(sigma) ==
                          MotionBlurOracle::AdaptiveWidth(sigma),
                      sigma);
}

TEST_CASE("the blur matches the oracle byte for byte") {
    rng.seed(2024);
    SUBCASE("random images and parameters") {
        const double angles[] = {0, 90, 180, 270, 360, 45, -45, 135, 450, -90, 30, 1e6};
        for (int round = 0; round < 250; ++round) {
            const int w = round % 9 == 0 ? 1 : 1 + static_cast<int>(rng() % 40);
            const int h = round % 7 == 0 ? 1 : 1 + static_cast<int>(rng() % 30);
            const double radius = round % 3 == 0 ? 0.0 : round % 3 == 1 ? Uniform(0.01, 16) : -1;
            const double angle = round % 2 ? angles[rng() % 12] : Uniform(-800, 800);
            CheckBlur(RandomBitmap(w, h), radius, LogUniform(0.1, 20), angle);
        }
        for (double sigma : {50.0, 100.0}) { // the widest kernels, on small images
            CheckBlur(RandomBitmap(13, 9), 0.0, sigma, Uniform(0, 360));
            CheckBlur(RandomBitmap(9, 13), 300.5, sigma, Uniform(-360, 0));
        }
        // Negative sigma; radius NaN and minus infinity choose the width as radius 0 does.
        for (double radius : {3.0, kNaN, -kInf})
            CheckBlur(RandomBitmap(5, 4), radius, -2.0, 20.0);
        CheckBlur(RandomBitmap(150, 97), 20.0, 12.0, 117.0); // shared out between threads
    }
    SUBCASE("the pass alone: wide row strides, kernels that need the double arithmetic") {
        // 1 * tap 1 is just below 1: after acc = 1 the sum rounds up to 2, which a per-byte
        // table of integer parts would miss.
        const std::vector<double> edge = {0.5, 1.0 - std::ldexp(1.0, -53), 0.0};
        CHECK(Pass({2, 2, 2, 9, 1, 1, 1, 9, 200, 3, 0, 9}, 12, 3, 1, edge, 90.0)[0] == 2);
        // Random sizes and strides, with Gaussian kernels, unnormalised ones and (every third
        // round) unnormalised ones holding that tap. Last, taps adding up far past 255.
        for (int round = 0; round < 60; ++round) {
            const int w = 1 + static_cast<int>(rng() % 25), h = 1 + static_cast<int>(rng() % 20);
            const std::ptrdiff_t stride = 4 * w + static_cast<std::ptrdiff_t>(rng() % 13);
            std::vector<double> kernel = round % 3 == 0 ? Kernel(3 + 2 * (rng() % 8), 2.5)
                                                        : Random<double>(2 + rng() % 12, 0.0, 1.0);
            if (round % 3 == 2)
                kernel[0] = edge[1];
            Pass(RandomBytes(static_cast<std::size_t>(stride) * h), stride, w, h, kernel,
                 Uniform(-400, 400));
        }
        Pass(RandomBytes(10000), 10000, 2500, 1, Random<double>(2500, 1.8, 2.0), 90.0);
    }
}

TEST_CASE("the pass at the limits of its shortcuts") {
    rng.seed(31);
    SUBCASE("sums that pass 16 bits") {
        // On a row of 255, a pixel with n unit taps inside sums 255 n, past 65535 from n = 258;
        // toward the right edge the pixels see every n from 300 down to 1.
        Bytes white(4 * 700, 255);
        Pass(white, 4 * 700, 700, 1, std::vector<double>(300, 1.0), 90.0);
        // 257 unit taps and one adding 1 to a byte of 255: exactly 65536.
        std::vector<double> kernel(257, 1.0);
        kernel.push_back(TapReaching(255, 1.0));
        Pass(white, 4 * 700, 700, 1, kernel, 90.0);
    }
    SUBCASE("products just under and over a whole number, after every accumulator value") {
        // Tap 0 weighs 1, so the accumulator holds a byte when tap 1 adds n -/+ 2^-e. Close
        // enough under n, the sum rounds up to the next whole number, which a table of integer
        // parts would miss; how close depends on the accumulator's magnitude.
        for (int byte : {1, 3, 200, 255})
            for (double n : {1.0, 2.0, 255.0})
                for (int e = 40; e <= 53; ++e)
                    for (double sign : {-1.0, 1.0}) {
                        const double tap = TapReaching(byte, n + sign * std::ldexp(n, -e));
                        if (tap > 2.0)
                            continue;
                        INFO("byte " << byte << " n " << n << " e " << sign * e);
                        Pass(EveryValueBeside(byte), 4 * 512, 512, 1, {1.0, tap}, 90.0);
                    }
    }
    SUBCASE("a product of exactly 256, which no table byte holds") {
        const double tap = TapReaching(255, 256.0);
        REQUIRE(255 * tap == 256.0);
        Pass(EveryValueBeside(255), 4 * 512, 512, 1, {tap, 0.25}, 90.0);
    }
    SUBCASE("long kernels far from summing to 1, with products near whole numbers") {
        // Accumulators climb far past 255 and the clamp decides; near the right edge only a few
        // taps are inside and the sums are small again.
        std::vector<double> kernel = Random<double>(1500, 0.0, 2.0);
        for (std::size_t k = 0; k < kernel.size(); k += 3)
            kernel[k] = TapReaching(128 + static_cast<int>(rng() % 128),
                                    1.0 + static_cast<int>(rng() % 200) - std::ldexp(1.0, -46));
        Pass(RandomBytes(4 * 2000), 4 * 2000, 2000, 1, kernel, 90.0);
        std::reverse(kernel.begin(), kernel.end());
        Pass(RandomBytes(4 * 2000 * 2), 4 * 2000, 2000, 2, kernel, 90.0);
    }
}

TEST_CASE("the preview's kernels take the shortcuts: summed, multiplied, the tail left out") {
    // Bytes alone cannot see a shortcut that is not taken; the preview's speed depends on it.
    for (auto [radius, sigma] : {std::pair{10.0, 5.0}, {100.0, 20.0}, {0.0, 1.0}, {0.0, 100.0}}) {
        INFO("radius " << radius << " sigma " << sigma);
        const std::vector<double> kernel =
            Kernel(radius > 0 ? 2 * static_cast<int>(radius) + 1
                              : CMotionBlurFilter::AdaptiveKernelWidth(sigma),
                   sigma);
        CMotionBlurPlan plan;
        REQUIRE(plan.Make(kernel.data(), static_cast<int>(kernel.size()), 30.0, 550, 300));
        CHECK(plan.summed);
        CHECK(plan.KeptTaps() < kernel.size());
        CHECK(std::count(plan.step.begin(), plan.step.end(), CMotionBlurPlan::Step::Multiplied) ==
              static_cast<std::ptrdiff_t>(plan.KeptTaps()));
    }
}

TEST_CASE("the bytes do not depend on how many bands the rows are shared out in") {
    rng.seed(17);
    const int w = 37, h = 29, stride = 4 * w + 8;
    const Bytes source = RandomBytes(static_cast<std::size_t>(stride) * h);
    // A summed plan, and one that runs in kernel order because a product lies just under 1.
    for (const std::vector<double>& kernel :
         {Kernel(9, 2.5), {0.5, TapReaching(1, 1.0 - std::ldexp(1.0, -50)), 0.25}}) {
        CMotionBlurPlan plan;
        REQUIRE(plan.Make(kernel.data(), static_cast<int>(kernel.size()), 200.0, w, h));
        const Bytes expected = Pass(source, stride, w, h, kernel, 200.0);
        for (unsigned bands : {1u, 2u, 5u, 29u}) {
            Bytes banded(4u * w * h, 0xCD);
            CMotionBlurPass(plan, source.data(), stride, w, h, banded.data()).Run(bands);
            CHECK_MESSAGE(banded == expected, bands << " bands, summed " << plan.summed);
        }
    }
}

TEST_CASE("blur edge values") {
    rng.seed(99);
    CMotionBlurFilter filter;
    SUBCASE("radius to width: 0.4 -> 3, 3 -> 7, 3.01 -> 9") {
        const COrvanelBitmap image = RandomBitmap(12, 12);
        for (auto [radius, width] : {std::pair{0.4, 3}, {3.0, 7}, {3.01, 9}}) {
            COrvanelBitmap blurred = image;
            REQUIRE(filter.MotionBlur(&blurred, radius, 1.5, 60.0));
            CHECK(Pixels(blurred) == Pass(Pixels(image), 48, 12, 12, Kernel(width, 1.5), 60.0));
        }
    }
    SUBCASE("tap offsets at 90 and 45 degrees, width 5") {
        // Pixel (x, y) holds 10 y + x; with only tap k weighted, the centre reads what tap k
        // reaches.
        Bytes source(4 * 81);
        for (int i = 0; i < 81; ++i)
            source[4 * i] = static_cast<unsigned char>(10 * (i / 9) + i % 9);
        const std::pair<int, int> at45[] = {{0, 0}, {0, 0}, {1, 1}, {2, 2}, {2, 2}};
        for (int k = 0; k < 5; ++k) {
            std::vector<double> kernel(5, 0.0);
            kernel[k] = 1.0;
            for (double angle : {90.0, 45.0}) {
                const int reached = Pass(source, 36, 9, 9, kernel, angle)[4 * 40] - 44;
                CHECK(std::pair{reached % 10, reached / 10} ==
                      (angle == 90.0 ? std::pair{k, 0} : at45[k]));
            }
        }
    }
    SUBCASE("uniform 255, width 3, sigma 1, angle 0: 254 wherever all taps are inside") {
        for (int h : {5, 1}) { // the top rows lose taps; one row keeps tap 0 only
            COrvanelBitmap image(4, h, 32);
            image.SetBackgroundColor(0xFFFFFF, 255);
            REQUIRE(filter.MotionBlur(&image, 1.0, 1.0, 0.0));
            const unsigned long expected[] = {254, 254, 254, 241, 165};
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < 4; ++x)
                    CHECK(image.GetColorValue(x, y) == 0x010101u * expected[y + 5 - h]);
            CHECK(image.GetPtBitmap()[3] == 0);
        }
    }
}

TEST_CASE("values out of range are refused and the bitmap stays as it was") {
    rng.seed(5);
    CMotionBlurFilter filter;
    const COrvanelBitmap image = RandomBitmap(5, 4);
    auto refused = [&](double radius, double sigma, double angle) {
        COrvanelBitmap b = image;
        return !filter.MotionBlur(&b, radius, sigma, angle) && Pixels(b) == Pixels(image);
    };
    const double widestRadius = (CMotionBlurFilter::kMaxTaps - 2) / 2.0; // 2r + 1 taps
    COrvanelBitmap widest = image, empty;
    CHECK(filter.MotionBlur(&widest, widestRadius, 1.0, 0.0));
    CHECK((filter.MotionBlur(&empty, 2.0, 1.0, 10.0) && empty.GetPtBitmap() == nullptr));
    for (double radius : {kInf, 1e300, widestRadius + 1.0})
        CHECK(refused(radius, 1.0, 0.0));
    CHECK(refused(0.0, 0.0, 30.0));
    for (double sigma : {0.0, kInf, -kInf, kNaN, 1e-300, 1e-160}) // the last two: NaN taps
        CHECK(refused(2.0, sigma, 0.0));
    for (double sigma : {1e6, 1e300}) // taps that never underflow within the cap
        CHECK(refused(0.0, sigma, 0.0));
    for (double angle : {kInf, kNaN, 1e308}) // 1e308 degrees overflow in radians
        CHECK(refused(2.0, 1.0, angle));

    // A bitmap too large to address is refused before anything is allocated.
    std::size_t bytes = 0;
    CHECK_FALSE(CMotionBlurFilter::PackedBufferBytes(0xFFFFFFFFu, 0xFFFFFFFFu, bytes));
}
