#pragma once
// Image files list their rows top-down as RGB; the host bitmap keeps rows bottom-up (buffer row
// 0 is the picture's bottom line) as blue, green, red and a fourth byte. The general-purpose
// reader (stb) that both quillet-fx and the Windows demo use decodes to RGB rows, which are
// converted here.
#include "host/OrvanelBitmap.h"

#include <cstddef>

namespace QuilletFx {

// Copies rgb (3 bytes per pixel, top row first, as many pixels as the bitmap has) into the
// bitmap, fourth byte 0. False for a bitmap without pixels.
inline bool CopyRgbRows(const unsigned char* rgb, COrvanelBitmap& bitmap) {
    unsigned char* pixels = bitmap.GetPtBitmap();
    if (pixels == nullptr)
        return false;
    const std::size_t w = bitmap.GetBitmapWidth();
    const std::size_t h = bitmap.GetBitmapHeight();
    const std::size_t stride = static_cast<std::size_t>(bitmap.GetWidthSize());
    for (std::size_t y = 0; y < h; ++y) {
        const unsigned char* in = rgb + (h - 1 - y) * w * 3;
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
