#pragma once
#include <cstddef>
#include <memory>

class COrvanelBitmap;

namespace Orvanel::Filter {

// Smears every pixel of a bitmap along one direction with a one-sided Gaussian: each output
// pixel is a weighted sum of the pixel itself and of the pixels that follow it along the
// direction. The host blurs its full image with the very same arithmetic, so the bytes this
// filter produces for the dialog's preview are a contract: every truncation and rounding step
// below is part of the result, not an implementation detail.
class CMotionBlurFilter {
public:
    // Longest kernel the filter builds. A wider one is refused: it would take minutes per
    // image, its offset products would leave 32-bit range, and the width search would run
    // forever for a sigma so large that its taps never underflow.
    static constexpr int kMaxTaps = 1 << 20;

    // Blurs the bitmap in place (radius and sigma in pixels, angle in degrees; radius 0 or less
    // picks the width from sigma). Returns false and leaves the bitmap unchanged when nothing
    // could be done: sigma zero or not finite, a radius whose kernel would pass kMaxTaps, an
    // infinite angle, a kernel that is not finite (sigma below about 1e-155), an image too large
    // to address, a failed allocation. A bitmap without pixels gives true, unchanged.
    bool MotionBlur(COrvanelBitmap* bitmap, const double& radius, const double& sigma,
                    const double& angle);

    // The same blur on a plain buffer of width x height pixels, rows `stride` bytes apart,
    // written back in place with fourth bytes of 0; the bytes between rows are left alone.
    // Returns false and changes nothing for a buffer without pixels (null, or a side of 0), a
    // stride below 4 x width, and whatever MotionBlur refuses.
    bool MotionBlurPixels(unsigned char* pixels, unsigned int width, unsigned int height,
                          std::ptrdiff_t stride, const double& radius, const double& sigma,
                          const double& angle);

    // What the radius and sigma of a blur give: a kernel, or the reason there is none.
    enum class KernelChoice {
        Made,
        NoSigma,       // sigma zero or not finite: nothing to blur with
        RadiusTooLong, // 2 x ceil(radius) + 1 taps would pass kMaxTaps
        SigmaTooWide,  // radius 0 or less, and the width search would pass kMaxTaps
        TapsNotFinite, // sigma so small (below about 1e-155) that the taps overflow
        OutOfMemory,
    };

    // The kernel MotionBlur blurs with: 2 x ceil(radius) + 1 taps for a radius above 0, else
    // the width search's. Malloc'ed, the caller frees it; taps is its length. When there is no
    // kernel, says why, with kernel null and taps 0.
    KernelChoice ChooseKernel(double radius, double sigma, double*& kernel, int& taps);

    // The angle in degrees as the blur turns it into radians; not finite for an angle so large
    // that it gives no direction.
    static double Radians(double angle);

    // Builds the one-sided Gaussian of standard deviation sigma, `width` taps (3 when width is
    // 0 or less), each supersampled three times and normalised to sum 1. The kernel is malloc'ed
    // and the caller frees it. Returns the tap count, or 0 with kernel null when the allocation
    // failed or width passes kMaxTaps.
    int MakeKernel(int width, double sigma, double*& kernel);

    // The width that radius 0 gives: one less pair of taps than the first kernel (3, 5, 7, ...)
    // whose last tap has underflowed to zero. Returns 0 when that width would pass kMaxTaps.
    static int AdaptiveKernelWidth(double sigma);

    // The blur pass itself: reads width x height pixels, rows `stride` bytes apart, and writes
    // packed rows (4 x width bytes each, fourth byte 0) to output, which must not overlap the
    // source. Taps must lie in [0, 2] (MakeKernel's always do). Returns false without writing
    // when an argument is out of range (taps outside 1..kMaxTaps, a side too large to offset, a
    // stride below 4 x width, an infinite angle, a direction of length zero, possible with fewer
    // than 3 taps only) or when memory runs out. CMotionBlurPlan and CMotionBlurPass are its
    // two halves.
    static bool ApplyKernel(const unsigned char* source, std::ptrdiff_t stride, int width,
                            int height, const double* kernel, int taps, const double& angle,
                            unsigned char* output);

    // Bytes of a packed 32-bit width x height buffer; false when the count does not fit size_t.
    static bool PackedBufferBytes(unsigned int width, unsigned int height, std::size_t& bytes);

private:
    // The blur of width x height pixels with this kernel as a new packed buffer; null when
    // ApplyKernel refuses or memory runs out.
    static std::unique_ptr<unsigned char[]> Blurred(const unsigned char* source,
                                                    std::ptrdiff_t stride, unsigned int width,
                                                    unsigned int height, const double* kernel,
                                                    int taps, double angle);
};

} // namespace Orvanel::Filter
