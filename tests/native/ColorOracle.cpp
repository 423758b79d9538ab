#include "native/ColorOracle.h"

#include "host/OrvanelBitmap.h"

namespace ColorOracle {

void RGBToHSB(HSBColor& hsb, ColorValue color) {
    float r = (float)(color & 0xFF);
    float g = (float)((color >> 8) & 0xFF);
    float b = (float)((color >> 16) & 0xFF);
    float max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    float min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    float delta = max - min;

    hsb.brightness = (int)((max * 100.0f) * 0.003921568859368563f);
    if (!(max > 0.0f))
        return;
    hsb.saturation = (int)((delta / max) * 100.0f);
    float h = 0.0f;
    if (delta > 0.0f) {
        if (max == r)
            h = (g - b) / delta;
        else if (max == g)
            h = (b - r) / delta + 2.0f;
        else
            h = (r - g) / delta + 4.0f;
    }
    hsb.hue = (int)(h * 60.0f);
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
