#pragma once
// What the image file readers and writers of quillet-fx share: the host's pixel layout as a
// view for the writers, and the in-place row conversions the readers use to turn a file's row
// into a bitmap row without a second full-size buffer.
#include "host/OrvanelBitmap.h"

#include <cstddef>
#include <optional>
#include <string>

namespace QuilletFx {

// Pixels as the host keeps them: 4 bytes per pixel (blue, green, red, fourth byte), rows
// bottom-up (row 0 is the picture's bottom line), `stride` bytes apart.
struct PixelRows {
    const unsigned char* pixels;
    std::ptrdiff_t stride;
    int width;
    int height;

    // Row y counted from the top of the picture, the order image files list their rows in.
    const unsigned char* FromTop(int y) const {
        return pixels + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
    }
};

// The rows of a bitmap that has pixels.
PixelRows RowsOf(const COrvanelBitmap& bitmap);

// The buffer row of a bitmap that holds row y counted from the picture's top.
unsigned char* BitmapRowFromTop(COrvanelBitmap& bitmap, int y);

enum class ReadResult {
    Done,
    Failed,      // the error text says why
    Unsupported, // a variant of the format this reader leaves to the general-purpose one
};

// A picture read from a file. The bitmap is built in place once its size is known: the
// bitmap has no move, and assigning a new one would copy all of its pixels.
using Picture = std::optional<COrvanelBitmap>;

// Makes picture a width x height 32-bit bitmap; false with a reason when the sides are not
// positive or the host cannot hold that many pixels.
bool AllocateBitmap(long long width, long long height, Picture& picture, std::string& error);

// In-place widenings of one row to blue, green, red, 0. The row holds `width` pixels of the
// narrower layout at its start and has room for 4 x width bytes; they run from the last pixel
// back so that no pixel is overwritten before it is read.
void WidenRgbRow(unsigned char* row, int width);
void WidenBgrRow(unsigned char* row, int width);
void WidenGrayRow(unsigned char* row, int width);
// Sets the fourth byte of every pixel to 0 (decoders that leave it undefined or hold alpha).
void ClearFourthBytes(unsigned char* row, int width);
// Blue, green, red, fourth byte into red, green, blue, or into blue, green, red.
void NarrowToRgb(const unsigned char* in, int width, unsigned char* out);
void NarrowToBgr(const unsigned char* in, int width, unsigned char* out);

} // namespace QuilletFx
