// The whole filter against the oracle: a random bitmap, radius, sigma and angle through
// MotionBlur, and on the way the kernel and the adaptive width against the oracle's. Widths
// and image sizes are bounded so that the oracle's slow search and pass stay in milliseconds.
#include "filter/MotionBlurFilter.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzReader.h"
#include "host/OrvanelBitmap.h"
#include "native/MotionBlurOracle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

using Orvanel::Filter::CMotionBlurFilter;

namespace {

constexpr double kLargestRadius = 200.0;       // 401 taps
constexpr double kLargestAdaptiveSigma = 12.0; // about 470 taps, found by rebuilding 235 kernels
constexpr std::int64_t kTapReads = 2'000'000;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double ReadRadius(FuzzReader& in) {
    switch (in.Byte() % 7) {
    case 0:
        return 0.0;
    case 1:
        return -10.0 * in.Unit();
    case 2:
        return kNaN;
    case 3:
        return -kInf;
    case 4:
        return kLargestRadius * in.Unit();
    case 5:
        return 1 + in.Byte() % 200;
    default: {
        const double raw = in.Raw();
        return std::isfinite(raw) ? std::fmod(raw, kLargestRadius) : raw;
    }
    }
}

double ReadSigma(FuzzReader& in) {
    switch (in.Byte() % 4) {
    case 0: { // 1e-3 to 30 either sign
        const double magnitude = 1e-3 * std::exp(in.Unit() * std::log(3e4));
        return in.Byte() % 2 ? -magnitude : magnitude;
    }
    case 1: { // where 18 sigma^2 or 1/sigma leaves the doubles, and the plain values
        const double special[] = {0.0,  kNaN, kInf, -kInf, 1e-155, 1e-160, 1e-300, 5e-324,
                                  1e-3, 0.1,  1.0,  2.0,   -2.0,   100.0,  1e300,  -0.0};
        return special[in.Byte() % 16];
    }
    case 2:
        return in.Raw();
    default:
        return (static_cast<int>(in.Byte()) - 128) / 4.0;
    }
}

struct BlurCase {
    int width = 0, height = 0; // 0: a bitmap without pixels
    double radius = 0.0, sigma = 0.0, angle = 0.0;
    int taps = 0; // of the oracle's kernel, when it makes one

