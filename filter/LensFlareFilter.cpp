#include "filter/LensFlareFilter.h"

#include "filter/RuntimeRandom.h"
#include "host/OrvanelBitmap.h"

#include <cmath>

namespace Orvanel::Filter {

using Color::ColorValue;
using Color::HSBColor;

namespace {

constexpr float kKeep07 = 0.7f;
constexpr float kKeep08 = 0.8f;
constexpr float kKeep09 = 0.9f;
constexpr float kKeep095 = 0.95f;
// One and two units in the last place below the floats nearest 1.6 and 0.6.
constexpr float kGlowSquare = 1.5999999f;
constexpr float kGlowLinear = 0.5999999f;

ColorValue Hsb(int hue, int saturation, int brightness) {
    HSBColor hsb{hue, saturation, brightness};
    ColorValue color = 0;
    Color::ConvertHSBToRGB(hsb, color);
    return color;
}

float Distance(int dx, int dy) {
    const double squared = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
    return static_cast<float>(std::sqrt(squared));
}

// trunc(sqrt(r^2 - n^2)), the root rounded to single precision first.
int HalfChord(int r, int n) {
    const double squared = static_cast<double>(r) * r - static_cast<double>(n) * n;
    return static_cast<int>(static_cast<float>(std::sqrt(squared)));
}

} // namespace

CLensFlareFilter::CLensFlareFilter()
    : directRead(0), width(0), height(0), intensity(100), target(nullptr) {}

void CLensFlareFilter::BlendPixel(const int& x, const int& y, const ColorValue& color,
                                  const float& keep) {
    if (x < 0 || x >= width || y < 0 || y >= height)
        return;
    ColorValue old;
    if (directRead) {
        const unsigned char* p = target->GetPtBitmap() + y * target->GetWidthSize() + x * 4;
        old = static_cast<ColorValue>(p[2]) | (static_cast<ColorValue>(p[1]) << 8) |
              (static_cast<ColorValue>(p[0]) << 16);
    } else {
        old = target->GetColorValue(x, y);
    }
    const float other = 1.0f - keep;
    ColorValue result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const float mixed = static_cast<float>((old >> shift) & 0xFF) * keep +
                            static_cast<float>((color >> shift) & 0xFF) * other;
        result |= static_cast<ColorValue>(static_cast<int>(mixed) & 0xFF) << shift;
    }
    target->SetColorValue(x, y, result);
}

void CLensFlareFilter::PlotMirrored(const int& centreX, const int& centreY, const int& dx,
                                    const int& dy, const ColorValue& color, const float& keep) {
    const float k = keep > 1.0f ? 1.0f : keep;
    BlendPixel(centreX + dx, centreY + dy, color, k);
    BlendPixel(centreX + dx, centreY - dy, color, k);
    BlendPixel(centreX - dx, centreY + dy, color, k);
    BlendPixel(centreX - dx, centreY - dy, color, k);
}

void CLensFlareFilter::DrawDisc(const int& centreX, const int& centreY, const int& radius,
                                const ColorValue& color, const float& keep, const bool& edge,
                                const bool& fill) {
    const int r = radius;
    if (r <= 0)
        return;
    auto rim = [&](int dx, int dy, float e) {
        float k = (1.0f - keep) * e + keep;
        if (k > 1.0f)
            k = 1.0f;
        BlendPixel(centreX + dx, centreY + dy, color, k);
        BlendPixel(centreX + dx, centreY - dy, color, k);
        BlendPixel(centreX - dx, centreY + dy, color, k);
        BlendPixel(centreX - dx, centreY - dy, color, k);
    };
    // Returns false where the scan leaves its column or row.
    auto step = [&](int dx, int dy) {
        const float d = Distance(dx, dy);
        if (static_cast<int>(d) < r) {
            PlotMirrored(centreX, centreY, dx, dy, color, keep);
        } else if (edge) {
            const float e = d - static_cast<float>(r);
            if (e > 1.0f)
                return false;
            rim(dx, dy, e);
        }
        return true;
    };
    const int yEnd = 1 - r / 2;
    const int k =
        static_cast<int>(std::sqrt(static_cast<double>(r) * r - static_cast<double>(yEnd) * yEnd)) -
        1;
    int start = 0;
    for (int j = -r; j < yEnd; ++j) {
        const int w = HalfChord(r, j);
        if (fill)
            for (int i = 0; i < start; ++i)
                PlotMirrored(centreX, centreY, j, i, color, keep);
        for (int i = start; i < r; ++i)
            if (!step(j, i))
                break;
        start = w;
    }
    int t0 = 0;
    for (int row = r; row >= k; --row) {
        const int w = HalfChord(r, row);
        if (fill)
            for (int t = t0; t <= 0; ++t)
                PlotMirrored(centreX, centreY, t, row, color, keep);
        for (int t = t0; t > -r; --t)
            if (!step(t, row))
                break;
        t0 = -w;
    }
    if (fill)
        for (int u = 0; u <= k + 1; ++u)
            for (int v = yEnd; v <= 0; ++v)
                PlotMirrored(centreX, centreY, v, u, color, keep);
}

