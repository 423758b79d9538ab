#include "native/LensFlareOracle.h"

#include "host/OrvanelBitmap.h"

#include <cmath>
#include <cstring>

namespace LensFlareOracle {

namespace {

float FloatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// One and two units in the last place below the floats nearest to 1.6 and 0.6.
const float kGlowSquare = FloatFromBits(0x3FCCCCCCu);
const float kGlowLinear = FloatFromBits(0x3F199998u);

ColorValue ToRgb(int hue, int saturation, int brightness) {
    Orvanel::Color::HSBColor hsb{hue, saturation, brightness};
    ColorValue color = 0;
    Orvanel::Color::ConvertHSBToRGB(hsb, color);
    return color;
}

// Distance of an offset from the centre: the root in double, rounded to single.
float Distance(int dx, int dy) {
    const double squares =
        static_cast<double>(dx) * static_cast<double>(dx) + static_cast<double>(dy) * dy;
    return static_cast<float>(std::sqrt(squares));
}

// Half width of the disc at offset j: the root in double, rounded to single, truncated.
int HalfWidth(int radius, int j) {
    const double rest = static_cast<double>(radius) * radius - static_cast<double>(j) * j;
    return static_cast<int>(static_cast<float>(std::sqrt(rest)));
}

// The glow's ramp: 0 up to t = 0.375, then rising to just below 1 at t = 1.
float GlowRamp(float t) {
    float s = t * t * kGlowSquare - t * kGlowLinear;
    if (!(s >= 0.0f))
        s = 0.0f;
    return s;
}

} // namespace

int Generator::Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

float RingSaturation(int k) {
    if (k > 100)
        return 1.0f;
    const double x = std::asin(k * 0.01) * 90.0 * 0.3183098861837907;
    float a = static_cast<float>(1.0 - (std::exp(x * x * -0.006) + std::exp(x * -0.03)) * 0.5);
    if (a > 1.0f)
        a = 1.0f;
    return a;
}

void Painter::BlendPixel(int x, int y, ColorValue color, float keep) {
    if (x < 0 || x >= width || y < 0 || y >= height)
        return;
    ColorValue old;
    if (directRead) {
        const unsigned char* p = target->GetPtBitmap() + y * target->GetWidthSize() + x * 4;
        old = static_cast<ColorValue>(p[2]) | static_cast<ColorValue>(p[1]) << 8 |
              static_cast<ColorValue>(p[0]) << 16;
    } else {
        old = target->GetColorValue(x, y);
    }
    ColorValue out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const float before = static_cast<float>((old >> shift) & 0xFF);
        const float paint = static_cast<float>((color >> shift) & 0xFF);
        const int value = static_cast<int>(before * keep + paint * (1.0f - keep));
        out |= static_cast<ColorValue>(value & 0xFF) << shift;
    }
    target->SetColorValue(x, y, out);
}

void Painter::PlotMirrored(int cx, int cy, int dx, int dy, ColorValue color, float keep) {
    if (keep > 1.0f)
        keep = 1.0f;
    BlendPixel(cx + dx, cy + dy, color, keep);
    BlendPixel(cx + dx, cy - dy, color, keep);
    BlendPixel(cx - dx, cy + dy, color, keep);
    BlendPixel(cx - dx, cy - dy, color, keep);
}

