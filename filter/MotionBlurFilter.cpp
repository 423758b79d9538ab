#include "filter/MotionBlurFilter.h"

#include "filter/MotionBlurPass.h"
#include "filter/MotionBlurPlan.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace Orvanel::Filter {
namespace {

constexpr double kSqrtTwoPi = 2.5066282746310002;
constexpr double kPi = 3.141592653589793;
constexpr double kPerDegree = 0.005555555555555556; // 1/180

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T> using MallocArray = std::unique_ptr<T[], FreeDeleter>;

template <class T> MallocArray<T> Allocate(std::size_t count) {
    if (count == 0 || count > SIZE_MAX / sizeof(T))
        return nullptr;
    return MallocArray<T>(static_cast<T*>(std::malloc(count * sizeof(T))));
}

// The Gaussian samples of a kernel. Tap j of every kernel of this sigma, before normalisation,
// is RawTap(j) whatever the kernel's width, which is what lets the width search run in one
// pass instead of rebuilding a kernel per candidate width.
class GaussianSamples {
public:
    explicit GaussianSamples(double sigma)
        : exponentScale_(-1.0 / ((sigma * 18.0) * sigma)), height_(1.0 / (sigma * kSqrtTwoPi)) {}

    // Three samples per tap, added in order to a tap that starts at zero. i stays below
    // 3 x (kMaxTaps + 3), so its square is exact in a double.
    double RawTap(std::int64_t j) const {
        double tap = 0.0;
        for (std::int64_t i = 3 * j; i < 3 * j + 3; ++i) {
            const double square = static_cast<double>(i) * static_cast<double>(i);
            tap += std::exp(square * exponentScale_) * height_;
        }
        return tap;
    }

private:
    double exponentScale_;
    double height_;
};

} // namespace

bool CMotionBlurFilter::PackedBufferBytes(unsigned int width, unsigned int height,
                                          std::size_t& bytes) {
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
    if (rowBytes / 4 != width || (height != 0 && rowBytes > SIZE_MAX / height))
        return false;
    bytes = rowBytes * height;
    return true;
}

int CMotionBlurFilter::MakeKernel(int width, double sigma, double*& kernel) {
    kernel = nullptr;
    const int taps = width > 0 ? width : 3;
    if (taps > kMaxTaps)
        return 0;
    MallocArray<double> made = Allocate<double>(static_cast<std::size_t>(taps));
    if (!made)
        return 0;
    const GaussianSamples samples(sigma);
    for (int j = 0; j < taps; ++j)
        made[j] = samples.RawTap(j);
    double sum = 0.0;
    for (int j = 0; j < taps; ++j)
        sum += made[j];
    const double scale = 1.0 / sum;
    for (int j = 0; j < taps; ++j)
        made[j] *= scale;
    kernel = made.release();
    return taps;
}

// The width search, as the host's image code runs it, widens the kernel two taps at a time,
// rebuilding it each time, until its last tap times 255 is no longer above zero, then takes
// the width before. Tap j before normalisation is the same in every kernel and the running
// sum of taps is formed in the same order, so one pass over j meets exactly the doubles that
// search compares: same width, at linear cost.
int CMotionBlurFilter::AdaptiveKernelWidth(double sigma) {
    const GaussianSamples samples(sigma);
    double sum = 0.0;
    sum += samples.RawTap(0);
    sum += samples.RawTap(1);
    for (int width = 3; width <= kMaxTaps + 2; width += 2) {
        const double last = samples.RawTap(width - 1);
        sum += last;
        if (!(last * (1.0 / sum) * 255.0 > 0.0))
            return width == 3 ? 3 : width - 2;
        sum += samples.RawTap(width);
    }
    return 0;
}

