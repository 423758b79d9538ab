#include "filter/MotionBlurFilter.h"

#include "demo/ImageFileBitmap.h"
#include "host/OrvanelBitmap.h"
#include "native/MotionBlurOracle.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using Orvanel::Filter::CMotionBlurFilter;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Bytes = std::vector<unsigned char>;

COrvanelBitmap RandomBitmap(int w, int h, std::mt19937& rng) {
    COrvanelBitmap b(w, h, 32);
    for (std::size_t i = 0; i < 4u * w * h; ++i)
        b.GetPtBitmap()[i] = static_cast<unsigned char>(rng());
    return b;
}

Bytes Pixels(const COrvanelBitmap& b) {
    const unsigned char* p = b.GetPtBitmap();
    return p ? Bytes(p, p + 4u * b.GetBitmapWidth() * b.GetBitmapHeight()) : Bytes();
}

std::vector<double> Kernel(int width, double sigma, bool oracle = false) {
    double* k = nullptr;
    const int n = oracle ? MotionBlurOracle::MakeKernel(width, sigma, k)
                         : CMotionBlurFilter().MakeKernel(width, sigma, k);
    std::vector<double> taps(k, k + n);
    std::free(k);
    return taps;
}

void CheckBlurAgainstOracle(const COrvanelBitmap& image, double radius, double sigma,
                            double angle) {
    INFO(image.GetBitmapWidth() << "x" << image.GetBitmapHeight() << " radius " << radius
                                << " sigma " << sigma << " angle " << angle);
    COrvanelBitmap fast = image, slow = image;
    CHECK(CMotionBlurFilter().MotionBlur(&fast, radius, sigma, angle));
    CHECK(MotionBlurOracle::MotionBlur(&slow, radius, sigma, angle));
    CHECK(Pixels(fast) == Pixels(slow));
}

// The pass alone, on a caller's kernel and stride; every output byte must be written.
void CheckPassAgainstOracle(const Bytes& source, std::ptrdiff_t stride, int w, int h,
                            const std::vector<double>& kernel, double angle) {
    const int taps = static_cast<int>(kernel.size());
    Bytes fast(4u * w * h, 0xAB), slow(4u * w * h, 0);
    REQUIRE(CMotionBlurFilter::ApplyKernel(source.data(), stride, w, h, kernel.data(), taps, angle,
                                           fast.data()));
    MotionBlurOracle::ApplyKernel(source.data(), stride, w, h, kernel.data(), taps, angle,
                                  slow.data());
    CHECK(fast == slow);
}

double LogUniform(std::mt19937& rng, double lo, double hi) {
    return lo * std::pow(hi / lo, std::uniform_real_distribution<double>(0.0, 1.0)(rng));
}

} // namespace

TEST_CASE("kernel taps are the host's, bit for bit") {
    const std::vector<double> three = Kernel(3, 1.0), five = Kernel(5, 2.0);
    const std::vector<double> expect3 = {0.6472988, 0.2985857, 0.0541155};
    const std::vector<double> expect5 = {0.3710194, 0.3024019, 0.1928354, 0.0962008, 0.0375425};
    REQUIRE(three.size() == 3);
    REQUIRE(five.size() == 5);
    for (int i = 0; i < 5; ++i) {
        CHECK(five[i] == doctest::Approx(expect5[i]).epsilon(1e-6));
        CHECK((i >= 3 || three[i] == doctest::Approx(expect3[i]).epsilon(1e-6)));
    }
    CHECK(Kernel(0, 1.0) == three);
    CHECK(Kernel(-7, 1.0) == three);
    for (int width : {1, 2, 8, 39, 201, 3901}) {
        for (double sigma : {0.1, 1.0, 5.5, 20.0, 100.0, 1e-3, 1e4}) {
            INFO("width " << width << " sigma " << sigma);
            const std::vector<double> fast = Kernel(width, sigma);
            CHECK(std::memcmp(fast.data(), Kernel(width, sigma, true).data(),
                              fast.size() * sizeof(double)) == 0);
            CHECK(fast == Kernel(width, -sigma)); // the formula only sees sigma squared
        }
    }
    double* k = reinterpret_cast<double*>(&k);
    CHECK(CMotionBlurFilter().MakeKernel(CMotionBlurFilter::kMaxTaps + 1, 1.0, k) == 0);
    CHECK(k == nullptr);
}

