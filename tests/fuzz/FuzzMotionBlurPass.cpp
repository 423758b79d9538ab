// The blur pass against the oracle: random image sizes, padded row strides, pixels, kernels
// and angles. Taps stay in the accepted range [0, 2]; kernels need not sum to 1, so long flat
// ones drive the accumulators towards the bounds the fast path reasons about.
#include "filter/MotionBlurFilter.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzReader.h"
#include "native/MotionBlurOracle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

using Orvanel::Filter::CMotionBlurFilter;

namespace {

// The oracle reads every tap for every pixel. Bounding taps x pixels keeps an input under about a
// tenth of a second with the sanitizers, yet leaves room for one row of over 2051 taps near 2,
// the kernels whose accumulator could pass 2^20.
constexpr std::int64_t kTapReads = 4'500'000;
constexpr int kLongestKernel = 2200;

std::vector<double> ReadKernel(FuzzReader& in) {
    std::vector<double> kernel;
    const int segments = 1 + in.Byte() % 8;
    for (int s = 0; s < segments; ++s) {
        const int room = kLongestKernel - static_cast<int>(kernel.size());
        if (room == 0)
            break;
        const int kind = in.Byte() % 4;
        const int length = std::min(in.Size(kLongestKernel), room);
        if (kind == 0) { // flat
            kernel.insert(kernel.end(), static_cast<std::size_t>(length), in.Tap());
        } else if (kind == 1) {
            for (int k = 0; k < length; ++k)
                kernel.push_back(in.Tap());
        } else if (kind == 2) { // a Gaussian as the filter makes it, maybe scaled up
            const double sigma = 0.05 + 40.0 * in.Unit();
            const double scale = 1.0 + (in.Byte() < 128 ? 0.0 : in.Unit());
            double* made = nullptr;
            const int n = MotionBlurOracle::MakeKernel(length, sigma, made);
            for (int k = 0; k < n; ++k)
                kernel.push_back(std::min(made[k] * scale, 2.0));
            std::free(made);
        } else { // a straight ramp from one tap to another
            const double from = in.Tap(), to = in.Tap();
            for (int k = 0; k < length; ++k)
                kernel.push_back(
                    std::clamp(from + (to - from) * k / std::max(length - 1, 1), 0.0, 2.0));
        }
    }
    return kernel;
}

struct PassCase {
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    std::vector<double> kernel;
    double angle = 0.0;

    std::string Describe() const {
        std::ostringstream text;
        text << width << " x " << height << ", stride " << stride << ", angle "
             << FuzzCheck::Exact(angle) << ", " << kernel.size() << " taps:";
        for (std::size_t k = 0; k < kernel.size(); ++k) {
            if (k == 12 && kernel.size() > 16) {
                text << "\n  ... (" << kernel.size() - 16 << " more)";
                k = kernel.size() - 4;
            }
            text << "\n  [" << k << "] " << FuzzCheck::Exact(kernel[k]);
        }
        return text.str();
    }

    // Why the oracle is not defined for this case, or null when it is: it needs a finite
    // direction of length above zero (it divides its offsets by that length). Exactly then the
    // fast pass must accept.
    const char* OracleUndefined() const {
        const double theta = angle * 3.141592653589793 * 0.005555555555555556;
        if (!std::isfinite(theta))
            return "refused: infinite angle";
        const int taps = static_cast<int>(kernel.size());
        if (static_cast<int>(std::sin(theta) * taps) == 0 &&
            static_cast<int>(std::cos(theta) * taps) == 0)
            return "refused: no direction";
        return nullptr;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    PassCase c;
    c.kernel = ReadKernel(in);
    c.width = in.Size(2600);
    c.height = in.Size(400);
    const std::int64_t pixels = kTapReads / static_cast<std::int64_t>(c.kernel.size());
    if (static_cast<std::int64_t>(c.width) * c.height > pixels) {
        c.width = static_cast<int>(std::min<std::int64_t>(c.width, pixels));
        c.height = static_cast<int>(std::max<std::int64_t>(1, pixels / c.width));
    }
    c.stride = 4 * static_cast<std::ptrdiff_t>(c.width) + in.Byte() % 64;
    c.angle = in.Angle();

    if (FuzzCheck::Showing())
        std::fprintf(stderr, "%s\n", c.Describe().c_str());
    // The last row ends the buffer, so a read past it is a sanitizer report.
    std::vector<unsigned char> source(static_cast<std::size_t>(c.stride) * (c.height - 1) +
                                      4 * static_cast<std::size_t>(c.width));
    in.Pixels(source.data(), source.size());
    const std::size_t bytes = 4 * static_cast<std::size_t>(c.width) * c.height;
    std::vector<unsigned char> fast(bytes, 0xAB), oracle(bytes, 0);
    const int taps = static_cast<int>(c.kernel.size());

    const bool accepted = CMotionBlurFilter::ApplyKernel(
        source.data(), c.stride, c.width, c.height, c.kernel.data(), taps, c.angle, fast.data());
    if (const char* undefined = c.OracleUndefined()) {
        if (accepted)
            FuzzCheck::Fail("the fast pass accepted a case the oracle cannot compute",
                            c.Describe());
        FuzzCheck::Count(undefined);
        return 0;
    }
    if (!accepted)
        FuzzCheck::Fail("the fast pass refused", c.Describe());
    MotionBlurOracle::ApplyKernel(source.data(), c.stride, c.width, c.height, c.kernel.data(), taps,
                                  c.angle, oracle.data());
    FuzzCheck::SameBytes(fast.data(), oracle.data(), bytes, c.width, c.Describe());

    FuzzCheck::Count("compared");
    if (taps > 2048)
        FuzzCheck::Count("compared: over 2048 taps");
    if (static_cast<std::int64_t>(c.width) * c.height * (taps + 4) >= (1 << 18))
        FuzzCheck::Count("compared: large (bands likely)");
    return 0;
}