void Painter::DrawDisc(int cx, int cy, int R, ColorValue color, float keep, bool edge, bool fill) {
    if (R <= 0)
        return;
    const auto visit = [&](int dx, int dy) { PlotMirrored(cx, cy, dx, dy, color, keep); };
    // The soft rim, for offsets between R and R + 1: fades from `keep` towards 1 (PlotMirrored
    // clamps it there and blends the four pixels in the rim's order).
    const auto rim = [&](int dx, int dy, float e) {
        PlotMirrored(cx, cy, dx, dy, color, (1.0f - keep) * e + keep);
    };
    const int yEnd = 1 - R / 2;
    const int K =
        static_cast<int>(std::sqrt(static_cast<double>(R) * R - static_cast<double>(yEnd) * yEnd)) -
        1;

    // The side caps.
    int start = 0;
    for (int j = -R; j <= yEnd - 1; ++j) {
        const int w = HalfWidth(R, j);
        if (fill)
            for (int i = 0; i < start; ++i)
                visit(j, i);
        for (int i = start; i < R; ++i) {
            const float d = Distance(j, i);
            if (static_cast<int>(d) < R) {
                visit(j, i);
            } else if (edge) {
                const float e = d - static_cast<float>(R);
                if (e > 1.0f)
                    break;
                rim(j, i, e);
            }
        }
        start = w;
    }

    // The top and bottom caps.
    int t0 = 0;
    for (int row = R; row >= K; --row) {
        const int w = HalfWidth(R, row);
        if (fill)
            for (int t = t0; t <= 0; ++t)
                visit(t, row);
        for (int t = t0; t > -R; --t) {
            const float d = Distance(t, row);
            if (static_cast<int>(d) < R) {
                visit(t, row);
            } else if (edge) {
                const float e = d - static_cast<float>(R);
                if (e > 1.0f)
                    break;
                rim(t, row, e);
            }
        }
        t0 = -w;
    }

    // The centre block.
    if (fill)
        for (int u = 0; u <= K + 1; ++u)
            for (int v = yEnd; v <= 0; ++v)
                visit(v, u);
}

void Painter::DrawLine(int x0, int y0, int x1, int y1, ColorValue color, float keep) {
    BlendPixel(x0, y0, color, keep);
    if (x1 <= x0)
        return; // the slope would divide by zero; nothing more is drawn anyway
    const float m = static_cast<float>(y1 - y0) / static_cast<float>(x1 - x0);
    const float b = static_cast<float>(y0) - static_cast<float>(x0) * m;
    int x = x0;
    while (x < x1) {
        x = x + 1;
        const int y = static_cast<int>(static_cast<float>(x) * m + b);
        BlendPixel(x, y, color, keep);
    }
}

void Painter::DrawGlow(int cx, int cy, int R, int hue, int saturationScale) {
    directRead = 1;
    for (int k = 0; k < R; ++k) {
        const float t = static_cast<float>(k) / static_cast<float>(R);
        const float s = GlowRamp(t);
        const ColorValue color =
            ToRgb(hue, static_cast<int>(static_cast<float>(saturationScale) * s), 100);
        DrawDisc(cx, cy, k, color, s, k == R - 1, false);
    }
    directRead = 0;
}

void Painter::DrawRing(int cx, int cy, int hue, int R, int W, float keep, int inner) {
    directRead = 1;
    if (inner != 0) {
        for (int k = 0; k <= R - W - 1; ++k) {
            const float t = static_cast<float>(k) / static_cast<float>(R);
            float s = t * t * 2.8f - t * 1.8f;
            if (!(s >= 0.0f))
                s = 0.0f;
            const ColorValue color =
                ToRgb(hue, static_cast<int>(static_cast<float>(intensity) * s), 100);
            DrawDisc(cx, cy, k, color, keep, false, false);
        }
    }
    for (int k = R - W; k <= R - 1; ++k) {
        const float a = RingSaturation(k);
        const ColorValue color =
            ToRgb(hue, static_cast<int>(static_cast<float>(intensity) * a), 100);
        DrawDisc(cx, cy, k, color, keep, k == R - 1, false);
    }
    directRead = 0;
}