TEST_CASE("adaptive width: one pass finds what rebuilding wider kernels finds") {
    CHECK(CMotionBlurFilter::AdaptiveKernelWidth(1.0) == 39);
    CHECK(CMotionBlurFilter::AdaptiveKernelWidth(2.0) == 77);
    std::vector<double> sigmas = {0.1, 0.25, 0.3,  0.5,  0.75, 1.5,  3.0,  7.25,  12.5, 20.0,
                                  33., 50.0, 64.0, 99.9, 100., -4.0, 1e-3, 1e-10, 0.0,  kNaN};
    std::mt19937 rng(7);
    for (int i = 0; i < 40; ++i)
        sigmas.push_back(LogUniform(rng, 0.1, 40.0));
    for (double sigma : sigmas) {
        INFO("sigma " << sigma);
        CHECK(CMotionBlurFilter::AdaptiveKernelWidth(sigma) ==
              MotionBlurOracle::AdaptiveWidth(sigma));
    }
    // Taps that never underflow within the cap: refused instead of searched forever.
    CHECK(CMotionBlurFilter::AdaptiveKernelWidth(1e6) == 0);
    CHECK(CMotionBlurFilter::AdaptiveKernelWidth(1e300) == 0);
}

TEST_CASE("the blur matches the oracle byte for byte") {
    std::mt19937 rng(2024);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    SUBCASE("random images and parameters") {
        const double angles[] = {0, 90, 180, 270, 360, 45, -45, 135, 450, -90, 30, 1e6};
        for (int round = 0; round < 250; ++round) {
            const int w = round % 9 == 0 ? 1 : 1 + static_cast<int>(rng() % 40);
            const int h = round % 7 == 0 ? 1 : 1 + static_cast<int>(rng() % 30);
            const double radius = round % 3 == 0 ? 0.0 : round % 3 == 1 ? uniform(0.01, 16) : -1;
            const double angle = round % 2 ? angles[rng() % 12] : uniform(-800, 800);
            CheckBlurAgainstOracle(RandomBitmap(w, h, rng), radius, LogUniform(rng, 0.1, 20),
                                   angle);
        }
        for (double sigma : {50.0, 100.0}) { // the widest kernels, on small images
            CheckBlurAgainstOracle(RandomBitmap(13, 9, rng), 0.0, sigma, uniform(0, 360));
            CheckBlurAgainstOracle(RandomBitmap(9, 13, rng), 300.5, sigma, uniform(-360, 0));
        }
        // Big enough to be shared out between threads.
        CheckBlurAgainstOracle(RandomBitmap(150, 97, rng), 20.0, 12.0, 117.0);
    }
    SUBCASE("row strides wider than the pixels") {
        for (int round = 0; round < 20; ++round) {
            const int w = 1 + static_cast<int>(rng() % 25), h = 1 + static_cast<int>(rng() % 20);
            const std::ptrdiff_t stride = 4 * w + static_cast<std::ptrdiff_t>(rng() % 13);
            Bytes source(static_cast<std::size_t>(stride) * h);
            for (unsigned char& byte : source)
                byte = static_cast<unsigned char>(rng());
            CheckPassAgainstOracle(source, stride, w, h, Kernel(3 + 2 * (round % 8), 2.5),
                                   uniform(-400, 400));
        }
    }
    SUBCASE("kernels that need the double arithmetic") {
        // Tap 1 puts 1 * tap just below 1: after acc = 1 the sum rounds up to 2, which a
        // per-byte table of integer parts would miss.
        const std::vector<double> edge = {0.5, 1.0 - std::ldexp(1.0, -53), 0.0};
        const Bytes row = {2, 2, 2, 9, 1, 1, 1, 9, 200, 3, 0, 9};
        CheckPassAgainstOracle(row, 12, 3, 1, edge, 90.0);
        Bytes out(12);
        CMotionBlurFilter::ApplyKernel(row.data(), 12, 3, 1, edge.data(), 3, 90.0, out.data());
        CHECK(out[0] == 2);
        // Unnormalised kernels, one of them adding up far past 255 so that every tap must run
        // as written.
        for (int round = 0; round < 30; ++round) {
            std::vector<double> taps(2 + rng() % 12);
            for (double& t : taps)
                t = uniform(0.0, 1.0);
            CheckPassAgainstOracle(Pixels(RandomBitmap(11, 7, rng)), 44, 11, 7, taps,
                                   uniform(-180, 180));
        }
        std::vector<double> heavy(2500);
        for (double& t : heavy)
            t = uniform(1.8, 2.0);
        CheckPassAgainstOracle(Pixels(RandomBitmap(2500, 1, rng)), 10000, 2500, 1, heavy, 90.0);
    }
}

