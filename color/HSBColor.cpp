#include "color/HSBColor.h"

#include <algorithm>
#include <cstdint>

namespace Orvanel::Color {

namespace {

// 1/255 rounded to single precision (a hair above the true value), as the colour values that
// callers have stored over the years were computed with it.
constexpr float kOneOver255 = 0.003921568859368563f;

// Truncation toward zero, then the low 8 bits. The truncation goes through a 64-bit integer:
// from int fields the products below stay under 1.2e17 in magnitude, so even a record far out of
// range gives defined bytes (the low 8 bits of the true integer), and inside int range the
// result is the same as truncating to int.
ColorValue TruncatedLowByte(double value) {
    return static_cast<ColorValue>(static_cast<std::int64_t>(value) & 0xFF);
}

ColorValue Pack(ColorValue red, ColorValue green, ColorValue blue) {
    return red | (green << 8) | (blue << 16);
}

} // namespace

void ConvertRGBToHSB(HSBColor& hsb, ColorValue& color) {
    const float r = static_cast<float>(color & 0xFF);
    const float g = static_cast<float>((color >> 8) & 0xFF);
    const float b = static_cast<float>((color >> 16) & 0xFF);
    const float max = r > g ? std::max(r, b) : std::max(g, b);
    const float min = std::min(std::min(r, g), b);
    const float delta = max - min;

    // Written before the black check: black sets the brightness and nothing else.
    hsb.brightness = static_cast<int>(max * 100.0f * kOneOver255);
    if (!(max > 0.0f))
        return;

    hsb.saturation = static_cast<int>(delta / max * 100.0f);
    float h = 0.0f;
    if (delta > 0.0f) {
        if (max == r)
            h = (g - b) / delta;
        else if (max == g)
            h = (b - r) / delta + 2.0f;
        else
            h = (r - g) / delta + 4.0f;
    }
    int hue = static_cast<int>(h * 60.0f);
    if (hue < 0)
        hue += 360;
    hsb.hue = hue;
}

void ConvertHSBToRGB(HSBColor& hsb, ColorValue& color) {
    if (hsb.saturation < 1) {
        // 64-bit so that no brightness overflows; the same as int arithmetic for sane records.
        const ColorValue grey =
            static_cast<ColorValue>(static_cast<std::int64_t>(hsb.brightness) * 255 / 100 & 0xFF);
        color = Pack(grey, grey, grey);
        return;
    }

    // Hues come in 0 ... 359 from the picker and the lens flare. Any other hue is first taken
    // modulo 360 (C++'s remainder, so 360 ... 719 land on 0 ... 359); a negative hue is then
    // wrapped into 0 ... 359 too (-30 is 330), so that one of the six sectors always applies.
    int h = hsb.hue % 360;
    if (h < 0)
        h += 360;
    const double x = h * 0.016666666666666666;
    const int sector = static_cast<int>(x);
    const double f = x - sector;
    const double V = hsb.brightness * 0.01;
    const double S = hsb.saturation * 0.01;
    // Products left to right, exactly in this order: other groupings round differently.
    const ColorValue v = TruncatedLowByte(V * 255.0);
    const ColorValue p = TruncatedLowByte((1.0 - S) * V * 255.0);
    const ColorValue q = TruncatedLowByte((1.0 - f * S) * V * 255.0);
    const ColorValue t = TruncatedLowByte((1.0 - (1.0 - f) * S) * V * 255.0);
    switch (sector) {
    case 0:
        color = Pack(v, t, p);
        break;
    case 1:
        color = Pack(q, v, p);
        break;
    case 2:
        color = Pack(p, v, t);
        break;
    case 3:
        color = Pack(p, q, v);
        break;
    case 4:
        color = Pack(t, p, v);
        break;
    default: // 5: h is below 360, so x stays below 6
        color = Pack(v, p, q);
        break;
    }
}

} // namespace Orvanel::Color
