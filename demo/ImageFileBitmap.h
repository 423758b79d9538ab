#pragma once
// Image files list their rows top-down as RGB; the host bitmap keeps rows bottom-up (buffer row
// 0 is the picture's bottom line) as blue, green, red and a fourth byte. quillet-fx converts
// between the two here for the general-purpose reader (stb) that both quillet-fx and the
// Windows demo use.
#include "host/OrvanelBitmap.h"

#include <cstddef>

namespace QuilletFx {

// Makes bitmap a width x height copy of rgb (3 bytes per pixel, top row first), fourth byte 0.
// False when the host cannot hold a bitmap that large; bitmap is then empty.
inline bool RgbRowsToBitmap(const unsigned char* rgb, int width, int height,
                            COrvanelBitmap& bitmap) {
    bitmap = COrvanelBitmap(width, height, 32);
    unsigned char* pixels = bitmap.GetPtBitmap();
    if (pixels == nullptr)
        return false;
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t stride = static_cast<std::size_t>(bitmap.GetWidthSize());
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const unsigned char* in = rgb + (static_cast<std::size_t>(height) - 1 - y) * w * 3;
        unsigned char* out = pixels + y * stride;
        for (std::size_t x = 0; x < w; ++x, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 0;
        }
    }
    return true;
}

} // namespace QuilletFx