void Painter::LensFlare(COrvanelBitmap* bitmap, int x, int y, int size, int brightness, int hue,
                        int intensityPercent, Generator& random, std::vector<ElementTrace>* trace) {
    target = bitmap;
    const int BW = static_cast<int>(bitmap->GetBitmapWidth());
    const int BH = static_cast<int>(bitmap->GetBitmapHeight());
    if (bitmap->GetPtBitmap() == nullptr)
        return;
    width = BW;
    height = BH;
    intensity = intensityPercent;

    const auto note = [&](int step, int cx, int cy, int r, int last, int h) {
        if (trace != nullptr)
            trace->push_back(ElementTrace{step, cx, cy, r, last, h});
    };

    const int centreX = BW / 2;
    const int centreY = BH / 2;
    const int dx2 = 2 * (BW / 2 - x);
    const int dy2 = 2 * (BH / 2 - y);
    const int mirrorX = x + dx2;
    const int mirrorY = y + dy2;
    const auto pointX = [&](float f) {
        return static_cast<int>(static_cast<float>(x) + static_cast<float>(dx2) * f);
    };
    const auto pointY = [&](float f) {
        return static_cast<int>(static_cast<float>(y) + static_cast<float>(dy2) * f);
    };
    // The axis line; only used when dx2 is not 0.
    float m = 0.0f;
    float b = 0.0f;
    if (dx2 != 0) {
        m = static_cast<float>(dy2) / static_cast<float>(dx2);
        b = static_cast<float>(y) - static_cast<float>(x) * m;
    }
    const auto axisY = [&](int u) { return static_cast<int>(static_cast<float>(u) * m + b); };
    const int sigma = dx2 > 0 ? 1 : -1;
    const int R0 = static_cast<int>(static_cast<float>(size) * 0.75f);
    const float Gf = static_cast<float>(brightness) * 0.1f * static_cast<float>(size);
    const int G = static_cast<int>(Gf);
    const auto reduce = [](int h) { return h > 360 ? h - 360 : h; };
    const int h50 = reduce(hue + 50);
    const int h100 = reduce(hue + 100);
    const int h200 = reduce(hue + 200);
    const ColorValue C50 = ToRgb(h50, 100, 100);
    const ColorValue C100 = ToRgb(h100, 100, 100);
    const ColorValue C200 = ToRgb(h200, 100, 100);
    const ColorValue Cmain = ToRgb(hue, intensityPercent, 100);
    const float keep07 = 0.7f, keep08 = 0.8f, keep09 = 0.9f, keep095 = 0.95f;

    // A disc with edge and fill, drawn with direct read on.
    const auto disc = [&](int step, int cx, int cy, int r, ColorValue color, int h, float keep) {
        note(step, cx, cy, r, r, h);
        directRead = 1;
        DrawDisc(cx, cy, r, color, keep, true, true);
        directRead = 0;
    };
    const auto glowRamp = [&](int step, int cx, int cy, int n, int h, int saturationScale) {
        note(step, cx, cy, 0, n - 1, h);
        directRead = 1;
        if (n > 0) {
            const float reciprocal = 1.0f / static_cast<float>(n);
            for (int k = 0; k <= n - 1; ++k) {
                const float t = static_cast<float>(k) * reciprocal;
                const float s = GlowRamp(t);
                const ColorValue color =
                    ToRgb(h, static_cast<int>(static_cast<float>(saturationScale) * s), 100);
                DrawDisc(cx, cy, k, color, s, k == n - 1, false);
            }
        }
        directRead = 0;
    };

    // 1, 2: the rings.
    note(1, pointX(0.875f), pointY(0.875f), R0, R0, h50);
    DrawRing(pointX(0.875f), pointY(0.875f), h50, R0, 8, keep07, 1);
    note(2, pointX(-0.125f), pointY(-0.125f), R0 / 2, R0 / 2, h100);
    DrawRing(pointX(-0.125f), pointY(-0.125f), h100, R0 / 2, 5, keep07, 1);

    // 3: the glow at the centre of the bitmap.
    note(3, centreX, centreY, R0 / 8, R0 / 8, hue);
    DrawGlow(centreX, centreY, R0 / 8, hue, 100);

    // 4, 5: the glow ramps.
    glowRamp(4, pointX(0.625f), pointY(0.625f), R0 / 10, h100, 30);
    glowRamp(5, pointX(0.75f), pointY(0.75f), R0 / 8, h200, 100);

    // 6: the halo, a band of circles running once through the hues. Too narrow a bitmap has
    // no hue step to give it.
    const int N = BW / 20;
    if (N != 0) {
        const int hueStep = 360 / N;
        note(6, mirrorX, mirrorY, 4 * R0 - N, 4 * R0 - 1, N * hueStep);
        directRead = 1;
        for (int k = 4 * R0 - N; k <= 4 * R0 - 1; ++k) {
            const ColorValue color = ToRgb((4 * R0 - k) * hueStep, 50, 100);
            DrawDisc(mirrorX, mirrorY, k, color, keep07, k == 4 * R0 - 1, false);
        }
        directRead = 0;
    }

    // 7 ... 14: the reflection discs. Those placed on the axis line need its slope.
    const int r075 = static_cast<int>(R0 * 0.75) - 1;
    const int r04 = static_cast<int>(R0 * 0.4) - 1;
    const int r02 = static_cast<int>(R0 * 0.2) - 1;
    const int fifthX = x + dx2 / 5;
    if (dx2 != 0) {
        const int u7 = pointX(0.625f) + sigma * (R0 / 2);
        disc(7, u7, axisY(u7), r075, C50, h50, keep08);
        disc(8, u7, axisY(u7), R0 / 2 - 1, C50, h50, keep08);
        const int u9 = static_cast<int>(static_cast<float>(pointX(0.625f)) +
                                        static_cast<float>(sigma * R0) * 0.6f);
        disc(9, u9, axisY(u9), R0 / 4 - 1, C50, h50, keep08);
        const int u10 = pointX(0.4f) - sigma * (R0 / 8);
        disc(10, u10, axisY(u10), R0 / 4 - 1, C50, h50, keep08);
    }
    disc(11, fifthX, y + dy2 / 5, r075, C200, h200, keep08);
    if (dx2 != 0) {
        const int u12 =
            static_cast<int>(static_cast<float>(fifthX) + static_cast<float>(sigma * R0) * 0.2f);
        disc(12, u12, axisY(u12), r04, C200, h200, keep08);
        const int u13 =
            static_cast<int>(static_cast<float>(fifthX) - static_cast<float>(sigma * R0) * 0.2f);
        disc(13, u13, axisY(u13), r02, C200, h200, keep08);
    }
    disc(14, pointX(0.75f), pointY(0.75f), r02, C100, h100, keep08);

    // 15: the source glow, fading linearly into the image.
    note(15, x, y, 0, G - 1, hue);
    directRead = 1;
    if (G > 0) {
        const float reciprocal = 1.0f / static_cast<float>(G);
        for (int k = 0; k <= G - 1; ++k) {
            const float t = static_cast<float>(k) * reciprocal;
            DrawDisc(x, y, k, Cmain, t, k == G - 1, false);
        }
    }
    directRead = 0;

    // 16, 17: the source ring and core.
    const int ringRadius = static_cast<int>(Gf * 0.5f);
    note(16, x, y, ringRadius, ringRadius, hue);
    DrawRing(x, y, hue, ringRadius, 8, keep08, 0);
    const int coreRadius = static_cast<int>(static_cast<float>(ringRadius) * 0.9f);
    note(17, x, y, coreRadius, coreRadius, hue);
    DrawGlow(x, y, coreRadius, hue, intensityPercent);

    // 18: the rays, each step a line and its mirror through the source. Without a half length
    // there is no remainder to take: the element is left out, drawing no number.
    const int half = G / 2;
    if (half != 0) {
        note(18, x, y, half, half, -1);
        directRead = 0;
        for (int d = 0; d <= 360; ++d) {
            const double a = d * 0.0174532925;
            const int randomX = random.Next();
            const int rx = static_cast<int>(static_cast<float>(randomX * std::cos(a))) % half;
            const int randomY = random.Next();
            const int ry = static_cast<int>(static_cast<float>(randomY * std::sin(a))) % half;
            DrawLine(x, y, x + rx, y + ry, 0xFFFFFF, keep09);
            DrawLine(x - rx, y - ry, x, y, 0xFFFFFF, keep09);
        }
    }

    // 19: the back disc, around the source's far side.
    if (dx2 != 0) {
        const int u19 = x - sigma * R0;
        disc(19, u19, axisY(u19), 4 * R0 - 1, C50, h50, keep095);
    }
}

} // namespace LensFlareOracle
