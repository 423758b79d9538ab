#include "fx/ImageRows.h"

#include "host/OrvanelBitmap.h"

namespace QuilletFx {

PixelRows RowsOf(const COrvanelBitmap& bitmap) {
    return PixelRows{bitmap.GetPtBitmap(), bitmap.GetWidthSize(),
                     static_cast<int>(bitmap.GetBitmapWidth()),
                     static_cast<int>(bitmap.GetBitmapHeight())};
}

unsigned char* BitmapRowFromTop(COrvanelBitmap& bitmap, int y) {
    const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(bitmap.GetBitmapHeight()) - 1 - y;
    return bitmap.GetPtBitmap() + row * bitmap.GetWidthSize();
}

bool AllocateBitmap(long long width, long long height, Picture& picture, std::string& error) {
    const long long side = 0x7fffffff;
    if (width < 1 || height < 1 || width > side || height > side) {
        error = "the image has no pixels or impossible sides (" + std::to_string(width) + " x " +
                std::to_string(height) + ")";
        return false;
    }
    picture.emplace(static_cast<int>(width), static_cast<int>(height), 32);
    if (picture->GetPtBitmap() == nullptr) {
        picture.reset();
        error = "the image is too large (" + std::to_string(width) + " x " +
                std::to_string(height) + " pixels; a bitmap holds at most 2 GB)";
        return false;
    }
    return true;
}

namespace {

// Three bytes a pixel, red at byte `red` and blue at the other end, widened in place.
template <int red> void WidenThreeByteRow(unsigned char* row, int width) {
    for (int x = width - 1; x >= 0; --x) {
        const unsigned char* in = row + 3 * x;
        unsigned char* out = row + 4 * x;
        const unsigned char redByte = in[red], green = in[1], blue = in[2 - red];
        out[0] = blue;
        out[1] = green;
        out[2] = redByte;
        out[3] = 0;
    }
}

} // namespace

void WidenRgbRow(unsigned char* row, int width) { WidenThreeByteRow<0>(row, width); }

void WidenBgrRow(unsigned char* row, int width) { WidenThreeByteRow<2>(row, width); }

void WidenGrayRow(unsigned char* row, int width) {
    for (int x = width - 1; x >= 0; --x) {
        const unsigned char gray = row[x];
        unsigned char* out = row + 4 * x;
        out[0] = gray;
        out[1] = gray;
        out[2] = gray;
        out[3] = 0;
    }
}

void ClearFourthBytes(unsigned char* row, int width) {
    for (int x = 0; x < width; ++x)
        row[4 * x + 3] = 0;
}

void NarrowToRgb(const unsigned char* in, int width, unsigned char* out) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void NarrowToBgr(const unsigned char* in, int width, unsigned char* out) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

} // namespace QuilletFx