void CLensFlareFilter::DrawLine(const int& x0, const int& y0, const int& x1, const int& y1,
                                const ColorValue& color, const float& keep) {
    BlendPixel(x0, y0, color, keep);
    if (x1 <= x0)
        return; // the slope would divide by zero, and no further pixel is drawn anyway
    const float m = static_cast<float>(y1 - y0) / static_cast<float>(x1 - x0);
    const float b = static_cast<float>(y0) - static_cast<float>(x0) * m;
    for (int x = x0; x < x1;) {
        ++x;
        const int y = static_cast<int>(static_cast<float>(x) * m + b);
        BlendPixel(x, y, color, keep);
    }
}

void CLensFlareFilter::DrawGlow(const int& centreX, const int& centreY, const int& radius,
                                const int& hue, const int& saturationScale) {
    directRead = 1;
    for (int k = 0; k < radius; ++k) {
        const float t = static_cast<float>(k) / static_cast<float>(radius);
        float s = t * t * kGlowSquare - t * kGlowLinear;
        if (!(s >= 0.0f))
            s = 0.0f;
        const ColorValue color =
            Hsb(hue, static_cast<int>(static_cast<float>(saturationScale) * s), 100);
        DrawDisc(centreX, centreY, k, color, s, k == radius - 1, false);
    }
    directRead = 0;
}

void CLensFlareFilter::DrawRing(const int& centreX, const int& centreY, const int& hue,
                                const int& outerRadius, const int& width, const float& keep,
                                const int& inner) {
    directRead = 1;
    const int r = outerRadius;
    if (inner)
        for (int k = 0; k < r - width; ++k) {
            const float t = static_cast<float>(k) / static_cast<float>(r);
            float s = t * t * 2.8f - t * 1.8f;
            if (!(s >= 0.0f))
                s = 0.0f;
            const ColorValue color =
                Hsb(hue, static_cast<int>(static_cast<float>(intensity) * s), 100);
            DrawDisc(centreX, centreY, k, color, keep, false, false);
        }
    for (int k = r - width; k < r; ++k) {
        float a = 1.0f;
        if (k <= 100) {
            const double x = std::asin(k * 0.01) * 90.0 * 0.3183098861837907;
            a = static_cast<float>(1.0 - (std::exp(x * x * -0.006) + std::exp(x * -0.03)) * 0.5);
            if (a > 1.0f)
                a = 1.0f;
        }
        const ColorValue color = Hsb(hue, static_cast<int>(static_cast<float>(intensity) * a), 100);
        DrawDisc(centreX, centreY, k, color, keep, k == r - 1, false);
    }
    directRead = 0;
}

