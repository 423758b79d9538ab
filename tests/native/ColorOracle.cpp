#include "native/ColorOracle.h"

#include "host/OrvanelBitmap.h"

#include <algorithm>

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

// The record's parts each depend on a few small integers; worked out once for all of them, a
// sweep over every colour costs a look-up per colour. Each single-precision operation is the
// exact result rounded once to the nearest float.
struct Parts {
    int brightness[256];
    int saturation[256][256]; // [delta][max]
    int hue[3][256][511];     // [largest channel: red, green, blue][delta][numerator + 255]

    Parts() {
        for (int max = 0; max < 256; ++max) {
            brightness[max] = Truncated(Single(Single({100 * max, 1}) * Single({1, 255})));
            for (int delta = 0; max > 0 && delta <= max; ++delta)
                saturation[delta][max] = Truncated(Single(Single({delta, max}) * Ratio{100, 1}));
        }
        // h = numerator / delta, plus 2 or 4 when green or blue is the largest; the hue is
        // h x 60 truncated.
        for (int largest = 0; largest < 3; ++largest)
            for (int delta = 1; delta < 256; ++delta)
                for (int numerator = -delta; numerator <= delta; ++numerator) {
                    Ratio h = Single({numerator, delta});
                    if (largest > 0)
                        h = Single(h + Ratio{2 * largest, 1});
                    hue[largest][delta][numerator + 255] = Truncated(Single(h * Ratio{60, 1}));
                }
    }
};

} // namespace

void RGBToHSB(HSBColor& hsb, ColorValue color) {
    static const Parts parts;
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    const int max = std::max({r, g, b}), delta = max - std::min({r, g, b});
    hsb.brightness = parts.brightness[max];
    if (max == 0)
        return;
    hsb.saturation = parts.saturation[delta][max];
    // If delta is 0, h is 0; otherwise the first of red, green and blue that is the largest.
    const int largest = max == r ? 0 : max == g ? 1 : 2;
    const int numerator = largest == 0 ? g - b : largest == 1 ? b - r : r - g;
    hsb.hue = delta == 0 ? 0 : parts.hue[largest][delta][numerator + 255];
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
