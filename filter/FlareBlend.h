#pragma once
#include "color/HSBColor.h"

namespace Orvanel::Filter {

// One translucent blend of the lens flare: each channel becomes
// trunc(old x keep + colour x (1 - keep)) in single precision, low 8 bits kept, and the fourth
// byte 0, exactly what the host's SetColorValue leaves. The colour's share is multiplied out
// once: the same single-precision product the per-pixel formula forms, so the bytes match.
class CFlareBlend {
public:
    CFlareBlend(Color::ColorValue color, float keep) : keep_(keep) {
        const float other = 1.0f - keep;
        blue_ = static_cast<float>((color >> 16) & 0xFF) * other;
        green_ = static_cast<float>((color >> 8) & 0xFF) * other;
        red_ = static_cast<float>(color & 0xFF) * other;
    }

    // p points at a pixel of the buffer: blue, green, red, fourth byte.
    void Apply(unsigned char* p) const {
        p[0] = Channel(p[0], blue_);
        p[1] = Channel(p[1], green_);
        p[2] = Channel(p[2], red_);
        p[3] = 0;
    }

private:
    unsigned char Channel(unsigned char old, float share) const {
        return static_cast<unsigned char>(
            static_cast<int>(static_cast<float>(old) * keep_ + share));
    }

    float keep_;
    float blue_;
    float green_;
    float red_;
};

} // namespace Orvanel::Filter