void CLensFlareFilter::LensFlare(COrvanelBitmap* bitmap, const int& x, const int& y,
                                 const int& size, const int& brightness, const int& hue,
                                 const int& colorIntensity) {
    target = bitmap;
    if (bitmap == nullptr)
        return;
    const int bw = static_cast<int>(bitmap->GetBitmapWidth());
    const int bh = static_cast<int>(bitmap->GetBitmapHeight());
    if (bitmap->GetPtBitmap() == nullptr)
        return;
    width = bw;
    height = bh;
    intensity = colorIntensity;

    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const int dx2 = 2 * (bw / 2 - x);
    const int dy2 = 2 * (bh / 2 - y);
    const float fdx2 = static_cast<float>(dx2);
    const float fdy2 = static_cast<float>(dy2);
    auto pointX = [&](float f) { return static_cast<int>(fx + fdx2 * f); };
    auto pointY = [&](float f) { return static_cast<int>(fy + fdy2 * f); };
    // The axis line has no slope when the source is on the centre column; it is used only
    // when dx2 is not 0.
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
    const bool edgeFill = true;

    DrawRing(pointX(0.875f), pointY(0.875f), h50, r0, 8, kKeep07, 1);
    DrawRing(pointX(-0.125f), pointY(-0.125f), h100, r0 / 2, 5, kKeep07, 1);
    DrawGlow(bw / 2, bh / 2, r0 / 8, hue, 100);

    auto ramp = [&](int cx, int cy, int n, int rampHue, float saturation) {
        const float step = 1.0f / static_cast<float>(n);
        for (int k = 0; k < n; ++k) {
            const float t = static_cast<float>(k) * step;
            float s = t * t * kGlowSquare - t * kGlowLinear;
            if (!(s >= 0.0f))
                s = 0.0f;
            const ColorValue color = Hsb(rampHue, static_cast<int>(saturation * s), 100);
            DrawDisc(cx, cy, k, color, s, k == n - 1, false);
        }
    };
    directRead = 1;
    ramp(pointX(0.625f), pointY(0.625f), r0 / 10, h100, 30.0f);
    ramp(pointX(0.75f), pointY(0.75f), r0 / 8, h200, 100.0f);

    const int haloCount = bw / 20;
    if (haloCount > 0) {
        const int hueStep = 360 / haloCount;
        const int outer = 4 * r0;
        for (int k = outer - haloCount; k < outer; ++k)
            DrawDisc(x + dx2, y + dy2, k, Hsb((outer - k) * hueStep, 50, 100), kKeep07,
                     k == outer - 1, false);
    }

    const int r075 = static_cast<int>(r0 * 0.75);
    const int r04 = static_cast<int>(r0 * 0.4);
    const int r02 = static_cast<int>(r0 * 0.2);
    const int at0625 = pointX(0.625f);
    if (dx2 != 0) {
        const int u7 = at0625 + sigma * (r0 / 2);
        DrawDisc(u7, lineY(u7), r075 - 1, c50, kKeep08, edgeFill, edgeFill);
        DrawDisc(u7, lineY(u7), r0 / 2 - 1, c50, kKeep08, edgeFill, edgeFill);
        const int u9 =
            static_cast<int>(static_cast<float>(at0625) + static_cast<float>(sigma * r0) * 0.6f);
        DrawDisc(u9, lineY(u9), r0 / 4 - 1, c50, kKeep08, edgeFill, edgeFill);
        const int u10 = pointX(0.4f) - sigma * (r0 / 8);
        DrawDisc(u10, lineY(u10), r0 / 4 - 1, c50, kKeep08, edgeFill, edgeFill);
    }
    const int fifthX = x + dx2 / 5;
    DrawDisc(fifthX, y + dy2 / 5, r075 - 1, c200, kKeep08, edgeFill, edgeFill);
    if (dx2 != 0) {
        const float shift = static_cast<float>(sigma * r0) * 0.2f;
        const int u12 = static_cast<int>(static_cast<float>(fifthX) + shift);
        DrawDisc(u12, lineY(u12), r04 - 1, c200, kKeep08, edgeFill, edgeFill);
        const int u13 = static_cast<int>(static_cast<float>(fifthX) - shift);
        DrawDisc(u13, lineY(u13), r02 - 1, c200, kKeep08, edgeFill, edgeFill);
    }
    DrawDisc(pointX(0.75f), pointY(0.75f), r02 - 1, c100, kKeep08, edgeFill, edgeFill);

    const float step = 1.0f / static_cast<float>(g);
    for (int k = 0; k < g; ++k)
        DrawDisc(x, y, k, cMain, static_cast<float>(k) * step, k == g - 1, false);
    directRead = 0;

    const int ringOuter = static_cast<int>(gf * 0.5f);
    DrawRing(x, y, hue, ringOuter, 8, kKeep08, 0);
    DrawGlow(x, y, static_cast<int>(static_cast<float>(ringOuter) * 0.9f), hue, colorIntensity);

    const int half = g / 2;
    if (half > 0) {
        const ColorValue white = 0xFFFFFF;
        for (int d = 0; d <= 360; ++d) {
            const double a = d * 0.0174532925;
            const int rx = static_cast<int>(static_cast<float>(RuntimeRand() * std::cos(a))) % half;
            const int ry = static_cast<int>(static_cast<float>(RuntimeRand() * std::sin(a))) % half;
            DrawLine(x, y, x + rx, y + ry, white, kKeep09);
            DrawLine(x - rx, y - ry, x, y, white, kKeep09);
        }
    }

    if (dx2 != 0) {
        directRead = 1;
        const int u19 = x - sigma * r0;
        DrawDisc(u19, lineY(u19), 4 * r0 - 1, c50, kKeep095, edgeFill, edgeFill);
        directRead = 0;
    }
}

} // namespace Orvanel::Filter
