#include "filter/LensFlareRender.h"

#include "filter/RuntimeRandom.h"

#include <algorithm>
#include <cmath>

namespace Orvanel::Filter {

using Color::ColorValue;
using Color::HSBColor;

namespace {

constexpr float kKeep07 = 0.7f;
constexpr float kKeep08 = 0.8f;
constexpr float kKeep09 = 0.9f;
constexpr float kKeep095 = 0.95f;
// One and two units in the last place below the floats nearest 1.6 and 0.6 (bit patterns
// 0x3FCCCCCC and 0x3F199998).
constexpr float kGlowSquare = 1.5999999f;
constexpr float kGlowLinear = 0.5999999f;

ColorValue Hsb(int hue, int saturation, int brightness) {
    HSBColor hsb{hue, saturation, brightness};
    ColorValue color = 0;
    Color::ConvertHSBToRGB(hsb, color);
    return color;
}

// The glow's ramp of keep factors over t in [0, 1): 0 up to t = 0.375, rising to just below 1.
float GlowRamp(float t) {
    const float s = t * t * kGlowSquare - t * kGlowLinear;
    return s >= 0.0f ? s : 0.0f;
}

// The saturation factor of a ring's outline at absolute radius k.
float RingSaturation(int k) {
    if (k > 100)
        return 1.0f;
    const double x = std::asin(k * 0.01) * 90.0 * 0.3183098861837907;
    const float a =
        static_cast<float>(1.0 - (std::exp(x * x * -0.006) + std::exp(x * -0.03)) * 0.5);
    return a > 1.0f ? 1.0f : a;
}

} // namespace

// Reading pixels: the renderer reads the buffer directly while drawing discs and through
// GetColorValue otherwise (the rays). The host's GetColorValue packs the very bytes of the
// buffer for every pixel inside the bitmap, and only such pixels are read here, so the buffer
// is read always. Writes go straight into the buffer too, leaving what SetColorValue leaves:
// blue, green, red and a fourth byte of 0.

void FlareLine(const CFlareCanvas& canvas, int x0, int y0, int x1, int y1,
               const CFlareBlend& blend) {
    if (canvas.Contains(x0, y0))
        blend.Apply(canvas.Pixel(x0, y0));
    if (x1 <= x0)
        return; // only the start pixel, and the slope would divide by zero
    const float m = static_cast<float>(y1 - y0) / static_cast<float>(x1 - x0);
    const float b = static_cast<float>(y0) - static_cast<float>(x0) * m;
    // Columns outside the canvas blend nothing; each column's row is a closed formula.
    const int first = std::max(x0 + 1, 0);
    const int last = std::min(x1, canvas.Width() - 1);
    for (int x = first; x <= last; ++x) {
        const int y = static_cast<int>(static_cast<float>(x) * m + b);
        if (canvas.HasRow(y))
            blend.Apply(canvas.Pixel(x, y));
    }
}

void FlareGlow(CFlareDiscRaster& raster, int centreX, int centreY, int radius, int hue,
               int saturationScale) {
    for (int k = 0; k < radius; ++k) {
        if (!raster.MayShow(centreX, centreY, k))
            continue;
        const float s = GlowRamp(static_cast<float>(k) / static_cast<float>(radius));
        const ColorValue color =
            Hsb(hue, static_cast<int>(static_cast<float>(saturationScale) * s), 100);
        raster.Draw(centreX, centreY, k, color, s, k == radius - 1, false);
    }
}

void FlareRing(CFlareDiscRaster& raster, int intensity, int centreX, int centreY, int hue,
               int radius, int width, float keep, bool inner) {
    const float scale = static_cast<float>(intensity);
    if (inner)
        for (int k = 0; k < radius - width; ++k) {
            if (!raster.MayShow(centreX, centreY, k))
                continue;
            const float t = static_cast<float>(k) / static_cast<float>(radius);
            float s = t * t * 2.8f - t * 1.8f;
            if (!(s >= 0.0f))
                s = 0.0f;
            raster.Draw(centreX, centreY, k, Hsb(hue, static_cast<int>(scale * s), 100), keep,
                        false, false);
        }
    for (int k = std::max(radius - width, 1); k < radius; ++k) {
        if (!raster.MayShow(centreX, centreY, k))
            continue;
        const ColorValue color = Hsb(hue, static_cast<int>(scale * RingSaturation(k)), 100);
        raster.Draw(centreX, centreY, k, color, keep, k == radius - 1, false);
    }
}

void RenderLensFlare(const CFlareCanvas& canvas, int x, int y, int size, int brightness, int hue,
                     int colorIntensity) {
    const int bw = canvas.Width();
    const int bh = canvas.Height();
    CFlareDiscRaster raster(canvas);

    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const int dx2 = 2 * (bw / 2 - x);
    const int dy2 = 2 * (bh / 2 - y);
    const float fdx2 = static_cast<float>(dx2);
    const float fdy2 = static_cast<float>(dy2);
    // The point at fraction f of the way from the source to its mirror image.
    auto pointX = [&](float f) { return static_cast<int>(fx + fdx2 * f); };
    auto pointY = [&](float f) { return static_cast<int>(fy + fdy2 * f); };
    // The axis line through the source and the centre; used only when dx2 is not 0 (the
    // source on the centre column has no finite slope).
    const float m = dx2 != 0 ? fdy2 / fdx2 : 0.0f;
    const float b = fy - fx * m;
    auto lineY = [&](int u) { return static_cast<int>(static_cast<float>(u) * m + b); };
    const int sigma = dx2 > 0 ? 1 : -1;
    const int r0 = static_cast<int>(static_cast<float>(size) * 0.75f);
    const float gf = static_cast<float>(brightness) * 0.1f * static_cast<float>(size);
    const int g = static_cast<int>(gf);
    auto wrap = [](int h) { return h > 360 ? h - 360 : h; };
    const int h50 = wrap(hue + 50), h100 = wrap(hue + 100), h200 = wrap(hue + 200);
    const ColorValue c50 = Hsb(h50, 100, 100), c100 = Hsb(h100, 100, 100),
                     c200 = Hsb(h200, 100, 100), cMain = Hsb(hue, colorIntensity, 100);
    auto disc = [&](int cx, int cy, int radius, ColorValue color, float keep) {
        raster.Draw(cx, cy, radius, color, keep, true, true);
    };
    // A ramp of outlines with the glow's keep factors, t stepping by a reciprocal formed once.
    auto ramp = [&](int cx, int cy, int n, int rampHue, float saturation) {
        const float step = 1.0f / static_cast<float>(n);
        for (int k = 0; k < n; ++k) {
            if (!raster.MayShow(cx, cy, k))
                continue;
            const float s = GlowRamp(static_cast<float>(k) * step);
            const ColorValue color = Hsb(rampHue, static_cast<int>(saturation * s), 100);
            raster.Draw(cx, cy, k, color, s, k == n - 1, false);
        }
    };

    FlareRing(raster, colorIntensity, pointX(0.875f), pointY(0.875f), h50, r0, 8, kKeep07, true);
    FlareRing(raster, colorIntensity, pointX(-0.125f), pointY(-0.125f), h100, r0 / 2, 5, kKeep07,
              true);
    FlareGlow(raster, bw / 2, bh / 2, r0 / 8, hue, 100);
    ramp(pointX(0.625f), pointY(0.625f), r0 / 10, h100, 30.0f);
    ramp(pointX(0.75f), pointY(0.75f), r0 / 8, h200, 100.0f);

    // The halo: a band of BW / 20 outlines running once through the hue circle. A bitmap
    // narrower than 20 pixels has no hue step; the halo is left out.
    const int haloCount = bw / 20;
    if (haloCount > 0) {
        const int hueStep = 360 / haloCount;
        const int outer = 4 * r0;
        for (int k = std::max(outer - haloCount, 1); k < outer; ++k)
            if (raster.MayShow(x + dx2, y + dy2, k))
                raster.Draw(x + dx2, y + dy2, k, Hsb((outer - k) * hueStep, 50, 100), kKeep07,
                            k == outer - 1, false);
    }

    const int r075 = static_cast<int>(r0 * 0.75);
    const int r04 = static_cast<int>(r0 * 0.4);
    const int r02 = static_cast<int>(r0 * 0.2);
    const int at0625 = pointX(0.625f);
    if (dx2 != 0) {
        const int u7 = at0625 + sigma * (r0 / 2);
        disc(u7, lineY(u7), r075 - 1, c50, kKeep08);
        disc(u7, lineY(u7), r0 / 2 - 1, c50, kKeep08);
        const int u9 =
            static_cast<int>(static_cast<float>(at0625) + static_cast<float>(sigma * r0) * 0.6f);
        disc(u9, lineY(u9), r0 / 4 - 1, c50, kKeep08);
        const int u10 = pointX(0.4f) - sigma * (r0 / 8);
        disc(u10, lineY(u10), r0 / 4 - 1, c50, kKeep08);
    }
    const int fifthX = x + dx2 / 5;
    disc(fifthX, y + dy2 / 5, r075 - 1, c200, kKeep08);
    if (dx2 != 0) {
        const float shift = static_cast<float>(sigma * r0) * 0.2f;
        const int u12 = static_cast<int>(static_cast<float>(fifthX) + shift);
        disc(u12, lineY(u12), r04 - 1, c200, kKeep08);
        const int u13 = static_cast<int>(static_cast<float>(fifthX) - shift);
        disc(u13, lineY(u13), r02 - 1, c200, kKeep08);
    }
    disc(pointX(0.75f), pointY(0.75f), r02 - 1, c100, kKeep08);

    // The source's glow: one colour, keep factors fading linearly outwards.
    const float step = 1.0f / static_cast<float>(g);
    for (int k = 1; k < g; ++k)
        raster.Draw(x, y, k, cMain, static_cast<float>(k) * step, k == g - 1, false);

    const int ringOuter = static_cast<int>(gf * 0.5f);
    FlareRing(raster, colorIntensity, x, y, hue, ringOuter, 8, kKeep08, false);
    FlareGlow(raster, x, y, static_cast<int>(static_cast<float>(ringOuter) * 0.9f), hue,
              colorIntensity);

    // The rays take their 722 numbers whether or not they show. With G / 2 = 0 the remainder
    // would divide by zero: the rays are left out without drawing a number.
    const int half = g / 2;
    if (half != 0) {
        const CFlareBlend white(0xFFFFFF, kKeep09);
        for (int d = 0; d <= 360; ++d) {
            const double a = d * 0.0174532925;
            const int rx = static_cast<int>(static_cast<float>(RuntimeRand() * std::cos(a))) % half;
            const int ry = static_cast<int>(static_cast<float>(RuntimeRand() * std::sin(a))) % half;
            FlareLine(canvas, x, y, x + rx, y + ry, white);
            FlareLine(canvas, x - rx, y - ry, x, y, white);
        }
    }

    if (dx2 != 0) {
        const int u19 = x - sigma * r0;
        disc(u19, lineY(u19), 4 * r0 - 1, c50, kKeep095);
    }
}

double LensFlareReach(int width, int height, int x, int y, int size, int brightness) {
    const double dx2 = 2.0 * (width / 2 - static_cast<double>(x));
    const double dy2 = 2.0 * (height / 2 - static_cast<double>(y));
    const double r0 = std::fabs(size * 0.75);
    const double radius = 4.0 * r0 + std::fabs(brightness * 0.1 * size) + 2.0;
    const double columns = std::fabs(x) + std::fabs(dx2) + r0;
    double rows = std::fabs(y) + std::fabs(dy2);
    if (dx2 != 0.0)
        rows += r0 * std::fabs(dy2) / std::fabs(dx2);
    return std::max(columns, rows) + radius;
}

bool LensFlareDrawable(int width, int height, int x, int y, int size, int brightness, int hue,
                       int intensity) {
    return width > 0 && height > 0 && size >= 0 && brightness >= 0 && brightness <= 100 &&
           intensity >= 0 && intensity <= 100 && hue >= -kHueLimit && hue <= kHueLimit &&
           LensFlareReach(width, height, x, y, size, brightness) <= kReachLimit;
}

} // namespace Orvanel::Filter
