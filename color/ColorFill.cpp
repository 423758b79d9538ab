#include "color/ColorFill.h"

#include "color/HueSector.h"

#include "host/OrvanelBitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Orvanel::Color {

namespace {

// The four bytes of a pixel for a colour: blue, green, red, then 0.
struct Pixel {
    unsigned char bytes[4];

    explicit Pixel(ColorValue color)
        : bytes{static_cast<unsigned char>(color >> 16), static_cast<unsigned char>(color >> 8),
                static_cast<unsigned char>(color), 0} {}

    void Fill(unsigned char* first, std::size_t count) const {
        for (std::size_t i = 0; i < count; ++i)
            std::memcpy(first + 4 * i, bytes, 4);
    }
};

ColorValue ColorOf(int hue, int saturation, int brightness) {
    return HueSector(hue).Color(saturation, brightness);
}

// Paints one row of the matrix: column x in saturation (x x 100) / height.
//
// At least 100 rows high (and the row short enough for x x 100 to stay within 32 bits, which
// every such bitmap is), every saturation from 0 up is taken by a run of at least one column:
// the run of s is x x 100 in [s x height, (s + 1) x height), that is x from
// ceil(s x height / 100) up to ceil((s + 1) x height / 100). Walking the saturations needs no
// division by the height, and one run's colour does not wait for the previous run's end.
//
// Lower bitmaps give each column a saturation of its own (100 / height is at least 1 apart),
// except where x x 100 wraps around 32 bits on rows of over 42 million pixels: there the
// saturation is taken column by column, and converted only where it changes.
void FillMatrixRow(unsigned char* row, unsigned int width, unsigned int height,
                   const HueSector& hue, int brightness) {
    const bool productWraps = static_cast<std::uint64_t>(width - 1) * 100u > 0xFFFFFFFFu;
    if (height >= 100 && !productWraps) {
        unsigned int x = 0;
        for (std::uint64_t saturation = 0; x < width; ++saturation) {
            const std::uint64_t end = ((saturation + 1) * height + 99) / 100;
            const unsigned int runEnd =
                static_cast<unsigned int>(std::min<std::uint64_t>(width, end));
            Pixel(hue.Color(static_cast<int>(saturation), brightness))
                .Fill(row + 4 * static_cast<std::size_t>(x), runEnd - x);
            x = runEnd;
        }
        return;
    }
    bool converted = false;
    unsigned int convertedSaturation = 0;
    Pixel pixel(0);
    for (unsigned int x = 0; x < width; ++x) {
        const unsigned int saturation = (x * 100u) / height;
        if (!converted || saturation != convertedSaturation) {
            pixel = Pixel(hue.Color(static_cast<int>(saturation), brightness));
            convertedSaturation = saturation;
            converted = true;
        }
        pixel.Fill(row + 4 * static_cast<std::size_t>(x), 1);
    }
}

// Paints each row (buffer order, rows a stride apart) in one colour, rowPixel(y); a bitmap
// without pixels or rows is left alone.
template <typename RowPixel> void FillRows(COrvanelBitmap* bitmap, RowPixel rowPixel) {
    unsigned char* pixels = bitmap->GetPtBitmap();
    const unsigned int width = bitmap->GetBitmapWidth();
    const unsigned int height = bitmap->GetBitmapHeight();
    if (pixels == nullptr || height == 0)
        return;
    const std::ptrdiff_t stride = bitmap->GetWidthSize();
    for (unsigned int y = 0; y < height; ++y)
        rowPixel(y).Fill(pixels + static_cast<std::ptrdiff_t>(y) * stride, width);
}

} // namespace

void FillColorBox(COrvanelBitmap* bitmap, ColorValue color) {
    const Pixel pixel(color);
    FillRows(bitmap, [&pixel](unsigned int) { return pixel; });
}

void FillColorGradient(COrvanelBitmap* bitmap) {
    const unsigned int height = bitmap->GetBitmapHeight();
    FillRows(bitmap, [height](unsigned int y) {
        // Unsigned 32-bit like the bitmap's sizes: for rows past 11.9 million the product
        // wraps, and the hue follows it.
        const unsigned int hue = (y * 360u) / height;
        return Pixel(ColorOf(static_cast<int>(hue), 100, 100));
    });
}

// The picker repaints this square on every step of its hue slider, so it must take well under
// a frame. Saturation and brightness take only about 100 values each: a row whose brightness
// equals the previous row's is a copy of it, and within a row each run of columns of one
// saturation is converted once. The rows are packed, 4 x width bytes apart, whatever the
// bitmap's stride (the same for every 32-bit bitmap).
void FillColorMatrix(COrvanelBitmap* bitmap, int& hue) {
    unsigned char* pixels = bitmap->GetPtBitmap();
    const unsigned int width = bitmap->GetBitmapWidth();
    const unsigned int height = bitmap->GetBitmapHeight();
    // A row needs a width to divide by; with none there is nothing to write either.
    if (pixels == nullptr || height == 0 || width == 0)
        return;
    const HueSector matrixHue(hue);
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
    const unsigned char* previousRow = nullptr;
    unsigned int previousBrightness = 0;
    for (unsigned int y = 0; y < height; ++y) {
        unsigned char* row = pixels + y * rowBytes;
        // Divided by the width, and the saturation by the height: swapped, which a square
        // bitmap does not show, but other sizes keep it.
        const unsigned int brightness = (y * 100u) / width;
        if (previousRow != nullptr && brightness == previousBrightness)
            std::memcpy(row, previousRow, rowBytes);
        else
            FillMatrixRow(row, width, height, matrixHue, static_cast<int>(brightness));
        previousRow = row;
        previousBrightness = brightness;
    }
}

} // namespace Orvanel::Color