TEST_CASE("blur edge cases") {
    std::mt19937 rng(99);
    CMotionBlurFilter filter;
    SUBCASE("sigma 0 does nothing") {
        COrvanelBitmap image = RandomBitmap(7, 5, rng);
        const Bytes before = Pixels(image);
        CHECK_FALSE(filter.MotionBlur(&image, 0.0, 0.0, 30.0));
        CHECK_FALSE(filter.MotionBlur(&image, 3.0, 0.0, 30.0));
        CHECK(Pixels(image) == before);
    }
    SUBCASE("radius to width: 0.4 -> 3, 3 -> 7, 3.01 -> 9") {
        const COrvanelBitmap image = RandomBitmap(12, 12, rng);
        for (auto [radius, width] : {std::pair{0.4, 3}, {3.0, 7}, {3.01, 9}}) {
            COrvanelBitmap blurred = image;
            REQUIRE(filter.MotionBlur(&blurred, radius, 1.5, 60.0));
            const std::vector<double> kernel = Kernel(width, 1.5);
            Bytes expected(Pixels(image).size());
            CMotionBlurFilter::ApplyKernel(image.GetPtBitmap(), 48, 12, 12, kernel.data(), width,
                                           60.0, expected.data());
            CHECK(Pixels(blurred) == expected);
        }
    }
    SUBCASE("angle 0 on one row keeps tap 0 only, fourth byte 0") {
        COrvanelBitmap row = RandomBitmap(6, 1, rng);
        const Bytes before = Pixels(row);
        REQUIRE(filter.MotionBlur(&row, 1.0, 1.0, 0.0));
        const Bytes after = Pixels(row);
        for (std::size_t i = 0; i < after.size(); ++i)
            CHECK(after[i] == (i % 4 == 3 ? 0 : static_cast<int>(before[i] * Kernel(3, 1.0)[0])));
    }
    SUBCASE("tap offsets at 90 and 45 degrees, width 5") {
        // With only tap k weighted, the lit output pixel is the one whose tap k reaches the one
        // bright source pixel (4, 4).
        auto offsetOf = [](int k, double angle) {
            Bytes source(4 * 81, 0), out(4 * 81);
            source[4 * 40] = 200;
            std::vector<double> kernel(5, 0.0);
            kernel[k] = 1.0;
            CMotionBlurFilter::ApplyKernel(source.data(), 36, 9, 9, kernel.data(), 5, angle,
                                           out.data());
            for (int i = 0; i < 81; ++i)
                if (out[4 * i] == 200)
                    return std::pair{4 - i % 9, 4 - i / 9};
            return std::pair{-99, -99};
        };
        const std::pair<int, int> at45[] = {{0, 0}, {0, 0}, {1, 1}, {2, 2}, {2, 2}};
        for (int k = 0; k < 5; ++k) {
            CHECK(offsetOf(k, 90.0) == std::pair{k, 0});
            CHECK(offsetOf(k, 45.0) == at45[k]);
        }
    }
    SUBCASE("uniform 255 with width 3, sigma 1: 254 wherever all taps are inside") {
        COrvanelBitmap image(4, 5, 32);
        image.SetBackgroundColor(0xFFFFFF, 255);
        REQUIRE(filter.MotionBlur(&image, 1.0, 1.0, 0.0));
        const unsigned long expected[] = {254, 254, 254, 241, 165}; // the top rows lose taps
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 4; ++x)
                CHECK(image.GetColorValue(x, y) == 0x010101u * expected[y]);
    }
    SUBCASE("a bitmap without pixels is left alone") {
        COrvanelBitmap empty;
        CHECK(filter.MotionBlur(&empty, 2.0, 1.0, 10.0));
        CHECK(empty.GetPtBitmap() == nullptr);
    }
}

