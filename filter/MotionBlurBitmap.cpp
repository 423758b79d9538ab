// The motion blur on a host bitmap. Kept apart from the rest of the filter so that the effects
// library, which works on plain buffers, carries no reference to the host's bitmap class.
#include "filter/MotionBlurFilter.h"

#include "host/OrvanelBitmap.h"

#include <cstdlib>
#include <memory>

namespace Orvanel::Filter {

bool CMotionBlurFilter::MotionBlur(COrvanelBitmap* bitmap, const double& radius,
                                   const double& sigma, const double& angle) {
    const double a = angle;
    double* made = nullptr;
    int taps = 0;
    if (ChooseKernel(radius, sigma, made, taps) != KernelChoice::Made)
        return false;
    const std::unique_ptr<double[], void (*)(void*)> kernel(made, std::free);
    if (bitmap == nullptr)
        return false;
    const unsigned char* source = bitmap->GetPtBitmap();
    if (source == nullptr)
        return true;
    const unsigned int width = bitmap->GetBitmapWidth();
    const unsigned int height = bitmap->GetBitmapHeight();
    if (width == 0 || height == 0)
        return true;
    const std::unique_ptr<unsigned char[]> output =
        Blurred(source, bitmap->GetWidthSize(), width, height, kernel.get(), taps, a);
    if (!output)
        return false;
    bitmap->SetBitmap(output.get(), width, height, false, true);
    return true;
}

} // namespace Orvanel::Filter
