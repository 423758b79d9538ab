// The motion blur against its worked examples and, byte for byte, against MotionBlurOracle:
// random images and parameters, and kernels built to sit at the edge of each shortcut.
#include "filter/MotionBlurFilter.h"
#include "filter/MotionBlurPass.h"
#include "filter/MotionBlurPlan.h"
#include "host/OrvanelBitmap.h"
#include "native/MotionBlurOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

using Orvanel::Filter::CMotionBlurFilter;
using Orvanel::Filter::CMotionBlurPlan;
namespace Oracle = MotionBlurOracle;
using FlareDigests::Pixels;
using FlareDigests::RandomBitmap;

namespace {

using Bytes = std::vector<unsigned char>;
using Taps = std::vector<double>;
std::mt19937 rng;

double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
int Below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

Taps Kernel(int width, double sigma, bool oracle = false) {
    double* k = nullptr;
    const int n = oracle ? Oracle::MakeKernel(width, sigma, k)
                         : CMotionBlurFilter().MakeKernel(width, sigma, k);
    const Taps taps(k, k + n);
    std::free(k);
    return taps;
}

void CheckBlur(int w, int h, double radius, double sigma, double angle) {
    INFO(w << "x" << h << " radius " << radius << " sigma " << sigma << " angle " << angle);
    COrvanelBitmap fast = RandomBitmap(w, h, rng), slow = fast;
    CHECK(CMotionBlurFilter().MotionBlur(&fast, radius, sigma, angle));
    Oracle::MotionBlur(&slow, radius, sigma, angle);
    CHECK(Pixels(fast) == Pixels(slow));
}

// The pass alone, checked against the oracle; every output byte must be written.
Bytes Pass(const Bytes& source, std::ptrdiff_t stride, int w, int h, const Taps& kernel,
           double angle) {
    const int taps = static_cast<int>(kernel.size());
    Bytes fast(4u * w * h, 0xAB), slow(4u * w * h, 0);
    REQUIRE(CMotionBlurFilter::ApplyKernel(source.data(), stride, w, h, kernel.data(), taps, angle,
                                           fast.data()));
    Oracle::ApplyKernel(source.data(), stride, w, h, kernel.data(), taps, angle, slow.data());
    CHECK(fast == slow);
    return fast;
}

// The smallest tap whose product with `byte`, rounded as the pass forms it, reaches `target`.
double TapReaching(int byte, double target) {
    double tap = target / byte;
    while (byte * tap >= target)
        tap = std::nextafter(tap, 0.0);
    while (byte * tap < target)
        tap = std::nextafter(tap, INFINITY);
    return tap;
}

// One row holding every byte value, each pixel followed by one of `partner`: with tap 0 on a
// pixel and tap 1 on the next, tap 1 meets every accumulator value from 0 to 255.
Bytes EveryValueBeside(int partner) {
    Bytes row;
    for (int value = 0; value < 256; ++value)
        for (int pixel : {value, partner})
            for (int channel : {pixel, pixel ^ 0x5A, 255 - pixel, 0})
                row.push_back(static_cast<unsigned char>(channel));
    return row;
}

} // namespace

