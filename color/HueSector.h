#pragma once
// The hue/saturation/brightness to colour conversion, split at the hue: the sector and its
// fraction depend on the hue alone, so a caller converting many records of one hue (the colour
// matrix) works them out once. Inline so that such a caller's loop carries no call per colour.
#include "color/HSBColor.h"

#include <cstdint>

namespace Orvanel::Color {

class HueSector {
public:
    // Hues come in 0 ... 359 from the picker and the lens flare. Any other hue is taken modulo
    // 360 (C++'s remainder, so 360 ... 719 land on 0 ... 359), and a negative remainder is then
    // wrapped into 0 ... 359 too (-30 is 330), so that one of the six sectors always applies.
    explicit HueSector(int hue) {
        int h = hue % 360;
        if (h < 0)
            h += 360;
        const double x = h * 0.016666666666666666;
        sector_ = static_cast<int>(x); // below 6, h being below 360
        fraction_ = x - sector_;
    }

    // In double precision; the products formed left to right exactly as written, since any
    // other grouping rounds differently.
    ColorValue Color(int saturation, int brightness) const {
        if (saturation < 1) {
            // 64-bit so that no brightness overflows; the same as int arithmetic otherwise.
            const ColorValue grey =
                static_cast<ColorValue>(static_cast<std::int64_t>(brightness) * 255 / 100 & 0xFF);
            return Pack(grey, grey, grey);
        }
        const double f = fraction_;
        const double V = brightness * 0.01;
        const double S = saturation * 0.01;
        const ColorValue v = TruncatedLowByte(V * 255.0);
        const ColorValue p = TruncatedLowByte((1.0 - S) * V * 255.0);
        const ColorValue q = TruncatedLowByte((1.0 - f * S) * V * 255.0);
        const ColorValue t = TruncatedLowByte((1.0 - (1.0 - f) * S) * V * 255.0);
        switch (sector_) {
        case 0:
            return Pack(v, t, p);
        case 1:
            return Pack(q, v, p);
        case 2:
            return Pack(p, v, t);
        case 3:
            return Pack(p, q, v);
        case 4:
            return Pack(t, p, v);
        default:
            return Pack(v, p, q);
        }
    }

private:
    // Truncation toward zero, then the low 8 bits. The truncation goes through a 64-bit
    // integer: from int fields the products stay under 1.2e17 in magnitude, so even a record
    // far out of range gives defined bytes (the low 8 bits of the true integer), and inside int
    // range the result is the same as truncating to int.
    static ColorValue TruncatedLowByte(double value) {
        return static_cast<ColorValue>(static_cast<std::int64_t>(value) & 0xFF);
    }

    static ColorValue Pack(ColorValue red, ColorValue green, ColorValue blue) {
        return red | (green << 8) | (blue << 16);
    }

    int sector_;
    double fraction_;
};

} // namespace Orvanel::Color
