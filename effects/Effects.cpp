#include <quillet/Effects.h>

#include "filter/FlareCanvas.h"
#include "filter/LensFlareRender.h"
#include "filter/MotionBlurFilter.h"

#include <climits>

namespace Quillet {

bool ApplyMotionBlur(unsigned char* pixels, unsigned width, unsigned height, long stride,
                     double radius, double sigma, double angle) {
    return Orvanel::Filter::CMotionBlurFilter().MotionBlurPixels(pixels, width, height, stride,
                                                                 radius, sigma, angle);
}

bool ApplyLensFlare(unsigned char* pixels, unsigned width, unsigned height, long stride, int x,
                    int y, int size, int brightness, int hue, int intensity) {
    if (pixels == nullptr || width > INT_MAX || height > INT_MAX ||
        stride < 4 * static_cast<long long>(width))
        return false;
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (!Orvanel::Filter::LensFlareDrawable(w, h, x, y, size, brightness, hue, intensity))
        return false;
    Orvanel::Filter::RenderLensFlare(Orvanel::Filter::CFlareCanvas(pixels, stride, w, h), x, y,
                                     size, brightness, hue, intensity);
    return true;
}

} // namespace Quillet