TEST_CASE("kernels and worked examples: taps, widths, offsets, uniform 255; values refused") {
    const Taps three = Kernel(3, 1.0), five = Kernel(5, 2.0);
    const double worked[] = {0.6472988, 0.2985857, 0.0541155, // width 3, sigma 1
                             0.3710194, 0.3024019, 0.1928354, 0.0962008, 0.0375425};
    REQUIRE((three.size() == 3 && five.size() == 5));
    for (int i = 0; i < 8; ++i)
        CHECK((i < 3 ? three[i] : five[i - 3]) == doctest::Approx(worked[i]).epsilon(1e-6));
    CHECK((Kernel(0, 1.0) == three && Kernel(-7, 1.0) == three));
    for (int width : {1, 2, 8, 39, 201, 3901})
        for (double sigma : {0.1, 1.0, 5.5, 20.0, 100.0, 1e-3, 1e4, -0.1, -5.5, -1e4})
            CHECK_MESSAGE(Kernel(width, sigma) == Kernel(width, sigma, true), width, " ", sigma);
    double* made = reinterpret_cast<double*>(&made); // must come back null
    CHECK(
        (CMotionBlurFilter().MakeKernel(CMotionBlurFilter::kMaxTaps + 1, 1.0, made) == 0 && !made));

    // Radius to width: 2 ceil(radius) + 1 taps; radius 0 searches a width from sigma.
    const double widths[][3] = {{0.4, 1, 3}, {3, 1, 7}, {3.01, 1, 9}, {0, 1, 39}, {-1, 2, 77}};
    for (const auto& w : widths) {
        int taps = 0; // stays 0 unless a kernel is made
        CMotionBlurFilter().ChooseKernel(w[0], w[1], made, taps);
        CHECK_MESSAGE(taps == w[2], w[0], " ", w[1]);
        std::free(made);
    }
    for (double sigma : {0.1, 0.25, 0.3,  0.5,  0.75, 1.5,  3.0,  7.25,  12.5, 20.0,
                         33., 50.0, 64.0, 99.9, 100., -4.0, 1e-3, 1e-10, 0.0,  std::nan("")})
        CHECK_MESSAGE(CMotionBlurFilter::AdaptiveKernelWidth(sigma) == Oracle::AdaptiveWidth(sigma),
                      sigma);

    // Pixel (x, y) holds 10 y + x; with only tap k weighted, the centre reads what tap k
    // reaches: k pixels on at 90 degrees, 0, 0, 1, 2, 2 diagonal steps at 45.
    Bytes source(4 * 81);
    for (int i = 0; i < 81; ++i)
        source[4 * i] = static_cast<unsigned char>(10 * (i / 9) + i % 9);
    const int at45[] = {44, 44, 55, 66, 66};
    for (int k = 0; k < 5; ++k) {
        Taps kernel(5, 0.0);
        kernel[k] = 1.0;
        CHECK(Pass(source, 36, 9, 9, kernel, 90.0)[4 * 40] == 44 + k);
        CHECK(Pass(source, 36, 9, 9, kernel, 45.0)[4 * 40] == at45[k]);
    }
    // Width 3, sigma 1, angle 0: 254 wherever all taps are inside; the top two rows lose taps
    // (the top one keeps tap 0 only).
    COrvanelBitmap image(4, 5, 32);
    image.SetBackgroundColor(0xFFFFFF, 255);
    REQUIRE(CMotionBlurFilter().MotionBlur(&image, 1.0, 1.0, 0.0));
    const unsigned long expected[] = {254, 254, 254, 241, 165};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x)
            CHECK(image.GetColorValue(x, y) == 0x010101u * expected[y]);
    CHECK(image.GetPtBitmap()[3] == 0);

    rng.seed(5);
    CMotionBlurFilter filter;
    const COrvanelBitmap original = RandomBitmap(5, 4, rng);
    const double widestRadius = (CMotionBlurFilter::kMaxTaps - 2) / 2.0; // 2r + 1 taps
    COrvanelBitmap widest = original, empty;
    CHECK(filter.MotionBlur(&widest, widestRadius, 1.0, 0.0));
    CHECK((filter.MotionBlur(&empty, 2.0, 1.0, 10.0) && empty.GetPtBitmap() == nullptr));
    // Radii past the cap; sigma 0 or not finite, so small that the taps are NaN (1e-300,
    // 1e-160) or so large that they never underflow within the cap; angles without radians.
    const double refused[][3] = {{INFINITY, 1, 0},  {1e300, 1, 0}, {widestRadius + 1, 1, 0},
                                 {0, 0, 30},        {2, 0, 0},     {2, INFINITY, 0},
                                 {2, -INFINITY, 0}, {2, NAN, 0},   {2, 1e-300, 0},
                                 {2, 1e-160, 0},    {0, 1e6, 0},   {0, 1e300, 0},
                                 {2, 1, INFINITY},  {2, 1, NAN},   {2, 1, 1e308}};
    for (const auto& r : refused) {
        COrvanelBitmap b = original;
        CHECK_MESSAGE((!filter.MotionBlur(&b, r[0], r[1], r[2]) && Pixels(b) == Pixels(original)),
                      r[0], " ", r[1], " ", r[2]);
    }
    // A bitmap too large to address is refused before anything is allocated.
    std::size_t bytes = 0;
    CHECK_FALSE(CMotionBlurFilter::PackedBufferBytes(0xFFFFFFFFu, 0xFFFFFFFFu, bytes));
}

