#include "native/ColorOracle.h"

#include "host/OrvanelBitmap.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <vector>

namespace ColorOracle {

namespace {

// An exact value n / d, d > 0.
struct Ratio {
    __int128 n, d;
};

Ratio operator*(Ratio a, Ratio b) { return {a.n * b.n, a.d * b.d}; }
Ratio operator+(Ratio a, Ratio b) { return {a.n * b.d + b.n * a.d, a.d * b.d}; }
int Truncated(Ratio r) { return static_cast<int>(r.n / r.d); } // toward zero

// The single-precision float nearest to r, ties to the even significand, as an exact ratio:
// a 24-bit significand over a power of two. Only for magnitudes from 2^-40 up to 2^24.
Ratio Single(Ratio r) {
    if (r.n == 0)
        return {0, 1};
    __int128 n = r.n < 0 ? -r.n : r.n, places = 1;
    while (n < (r.d << 23)) // fewer than 24 binary digits before the point: one more
        n *= 2, places *= 2;
    __int128 significand = n / r.d;
    const __int128 twiceRest = 2 * (n - significand * r.d);
    if (twiceRest > r.d || (twiceRest == r.d && significand % 2 == 1))
        ++significand;
    return {r.n < 0 ? -significand : significand, places};
}

// Each part of the record depends on a few small integers; the sweeps over every colour ask for
// the same ones millions of times, so each is worked out once (a table per call site).
template <std::size_t Size, class Work> int Once(std::size_t index, Work work) {
    static std::vector<int> known(Size, INT_MIN);
    if (known[index] == INT_MIN)
        known[index] = work();
    return known[index];
}

} // namespace

void RGBToHSB(HSBColor& hsb, ColorValue color) {
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    const int max = std::max({r, g, b}), delta = max - std::min({r, g, b});
    // Each single-precision operation is the exact result rounded once to the nearest float.
    hsb.brightness = Once<256>(max, [&] {
        return Truncated(Single(Single({100 * max, 1}) * Single({1, 255})));
    });
    if (max == 0)
        return;
    hsb.saturation = Once<256 * 256>(256 * delta + max, [&] {
        return Truncated(Single(Single({delta, max}) * Ratio{100, 1}));
    });
    // h x 60 for h = numerator / delta + offset, by the channel that is largest.
    const auto hue = [delta](int numerator, int offset) {
        const Ratio h = Single({numerator, delta});
        return Truncated(Single((offset == 0 ? h : Single(h + Ratio{offset, 1})) * Ratio{60, 1}));
    };
    const std::size_t at = 511 * delta + 255;
    if (delta == 0)
        hsb.hue = 0;
    else if (max == r)
        hsb.hue = Once<511 * 256>(at + g - b, [&] { return hue(g - b, 0); });
    else if (max == g)
        hsb.hue = Once<511 * 256>(at + b - r, [&] { return hue(b - r, 2); });
    else
        hsb.hue = Once<511 * 256>(at + r - g, [&] { return hue(r - g, 4); });
    if (hsb.hue < 0)
        hsb.hue += 360;
}

bool HSBToRGB(const HSBColor& hsb, ColorValue& color) {
    int red, green, blue;
    if (hsb.saturation < 1) {
        int grey = (hsb.brightness * 255) / 100;
        red = green = blue = grey & 0xFF;
    } else {
        int h = hsb.hue % 360;
        double x = h * 0.016666666666666666;
        int sector = (int)x;
        double f = x - sector;
        double V = hsb.brightness * 0.01;
        double S = hsb.saturation * 0.01;
        int v = (int)(V * 255.0) & 0xFF;
        int p = (int)((1 - S) * V * 255.0) & 0xFF;
        int q = (int)((1 - f * S) * V * 255.0) & 0xFF;
        int t = (int)((1 - (1 - f) * S) * V * 255.0) & 0xFF;
        const int bySector[6][3] = {{v, t, p}, {q, v, p}, {p, v, t},
                                    {p, q, v}, {t, p, v}, {v, p, q}};
        if (sector < 0 || sector > 5)
            return false;
        red = bySector[sector][0];
        green = bySector[sector][1];
        blue = bySector[sector][2];
    }
    color = (ColorValue)red | ((ColorValue)green << 8) | ((ColorValue)blue << 16);
    return true;
}

namespace {

void Store(unsigned char* pixel, ColorValue color) {
    pixel[0] = (unsigned char)((color >> 16) & 0xFF);
    pixel[1] = (unsigned char)((color >> 8) & 0xFF);
    pixel[2] = (unsigned char)(color & 0xFF);
    pixel[3] = 0;
}

// Every pixel in the colour for its place, rows rowBytes apart.
template <class ColorAt> void Fill(COrvanelBitmap* bitmap, long rowBytes, ColorAt colorAt) {
    unsigned char* bits = bitmap->GetPtBitmap();
    unsigned int width = bitmap->GetBitmapWidth(), height = bitmap->GetBitmapHeight();
    if (bits == nullptr || height == 0)
        return;
    for (unsigned int y = 0; y < height; y++)
        for (unsigned int x = 0; x < width; x++)
            Store(bits + y * rowBytes + 4 * x, colorAt(x, y, width, height));
}

} // namespace

void FillBox(COrvanelBitmap* bitmap, ColorValue color) {
    Fill(bitmap, bitmap->GetWidthSize(), [color](auto...) { return color; });
}

void FillGradient(COrvanelBitmap* bitmap) {
    Fill(bitmap, bitmap->GetWidthSize(),
         [](unsigned int, unsigned int y, unsigned int, unsigned int height) {
             unsigned int hue = (y * 360) / height;
             ColorValue color = 0;
             HSBToRGB({(int)hue, 100, 100}, color);
             return color;
         });
}

// Written one pixel after another: rows packed, whatever the stride.
void FillMatrix(COrvanelBitmap* bitmap, int hue) {
    Fill(bitmap, 4L * bitmap->GetBitmapWidth(),
         [hue](unsigned int x, unsigned int y, unsigned int width, unsigned int height) {
             unsigned int brightness = (y * 100) / width;
             unsigned int saturation = (x * 100) / height;
             ColorValue color = 0;
             HSBToRGB({hue, (int)saturation, (int)brightness}, color);
             return color;
         });
}

} // namespace ColorOracle
