#include "filter/LensFlareFilter.h"

#include "filter/FlareBlend.h"
#include "filter/FlareCanvas.h"
#include "filter/FlareDiscRaster.h"
#include "filter/LensFlareRender.h"
#include "host/OrvanelBitmap.h"

namespace Orvanel::Filter {

using Color::ColorValue;

CLensFlareFilter::CLensFlareFilter()
    : directRead(0), width(0), height(0), intensity(100), target(nullptr) {}

void CLensFlareFilter::BlendPixel(const int& x, const int& y, const ColorValue& color,
                                  const float& keep) {
    const CFlareCanvas canvas(target, width, height);
    if (canvas.Contains(x, y))
        CFlareBlend(color, keep).Apply(canvas.Pixel(x, y));
}

void CLensFlareFilter::PlotMirrored(const int& centreX, const int& centreY, const int& dx,
                                    const int& dy, const ColorValue& color, const float& keep) {
    const CFlareCanvas canvas(target, width, height);
    const CFlareBlend blend(color, keep > 1.0f ? 1.0f : keep);
    const long long xs[4] = {0LL + centreX + dx, 0LL + centreX + dx, 0LL + centreX - dx,
                             0LL + centreX - dx};
    const long long ys[4] = {0LL + centreY + dy, 0LL + centreY - dy, 0LL + centreY + dy,
                             0LL + centreY - dy};
    for (int i = 0; i < 4; ++i)
        if (canvas.Contains(xs[i], ys[i]))
            blend.Apply(canvas.Pixel(xs[i], ys[i]));
}

void CLensFlareFilter::DrawDisc(const int& centreX, const int& centreY, const int& radius,
                                const ColorValue& color, const float& keep, const bool& edge,
                                const bool& fill) {
    const CFlareCanvas canvas(target, width, height);
    CFlareDiscRaster(canvas).Draw(centreX, centreY, radius, color, keep, edge, fill);
}

void CLensFlareFilter::DrawLine(const int& x0, const int& y0, const int& x1, const int& y1,
                                const ColorValue& color, const float& keep) {
    FlareLine(CFlareCanvas(target, width, height), x0, y0, x1, y1, CFlareBlend(color, keep));
}

void CLensFlareFilter::DrawGlow(const int& centreX, const int& centreY, const int& radius,
                                const int& hue, const int& saturationScale) {
    directRead = 1;
    const CFlareCanvas canvas(target, width, height);
    CFlareDiscRaster raster(canvas);
    FlareGlow(raster, centreX, centreY, radius, hue, saturationScale);
    directRead = 0;
}

void CLensFlareFilter::DrawRing(const int& centreX, const int& centreY, const int& hue,
                                const int& outerRadius, const int& width, const float& keep,
                                const int& inner) {
    directRead = 1;
    const CFlareCanvas canvas(target, this->width, height);
    CFlareDiscRaster raster(canvas);
    FlareRing(raster, intensity, centreX, centreY, hue, outerRadius, width, keep, inner != 0);
    directRead = 0;
}

void CLensFlareFilter::LensFlare(COrvanelBitmap* bitmap, const int& x, const int& y,
                                 const int& size, const int& brightness, const int& hue,
                                 const int& colorIntensity) {
    target = bitmap;
    if (bitmap == nullptr || bitmap->GetPtBitmap() == nullptr)
        return;
    width = static_cast<int>(bitmap->GetBitmapWidth());
    height = static_cast<int>(bitmap->GetBitmapHeight());
    intensity = colorIntensity;
    RenderLensFlare(CFlareCanvas(bitmap, width, height), x, y, size, brightness, hue,
                    colorIntensity);
    directRead = 0;
}

} // namespace Orvanel::Filter
