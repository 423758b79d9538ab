#include "color/HSBColor.h"

#include "color/HueSector.h"

#include <algorithm>

namespace Orvanel::Color {

namespace {

// 1/255 rounded to single precision (a hair above the true value), as the colour values that
// callers have stored over the years were computed with it.
constexpr float kOneOver255 = 0.003921568859368563f;

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
    color = HueSector(hsb.hue).Color(hsb.saturation, hsb.brightness);
}

} // namespace Orvanel::Color