    std::string Describe() const {
        std::ostringstream text;
        text << width << " x " << height << ", radius " << FuzzCheck::Exact(radius) << ", sigma "
             << FuzzCheck::Exact(sigma) << ", angle " << FuzzCheck::Exact(angle) << ", " << taps
             << " taps";
        return text.str();
    }
};

std::vector<double> Kernel(int width, double sigma, bool oracle) {
    double* made = nullptr;
    const int n = oracle ? MotionBlurOracle::MakeKernel(width, sigma, made)
                         : CMotionBlurFilter().MakeKernel(width, sigma, made);
    std::vector<double> kernel(made, made + n);
    std::free(made);
    return kernel;
}

// Same doubles bit for bit (NaN taps included: both sides run the same operations).
void SameKernel(int width, const BlurCase& c) {
    const std::vector<double> fast = Kernel(width, c.sigma, false);
    const std::vector<double> oracle = Kernel(width, c.sigma, true);
    if (fast.size() != oracle.size() ||
        std::memcmp(fast.data(), oracle.data(), fast.size() * sizeof(double)) != 0)
        FuzzCheck::Fail("MakeKernel of width " + std::to_string(width), c.Describe());
}

std::vector<unsigned char> Pixels(const COrvanelBitmap& b) {
    const unsigned char* p = b.GetPtBitmap();
    return p == nullptr
               ? std::vector<unsigned char>()
               : std::vector<unsigned char>(p, p + 4u * b.GetBitmapWidth() * b.GetBitmapHeight());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    BlurCase c;
    const bool empty = in.Byte() % 32 == 0;
    c.width = in.Size(160);
    c.height = in.Size(120);
    if (empty)
        c.width = c.height = 0;
    c.radius = ReadRadius(in);
    c.sigma = ReadSigma(in);
    c.angle = in.Angle();
    const int otherWidth = static_cast<int>(in.Byte() % 72) - 4;
    const bool adaptive = !(c.radius > 0.0);
    if (adaptive && std::isfinite(c.sigma) && std::fabs(c.sigma) > kLargestAdaptiveSigma)
        c.sigma = std::fmod(c.sigma, kLargestAdaptiveSigma);

    // Kernels first: the one this case uses and one of any requested width.
    SameKernel(otherWidth, c);
    if (adaptive) {
        c.taps = MotionBlurOracle::AdaptiveWidth(c.sigma);
        if (CMotionBlurFilter::AdaptiveKernelWidth(c.sigma) != c.taps)
            FuzzCheck::Fail("AdaptiveKernelWidth", c.Describe());
    } else if (std::isfinite(c.radius)) {
        c.taps = static_cast<int>(2.0 * std::ceil(c.radius) + 1.0);
    }
    if (c.taps > 0)
        SameKernel(c.taps, c);

    // When the oracle has no answer the filter must refuse and leave the bitmap alone.
    const char* undefined = nullptr;
    if (c.sigma == 0.0 || std::isnan(c.sigma))
        undefined = "refused: sigma zero or NaN";
    else if (c.taps == 0)
        undefined = "refused: infinite radius";
    else if (const std::vector<double> kernel = Kernel(c.taps, c.sigma, true);
             !std::all_of(kernel.begin(), kernel.end(), [](double t) { return std::isfinite(t); }))
        undefined = "refused: kernel not finite";
    else if (!empty && !std::isfinite(c.angle * 3.141592653589793 * 0.005555555555555556))
        undefined = "refused: infinite angle"; // without pixels no direction is needed

    const std::int64_t pixels = kTapReads / std::max(c.taps, 1);
    if (!empty && static_cast<std::int64_t>(c.width) * c.height > pixels) {
        c.width = static_cast<int>(std::min<std::int64_t>(c.width, pixels));
        c.height = static_cast<int>(std::max<std::int64_t>(1, pixels / c.width));
    }
    if (FuzzCheck::Showing())
        std::fprintf(stderr, "%s\n", c.Describe().c_str());
    COrvanelBitmap image;
    if (!empty) {
        image = COrvanelBitmap(c.width, c.height, 32);
        in.Pixels(image.GetPtBitmap(), 4 * static_cast<std::size_t>(c.width) * c.height);
    }
    const std::vector<unsigned char> before = Pixels(image);

    COrvanelBitmap fast = image;
    const bool done = CMotionBlurFilter().MotionBlur(&fast, c.radius, c.sigma, c.angle);
    if (undefined != nullptr) {
        if (done || Pixels(fast) != before)
            FuzzCheck::Fail("the filter did not refuse, or changed the bitmap", c.Describe());
        FuzzCheck::Count(undefined);
        return 0;
    }
    if (!done)
        FuzzCheck::Fail("the filter refused", c.Describe());
    COrvanelBitmap oracle = image;
    MotionBlurOracle::MotionBlur(&oracle, c.radius, c.sigma, c.angle);
    const std::vector<unsigned char> fastPixels = Pixels(fast), oraclePixels = Pixels(oracle);
    if (fast.GetBitmapWidth() != oracle.GetBitmapWidth() ||
        fast.GetBitmapHeight() != oracle.GetBitmapHeight() ||
        fastPixels.size() != oraclePixels.size())
        FuzzCheck::Fail("bitmap sizes", c.Describe());
    FuzzCheck::SameBytes(fastPixels.data(), oraclePixels.data(), fastPixels.size(),
                         static_cast<int>(fast.GetBitmapWidth()), c.Describe());
    FuzzCheck::Count(empty      ? "compared: no pixels"
                     : adaptive ? "compared: adaptive width"
                                : "compared: from radius");
    return 0;
}