TEST_CASE("values out of range are refused and the bitmap stays as it was") {
    std::mt19937 rng(5);
    CMotionBlurFilter filter;
    const COrvanelBitmap image = RandomBitmap(5, 4, rng);
    auto refused = [&](double radius, double sigma, double angle) {
        COrvanelBitmap b = image;
        return !filter.MotionBlur(&b, radius, sigma, angle) && Pixels(b) == Pixels(image);
    };
    const double widestRadius = (CMotionBlurFilter::kMaxTaps - 2) / 2.0; // 2r + 1 taps
    CHECK(refused(kInf, 1.0, 0.0));
    CHECK(refused(1e300, 1.0, 0.0));
    CHECK(refused(widestRadius + 1.0, 1.0, 0.0));
    for (double sigma : {kInf, -kInf, kNaN, 1e-300, 1e-160}) // the last two give NaN taps
        CHECK(refused(2.0, sigma, 0.0));
    CHECK(refused(0.0, 1e6, 0.0));
    for (double angle : {kInf, kNaN, 1e308}) // 1e308 degrees overflow in radians
        CHECK(refused(2.0, 1.0, angle));

    SUBCASE("values still served") {
        COrvanelBitmap widest = image, negative = image, positive = image, nan = image,
                       zero = image, minusInf = image;
        CHECK(filter.MotionBlur(&widest, widestRadius, 1.0, 0.0));
        CHECK(filter.MotionBlur(&negative, 3.0, -2.0, 20.0));
        CHECK(filter.MotionBlur(&positive, 3.0, 2.0, 20.0));
        CHECK(Pixels(negative) == Pixels(positive));
        // Radius NaN and minus infinity choose the width from sigma, as radius 0 does.
        CHECK(filter.MotionBlur(&nan, kNaN, 2.0, 20.0));
        CHECK(filter.MotionBlur(&minusInf, -kInf, 2.0, 20.0));
        CHECK(filter.MotionBlur(&zero, 0.0, 2.0, 20.0));
        CHECK(Pixels(nan) == Pixels(zero));
        CHECK(Pixels(minusInf) == Pixels(zero));
    }
    SUBCASE("sizes that do not fit") {
        std::size_t bytes = 0;
        CHECK(CMotionBlurFilter::PackedBufferBytes(550, 300, bytes));
        CHECK(bytes == 660000u);
        CHECK_FALSE(CMotionBlurFilter::PackedBufferBytes(0xFFFFFFFFu, 0xFFFFFFFFu, bytes));
        const unsigned char pixel[4] = {1, 2, 3, 4};
        unsigned char out[4];
        auto pass = [&](std::ptrdiff_t stride, int w, int h, int taps, double t, double angle) {
            const double kernel[3] = {t, t, t};
            return CMotionBlurFilter::ApplyKernel(pixel, stride, w, h, kernel, taps, angle, out);
        };
        CHECK(pass(4, 1, 1, 1, 1.0, 0.0));
        CHECK_FALSE(pass(4, 0x7fffffff, 1, 1, 1.0, 0.0));          // x + offset would overflow
        CHECK_FALSE(pass(4, 1, 0x7fffffff, 1, 1.0, 0.0));          // y + offset likewise
        CHECK_FALSE(pass(3, 1, 1, 1, 1.0, 0.0));                   // stride < 4 x width
        CHECK_FALSE(pass(PTRDIFF_MAX / 2 + 1, 1, 3, 1, 1.0, 0.0)); // rows past the address space
        CHECK_FALSE(pass(4, 1, 1, 0, 1.0, 0.0));                   // no taps
        CHECK_FALSE(pass(4, 1, 1, 3, -0.5, 0.0));
        CHECK_FALSE(pass(4, 1, 1, 3, kNaN, 0.0));
        CHECK_FALSE(pass(4, 1, 1, 1, 1.0, 45.0)); // one tap at 45 degrees: no direction
    }
}

TEST_CASE("image file rows and bitmap rows") {
    // 2 x 3 RGB, top row first; the bitmap holds it bottom-up as BGR plus a zero byte.
    const unsigned char rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    COrvanelBitmap bitmap;
    REQUIRE(QuilletFx::RgbRowsToBitmap(rgb, 2, 3, bitmap));
    CHECK(bitmap.GetBitmapWidth() == 2);
    CHECK(bitmap.GetBitmapHeight() == 3);
    CHECK(bitmap.GetColorValue(0, 2) == 0x030201u); // top-left pixel of the file
    CHECK(bitmap.GetColorValue(1, 0) == 0x121110u); // bottom-right
    CHECK(bitmap.GetPtBitmap()[3] == 0);
    CHECK(QuilletFx::BitmapToRgbRows(bitmap) == Bytes(rgb, rgb + sizeof rgb));
    CHECK_FALSE(QuilletFx::RgbRowsToBitmap(rgb, 0, 3, bitmap));
    CHECK(QuilletFx::BitmapToRgbRows(bitmap).empty());
}
