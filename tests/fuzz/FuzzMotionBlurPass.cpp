// The blur pass against the oracle: random image sizes, padded row strides, pixels, kernels
// and angles. Taps stay in the accepted range [0, 2]; kernels need not sum to 1, so long flat
// ones drive the accumulators towards the bounds the fast path reasons about.
#include "filter/MotionBlurFilter.h"
#include "fuzz/FuzzSupport.h"
#include "native/MotionBlurOracle.h"

using Orvanel::Filter::CMotionBlurFilter;

namespace {

// Bounding taps x pixels keeps an input under about a tenth of a second with the sanitizers, yet
// leaves room for one row of over 2051 taps near 2, the kernels whose accumulator could pass 2^20.
constexpr std::int64_t kTapReads = 4'500'000;
constexpr int kLongestKernel = 2200;

// Up to eight segments: flat, tap by tap, a Gaussian as the filter makes it (maybe scaled up),
// or a straight ramp from one tap to another.
std::vector<double> ReadKernel(FuzzReader& in) {
    std::vector<double> kernel;
    const int segments = 1 + in.Byte() % 8;
    for (int s = 0; s < segments && kernel.size() < kLongestKernel; ++s) {
        const int kind = in.Byte() % 4;
        const int length =
            std::min(in.Size(kLongestKernel), kLongestKernel - static_cast<int>(kernel.size()));
        if (kind == 0) {
            kernel.insert(kernel.end(), static_cast<std::size_t>(length), in.Tap());
        } else if (kind == 1) {
            for (int k = 0; k < length; ++k)
                kernel.push_back(in.Tap());
        } else if (kind == 2) {
            const double sigma = 0.05 + 40.0 * in.Unit();
            const double scale = 1.0 + (in.Byte() < 128 ? 0.0 : in.Unit());
            double* made = nullptr;
            const int n = MotionBlurOracle::MakeKernel(length, sigma, made);
            for (int k = 0; k < n; ++k)
                kernel.push_back(std::min(made[k] * scale, 2.0));
            std::free(made);
        } else {
            const double from = in.Tap(), to = in.Tap();
            for (int k = 0; k < length; ++k)
                kernel.push_back(
                    std::clamp(from + (to - from) * k / std::max(length - 1, 1), 0.0, 2.0));
        }
    }
    return kernel;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const std::vector<double> kernel = ReadKernel(in);
    const int taps = static_cast<int>(kernel.size());
    int width = in.Size(2600), height = in.Size(400);
    if (static_cast<std::int64_t>(width) * height > kTapReads / taps) { // keeping a row
        width = static_cast<int>(std::min<std::int64_t>(width, kTapReads / taps));
        height = static_cast<int>(std::max<std::int64_t>(1, kTapReads / taps / width));
    }
    const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(width) + in.Byte() % 64;
    const double angle = in.Angle();
    // The last row ends the buffer, so a read past it is a sanitizer report.
    std::vector<unsigned char> source(static_cast<std::size_t>(stride) * (height - 1) +
                                      4 * static_cast<std::size_t>(width));
    in.Pixels(source.data(), source.size());
    const auto describe = [&] {
        std::string text = FuzzText("%d x %d, stride %td, angle %.17g, %d taps:", width, height,
                                    stride, angle, taps);
        for (int k = 0; k < std::min(taps, 12); ++k)
            text += FuzzText(" %.17g", kernel[k]);
        return text + (taps > 12 ? " ..." : "");
    };

    // The oracle divides its offsets by the direction's length, so it needs a finite angle and a
    // length above zero: exactly then the fast pass must accept.
    const double theta = angle * 3.141592653589793 * 0.005555555555555556;
    const bool defined = std::isfinite(theta) && (static_cast<int>(std::sin(theta) * taps) != 0 ||
                                                  static_cast<int>(std::cos(theta) * taps) != 0);
    const std::size_t bytes = 4 * static_cast<std::size_t>(width) * height;
    std::vector<unsigned char> fast(bytes, 0xAB), oracle(bytes, 0);
    if (CMotionBlurFilter::ApplyKernel(source.data(), stride, width, height, kernel.data(), taps,
                                       angle, fast.data()) != defined)
        FuzzFail(defined ? "the fast pass refused" : "the fast pass accepted an undefined case",
                 describe());
    if (!defined)
        return 0;
    MotionBlurOracle::ApplyKernel(source.data(), stride, width, height, kernel.data(), taps, angle,
                                  oracle.data());
    FuzzSameBytes(fast, oracle, width, describe);
    return 0;
}