bool CMotionBlurFilter::ApplyKernel(const unsigned char* source, std::ptrdiff_t stride, int width,
                                    int height, const double* kernel, int taps, const double& angle,
                                    unsigned char* output) {
    // An offset is at most a tap index, so pixel coordinates plus offsets stay in int range.
    const int maxSide = INT_MAX - kMaxTaps;
    if (source == nullptr || output == nullptr || width < 1 || height < 1 || width > maxSide ||
        height > maxSide || stride < 4 * static_cast<std::ptrdiff_t>(width) ||
        stride > PTRDIFF_MAX / height)
        return false;
    std::size_t outBytes = 0;
    if (!PackedBufferBytes(static_cast<unsigned>(width), static_cast<unsigned>(height), outBytes))
        return false;
    // Memory for the plan and the pass is the only thing that can run out.
    try {
        CMotionBlurPlan plan;
        if (!plan.Make(kernel, taps, angle, width, height))
            return false;
        CMotionBlurPass(plan, source, stride, width, height, output).Run();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

double CMotionBlurFilter::Radians(double angle) { return angle * kPi * kPerDegree; }

CMotionBlurFilter::KernelChoice CMotionBlurFilter::ChooseKernel(double radius, double sigma,
                                                                double*& kernel, int& taps) {
    kernel = nullptr;
    taps = 0;
    // An infinite sigma makes every tap 0/0; NaN and 0 do nothing, as in the host's arithmetic.
    if (!std::isfinite(sigma) || sigma == 0.0)
        return KernelChoice::NoSigma;
    int requested = 0;
    if (radius > 0.0) {
        const double fromRadius = 2.0 * std::ceil(radius) + 1.0;
        if (!(fromRadius <= kMaxTaps))
            return KernelChoice::RadiusTooLong;
        requested = static_cast<int>(fromRadius);
    } else {
        requested = AdaptiveKernelWidth(sigma);
        if (requested == 0)
            return KernelChoice::SigmaTooWide;
    }
    double* made = nullptr;
    const int count = MakeKernel(requested, sigma, made);
    MallocArray<double> owned(made);
    if (count < 3)
        return KernelChoice::OutOfMemory;
    // A sigma so small that 1/(18 sigma^2) or 1/sigma overflows gives NaN taps.
    for (int k = 0; k < count; ++k) {
        if (!std::isfinite(owned[k]))
            return KernelChoice::TapsNotFinite;
    }
    kernel = owned.release();
    taps = count;
    return KernelChoice::Made;
}

std::unique_ptr<unsigned char[]>
CMotionBlurFilter::Blurred(const unsigned char* source, std::ptrdiff_t stride, unsigned int width,
                           unsigned int height, const double* kernel, int taps, double angle) {
    std::size_t bytes = 0;
    if (!PackedBufferBytes(width, height, bytes) || width > INT_MAX || height > INT_MAX)
        return nullptr;
    std::unique_ptr<unsigned char[]> output(new (std::nothrow) unsigned char[bytes]());
    if (!output || !ApplyKernel(source, stride, static_cast<int>(width), static_cast<int>(height),
                                kernel, taps, angle, output.get()))
        return nullptr;
    return output;
}

bool CMotionBlurFilter::MotionBlurPixels(unsigned char* pixels, unsigned int width,
                                         unsigned int height, std::ptrdiff_t stride,
                                         const double& radius, const double& sigma,
                                         const double& angle) {
    const double a = angle;
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
    if (pixels == nullptr || width == 0 || height == 0 || stride < 0 ||
        static_cast<std::size_t>(stride) < rowBytes)
        return false;
    double* made = nullptr;
    int taps = 0;
    if (ChooseKernel(radius, sigma, made, taps) != KernelChoice::Made)
        return false;
    const MallocArray<double> kernel(made);
    const std::unique_ptr<unsigned char[]> output =
        Blurred(pixels, stride, width, height, kernel.get(), taps, a);
    if (!output)
        return false;
    // The bytes between rows belong to the caller: only each row's pixels are written back.
    for (unsigned int y = 0; y < height; ++y)
        std::memcpy(pixels + y * stride, output.get() + y * rowBytes, rowBytes);
    return true;
}

} // namespace Orvanel::Filter
