#pragma once
// A plain, slow transcription of the lens flare and its drawing primitives, kept to check the
// production renderer against: every pixel goes through the host bitmap, nothing is clipped or
// skipped ahead of time, and every value is computed in the precision the renderer promises.
// Builds in both worlds, so that the Windows runtime's maths can be checked against it too.
#include "color/HSBColor.h"

#include <cstdint>
#include <vector>

class COrvanelBitmap;

namespace LensFlareOracle {

using Orvanel::Color::ColorValue;

// The runtime's generator formula with a state of its own, so that a test can hand the oracle
// the very sequence that production draws after SeedRuntimeRand(state).
class Generator {
public:
    explicit Generator(std::uint32_t seed = 1) : state(seed) {}
    int Next(); // 0 ... 32767
    std::uint32_t state;
};

// One element of the flare as drawn: its step (1 ... 19), centre, the radii it drew (one radius
// for a disc, a ring's outer radius or a glow's radius; the first and last radius of a glow
// ramp, the halo and the source glow; the rays' half length) and the hue it was given (-1 for
// the white rays). Elements that were left out leave no entry.
struct ElementTrace {
    int step;
    int x, y;
    int radius, lastRadius;
    int hue;
};

class Painter {
public:
    void BlendPixel(int x, int y, ColorValue color, float keep);
    void PlotMirrored(int cx, int cy, int dx, int dy, ColorValue color, float keep);
    void DrawDisc(int cx, int cy, int radius, ColorValue color, float keep, bool edge, bool fill);
    void DrawLine(int x0, int y0, int x1, int y1, ColorValue color, float keep);
    void DrawGlow(int cx, int cy, int radius, int hue, int saturationScale);
    void DrawRing(int cx, int cy, int hue, int outerRadius, int width, float keep, int inner);

    // The whole flare; the rays take 722 numbers from `random` (none when they are left out).
    void LensFlare(COrvanelBitmap* bitmap, int x, int y, int size, int brightness, int hue,
                   int intensityPercent, Generator& random,
                   std::vector<ElementTrace>* trace = nullptr);

    int directRead = 0;
    int width = 0;
    int height = 0;
    int intensity = 100;
    COrvanelBitmap* target = nullptr;
};

// The saturation factor of a ring's outline of radius k, as the ring computes it.
float RingSaturation(int k);

} // namespace LensFlareOracle