TEST_CASE("the blur matches the oracle byte for byte on random images and parameters") {
    rng.seed(2024);
    const double angles[] = {0, 90, 180, 270, 360, 45, -45, 135, 450, -90, 30, 1e6};
    const double widthFromSigma[] = {0.0, -1.0, NAN, -INFINITY}; // radii that search the width
    for (int round = 0; round < 250; ++round) {
        const int w = round % 9 == 0 ? 1 : 1 + Below(40), h = round % 7 == 0 ? 1 : 1 + Below(30);
        const double radius = round % 3 == 0 ? Uniform(0.01, 16) : widthFromSigma[Below(4)];
        const double angle = round % 2 ? angles[Below(12)] : Uniform(-800, 800);
        // Sigma from 0.1 to 20, one time in five negative.
        const double sigma = (round % 5 ? 0.1 : -0.1) * std::pow(200.0, Uniform(0, 1));
        CheckBlur(w, h, radius, sigma, angle);
    }
    // One tap holds all the weight, or the Gaussian is flat.
    for (double sigma : {1e-150, -1e-150, 1e300, -1e300})
        CheckBlur(11, 7, 2.0, sigma, Uniform(-360, 360));
    CheckBlur(150, 97, 20.0, 12.0, 117.0); // shared out between threads
}

TEST_CASE("the pass at the limits of its shortcuts") {
    // Sums past 16 bits: on a row of 255, a pixel with n unit taps inside sums 255 n, past
    // 65535 from n = 258 (the clamp decides); toward the right edge n runs from 300 down to 1.
    const Bytes white(4 * 700, 255);
    Pass(white, 4 * 700, 700, 1, Taps(300, 1.0), 90.0);
    // 257 unit taps and one adding 1 to a byte of 255: exactly 65536.
    Taps kernel(257, 1.0);
    kernel.push_back(TapReaching(255, 1.0));
    Pass(white, 4 * 700, 700, 1, kernel, 90.0);
    // Products just under and over a whole number n after every accumulator value: tap 0
    // weighs 1, tap 1 adds n -/+ 2^-e. Close enough under n, the sum rounds up, which a table
    // of integer parts would miss; how close depends on the accumulator's magnitude.
    for (int byte : {1, 3, 200, 255})
        for (double n : {1.0, 2.0, 255.0})
            for (int e = 40; e <= 53; ++e)
                for (double sign : {-1.0, 1.0}) {
                    const double tap = TapReaching(byte, n + sign * std::ldexp(n, -e));
                    INFO("byte " << byte << " n " << n << " e " << sign * e);
                    if (tap <= 2.0)
                        Pass(EveryValueBeside(byte), 4 * 512, 512, 1, {1.0, tap}, 90.0);
                }
    // A product of exactly 256, which no table byte holds.
    Pass(EveryValueBeside(255), 4 * 512, 512, 1, {TapReaching(255, 256.0), 0.25}, 90.0);
}

TEST_CASE("the preview's kernels take the shortcuts; bands change no byte") {
    // Bytes alone cannot see a shortcut that is not taken; the preview's speed depends on it:
    // summed, multiplied, the tail left out.
    const int widest = CMotionBlurFilter::AdaptiveKernelWidth(100.0);
    for (auto [width, sigma] : {std::pair{21, 5.0}, {201, 20.0}, {39, 1.0}, {widest, 100.0}}) {
        INFO("width " << width << " sigma " << sigma);
        const Taps kernel = Kernel(width, sigma);
        CMotionBlurPlan plan;
        REQUIRE(plan.Make(kernel.data(), static_cast<int>(kernel.size()), 30.0, 550, 300));
        CHECK(plan.summed);
        CHECK(plan.KeptTaps() < kernel.size());
        CHECK(plan.step == std::vector(plan.KeptTaps(), CMotionBlurPlan::Step::Multiplied));
    }

    rng.seed(17);
    const int w = 37, h = 29, stride = 4 * w + 8;
    Bytes source(static_cast<std::size_t>(stride) * h);
    std::generate(source.begin(), source.end(), [] { return static_cast<unsigned char>(rng()); });
    // A summed plan, and one that runs in kernel order because a product lies just under 1.
    for (const Taps& kernel :
         {Kernel(9, 2.5), {0.5, TapReaching(1, 1.0 - std::ldexp(1.0, -50)), 0.25}}) {
        CMotionBlurPlan plan;
        REQUIRE(plan.Make(kernel.data(), static_cast<int>(kernel.size()), 200.0, w, h));
        const Bytes expected = Pass(source, stride, w, h, kernel, 200.0);
        for (unsigned bands : {1u, 2u, 5u, 29u}) {
            Bytes banded(4u * w * h, 0xCD);
            Orvanel::Filter::CMotionBlurPass(plan, source.data(), stride, w, h, banded.data())
                .Run(bands);
            CHECK_MESSAGE(banded == expected, bands << " bands, summed " << plan.summed);
        }
    }
}
