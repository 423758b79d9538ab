// The blur pass against the oracle: random image sizes, padded row strides, pixels, kernels
// and angles. Taps stay in the accepted range [0, 2]; kernels need not sum to 1, so long flat
// ones drive the accumulators towards the bounds the fast path reasons about.
#include "filter/MotionBlurFilter.h"
#include "native/MotionBlurOracle.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using Orvanel::Filter::CMotionBlurFilter;

namespace {

// Bounding taps x pixels keeps an input under about a tenth of a second with the sanitizers, yet
// leaves room for one row of over 2051 taps near 2, the kernels whose accumulator could pass 2^20.
constexpr std::int64_t kTapReads = 4'500'000;
constexpr int kLongestKernel = 2200;

template <class... Values> std::string Text(const char* format, Values... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// When the fast pass and the oracle disagree: print the case and what differs, then abort,
// which makes the fuzzer keep the input as a crash file.
[[noreturn]] void Fail(const std::string& what, const std::string& context) {
    std::fprintf(stderr, "\n*** fast filter and oracle disagree: %s\n%s\n", what.c_str(),
                 context.c_str());
    std::abort();
}

// Decodes a fuzzer's byte string front to back into the filter's parameters. Every field takes
// a fixed number of bytes, so mutating one byte moves one field, and past the end every field
// reads as zero, so any string decodes to some case. The value kinds aim at the arithmetic the
// fast path special-cases: products of a byte and a tap that land on or next to an integer,
// taps around 1/255, angles on and next to the axes.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    std::uint32_t Bits(int bytes) { // little-endian
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return value;
    }

    double Unit() { return Bits(4) / 4294967296.0; } // [0, 1)

    double Raw() { // any double, NaN and infinities included
        const std::uint64_t low = Bits(4), bits = low | static_cast<std::uint64_t>(Bits(4)) << 32;
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    double Nudge(double value) { // moved by -8 to +8 units in the last place
        const int steps = Byte() % 17 - 8;
        for (int i = 0; i < std::abs(steps); ++i)
            value = std::nextafter(value, steps < 0 ? -INFINITY : INFINITY);
        return value;
    }

    int Size(int max) { // 1..max, mostly small
        if (const std::uint8_t small = Byte(); small < 224)
            return 1 + small % std::min(max, 40);
        return 1 + static_cast<int>(Bits(2) % static_cast<std::uint32_t>(max));
    }

    double Angle() { // degrees: diagonals, anything, near the axes, any double, whole degrees
        const int kind = Byte() % 5;
        return kind == 0   ? static_cast<std::int8_t>(Byte()) * 45.0
               : kind == 1 ? Unit() * 1440.0 - 720.0
               : kind == 2 ? Nudge(static_cast<std::int8_t>(Byte()) * 90.0)
               : kind == 3 ? Raw()
                           : static_cast<int>(Bits(2) % 1441) - 720;
    }

    double Tap() { // a weight in [0, 2]
        const int kind = Byte() % 5;
        if (kind == 0)
            return 2.0 * Unit();
        if (kind == 1) { // m / b: b times the tap is an integer, or next to one once nudged
            const int b = 1 + Byte() % 255;
            const int m = static_cast<int>(Bits(2) % static_cast<std::uint32_t>(2 * b + 1));
            return std::clamp(Nudge(static_cast<double>(m) / b), 0.0, 2.0);
        }
        if (kind == 2) { // where 255 times the tap stops being able to add anything
            const double around[] = {(1.0 - 1.0 / 4294967296.0) / 255.0, 1.0 / 255.0, 1.0 / 256.0,
                                     0.5 / 255.0};
            return Nudge(around[Byte() % 4]);
        }
        if (kind == 3)
            return Bits(2) / 32768.0;
        // Any bit pattern folded into range: subnormals, exact powers of two.
        const double raw = std::fabs(Raw());
        return std::isnan(raw) ? 0.0 : raw > 2.0 ? std::fmod(raw, 2.0) : raw;
    }

    // n pixel bytes: the rest of the input repeated, noise, one value, or a ramp.
    void Pixels(unsigned char* out, std::size_t n) {
        const int kind = Byte() % 4;
        std::uint32_t state = kind == 1 ? Bits(4) | 1 : 0;
        const std::size_t step = kind == 2 ? Byte() : kind == 3 ? Byte() | 1u : 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (kind == 0) {
                out[i] = at_ == size_ ? 0 : data_[at_ + i % (size_ - at_)];
            } else if (kind == 1) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                out[i] = static_cast<unsigned char>(state >> 24);
            } else { // one value, or a ramp
                out[i] = static_cast<unsigned char>(kind == 2 ? step : i * step);
            }
        }
        if (kind == 0)
            at_ = size_;
    }

    // Up to eight segments: flat, tap by tap, a Gaussian as the filter makes it (maybe scaled
    // up), or a straight ramp from one tap to another.
    std::vector<double> Kernel() {
        std::vector<double> kernel;
        const int segments = 1 + Byte() % 8;
        for (int s = 0; s < segments && kernel.size() < kLongestKernel; ++s) {
            const int kind = Byte() % 4;
            const int length =
                std::min(Size(kLongestKernel), kLongestKernel - static_cast<int>(kernel.size()));
            if (kind == 0) {
                kernel.insert(kernel.end(), static_cast<std::size_t>(length), Tap());
            } else if (kind == 1) {
                for (int k = 0; k < length; ++k)
                    kernel.push_back(Tap());
            } else if (kind == 2) {
                const double sigma = 0.05 + 40.0 * Unit();
                const double scale = 1.0 + (Byte() < 128 ? 0.0 : Unit());
                double* made = nullptr;
                const int n = MotionBlurOracle::MakeKernel(length, sigma, made);
                for (int k = 0; k < n; ++k)
                    kernel.push_back(std::min(made[k] * scale, 2.0));
                std::free(made);
            } else {
                const double from = Tap(), to = Tap();
                for (int k = 0; k < length; ++k)
                    kernel.push_back(
                        std::clamp(from + (to - from) * k / std::max(length - 1, 1), 0.0, 2.0));
            }
        }
        return kernel;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    const std::vector<double> kernel = in.Kernel();
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
        std::string text =
            Text("%d x %d, stride %td, angle %.17g, %d taps:", width, height, stride, angle, taps);
        for (int k = 0; k < std::min(taps, 12); ++k)
            text += Text(" %.17g", kernel[k]);
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
        Fail(defined ? "the fast pass refused" : "the fast pass accepted an undefined case",
             describe());
    if (!defined)
        return 0;
    MotionBlurOracle::ApplyKernel(source.data(), stride, width, height, kernel.data(), taps, angle,
                                  oracle.data());
    const std::size_t i = std::mismatch(fast.begin(), fast.end(), oracle.begin()).first -
                          fast.begin(),
                      row = 4 * static_cast<std::size_t>(width);
    if (i < bytes)
        Fail(Text("byte %zu (x %zu, y %zu, channel %zu): fast %d, oracle %d", i, i % row / 4,
                  i / row, i % 4, fast[i], oracle[i]),
             describe());
    return 0;
}
