// The whole filter against the oracle: a random bitmap, radius, sigma and angle through
// MotionBlur, and on the way the kernel and the adaptive width against the oracle's. Widths
// and image sizes are bounded so that the oracle's slow search and pass stay in milliseconds.
#include "filter/MotionBlurFilter.h"
#include "fuzz/FuzzSupport.h"
#include "host/OrvanelBitmap.h"
#include "native/MotionBlurOracle.h"
#include "support/FlareDigests.h"

#include <limits>

using Orvanel::Filter::CMotionBlurFilter;

namespace {

constexpr double kLargestRadius = 200.0;       // 401 taps
constexpr double kLargestAdaptiveSigma = 12.0; // about 470 taps, found by rebuilding 235 kernels
constexpr std::int64_t kTapReads = 2'000'000;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double ReadRadius(FuzzReader& in) {
    const int kind = in.Byte() % 7;
    if (kind == 6) {
        const double raw = in.Raw();
        return std::isfinite(raw) ? std::fmod(raw, kLargestRadius) : raw;
    }
    return kind == 0   ? 0.0
           : kind == 1 ? -10.0 * in.Unit()
           : kind == 2 ? kNaN
           : kind == 3 ? -kInf
           : kind == 4 ? kLargestRadius * in.Unit()
                       : 1 + in.Byte() % 200;
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

std::vector<double> Kernel(int width, double sigma, bool oracle) {
    double* made = nullptr;
    const int n = oracle ? MotionBlurOracle::MakeKernel(width, sigma, made)
                         : CMotionBlurFilter().MakeKernel(width, sigma, made);
    std::vector<double> kernel(made, made + n);
    std::free(made);
    return kernel;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const bool empty = in.Byte() % 32 == 0; // a bitmap without pixels
    int width = in.Size(160), height = in.Size(120);
    const double radius = ReadRadius(in);
    double sigma = ReadSigma(in);
    const double angle = in.Angle();
    const int otherWidth = static_cast<int>(in.Byte() % 72) - 4;
    const bool adaptive = !(radius > 0.0);
    if (adaptive && std::isfinite(sigma) && std::fabs(sigma) > kLargestAdaptiveSigma)
        sigma = std::fmod(sigma, kLargestAdaptiveSigma);
    int taps = 0; // of the oracle's kernel, when it makes one
    const auto describe = [&] {
        return FuzzText("%d x %d, radius %.17g, sigma %.17g, angle %.17g, %d taps",
                        empty ? 0 : width, empty ? 0 : height, radius, sigma, angle, taps);
    };
    // Same doubles bit for bit, NaN taps included: both sides run the same operations.
    const auto sameKernel = [&](int w) {
        const std::vector<double> fast = Kernel(w, sigma, false), oracle = Kernel(w, sigma, true);
        if (fast.size() != oracle.size() ||
            std::memcmp(fast.data(), oracle.data(), fast.size() * sizeof(double)) != 0)
            FuzzFail(FuzzText("MakeKernel of width %d", w), describe());
        return oracle;
    };

    sameKernel(otherWidth);
    if (adaptive) {
        taps = MotionBlurOracle::AdaptiveWidth(sigma);
        if (CMotionBlurFilter::AdaptiveKernelWidth(sigma) != taps)
            FuzzFail("AdaptiveKernelWidth", describe());
    } else if (std::isfinite(radius)) {
        taps = static_cast<int>(2.0 * std::ceil(radius) + 1.0);
    }
    const std::vector<double> kernel = taps > 0 ? sameKernel(taps) : std::vector<double>();
    // The oracle needs a sigma, a finite radius, finite taps and, to move any pixel, a finite
    // angle; exactly then the filter must blur, otherwise refuse and leave the bitmap alone.
    const bool defined =
        sigma != 0.0 && !std::isnan(sigma) && taps > 0 &&
        std::all_of(kernel.begin(), kernel.end(), [](double t) { return std::isfinite(t); }) &&
        (empty || std::isfinite(angle * 3.141592653589793 * 0.005555555555555556));

    COrvanelBitmap image;
    if (!empty) {
        FitPixels(width, height, kTapReads / std::max(taps, 1));
        image = COrvanelBitmap(width, height, 32);
        in.Pixels(image.GetPtBitmap(), 4 * static_cast<std::size_t>(width) * height);
    }
    COrvanelBitmap fast = image, oracle = image;
    const bool done = CMotionBlurFilter().MotionBlur(&fast, radius, sigma, angle);
    if (!defined) {
        if (done || FlareDigests::Pixels(fast) != FlareDigests::Pixels(image))
            FuzzFail("the filter did not refuse, or changed the bitmap", describe());
        return 0;
    }
    if (!done)
        FuzzFail("the filter refused", describe());
    MotionBlurOracle::MotionBlur(&oracle, radius, sigma, angle);
    if (fast.GetBitmapWidth() != oracle.GetBitmapWidth() ||
        fast.GetBitmapHeight() != oracle.GetBitmapHeight())
        FuzzFail("bitmap sizes", describe());
    FuzzSameBytes(FlareDigests::Pixels(fast), FlareDigests::Pixels(oracle), width, describe);
    return 0;
}
