#pragma once
#include "color/HSBColor.h"

class COrvanelBitmap;

namespace Orvanel::Filter {

// Paints a lens flare into a host bitmap by translucent blending of single pixels: a light
// source with its ring, core and white rays, and a chain of rings, glows and reflection discs
// along the line from the source through the bitmap's centre. The host renders its full image
// with the parameters the dialog returns, so the bytes are a contract: the preview must show
// exactly what the host will draw.
//
// Blending weights are keep factors: the share of the existing pixel that survives (1 leaves
// it, 0 replaces it by the colour). Coordinates are pixel indices into the buffer: y is the
// buffer row (row 0 is the bottom line of the picture).
class CLensFlareFilter {
public:
    CLensFlareFilter();

    // The whole flare, its nineteen elements in a fixed order. A target without pixels is left
    // alone. Takes 722 numbers from the C runtime's generator (RuntimeRandom.h) for the rays.
    void LensFlare(COrvanelBitmap* target, const int& x, const int& y, const int& size,
                   const int& brightness, const int& hue, const int& intensity);

    // The primitives, lowest first; each draws into `target` within width x height.
    void BlendPixel(const int& x, const int& y, const Color::ColorValue& color,
                    const float& keep);
    void PlotMirrored(const int& centreX, const int& centreY, const int& dx, const int& dy,
                      const Color::ColorValue& color, const float& keep);
    void DrawDisc(const int& centreX, const int& centreY, const int& radius,
                  const Color::ColorValue& color, const float& keep, const bool& edge,
                  const bool& fill);
    void DrawLine(const int& x0, const int& y0, const int& x1, const int& y1,
                  const Color::ColorValue& color, const float& keep);
    void DrawGlow(const int& centreX, const int& centreY, const int& radius, const int& hue,
                  const int& saturationScale);
    void DrawRing(const int& centreX, const int& centreY, const int& hue, const int& outerRadius,
                  const int& width, const float& keep, const int& inner);

    int directRead; // 1: BlendPixel reads the buffer itself, 0: through GetColorValue
    int width;
    int height;
    int intensity; // saturation scale of the rings, percent
    COrvanelBitmap* target; // not owned
};

} // namespace Orvanel::Filter
