#include <doctest/doctest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "color/ColorFill.h"
#include "color/HSBColor.h"
#include "host/OrvanelBitmap.h"
#include "native/ColorOracle.h"

using namespace Orvanel::Color;

namespace {

ColorValue Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

ColorValue ToRgb(HSBColor hsb) {
    ColorValue color = 0xDEADBEEF; // every bit must be written
    ConvertHSBToRGB(hsb, color);
    return color;
}

std::string Text(const HSBColor& c) {
    return std::to_string(c.hue) + ", " + std::to_string(c.saturation) + ", " +
           std::to_string(c.brightness);
}

// The hue the oracle is given for a hue outside 0 ... 359: production wraps it there.
int Wrapped(int hue) { return (hue % 360 + 360) % 360; }

// Paints two bitmaps of 0xA5 bytes, one each way, and checks that they came out the same: so
// every byte the oracle writes, the fourth of each pixel included, is written alike.
template <class Fast, class Slow>
void CheckFill(const std::string& what, COrvanelBitmap& a, COrvanelBitmap& b, Fast fast,
               Slow slow) {
    unsigned char *p = a.GetPtBitmap(), *q = b.GetPtBitmap();
    const std::size_t size = static_cast<std::size_t>(a.GetWidthSize()) * a.GetBitmapHeight();
    std::memset(p, 0xA5, size);
    std::memset(q, 0xA5, size);
    fast(&a);
    slow(&b);
    const std::size_t i = std::mismatch(p, p + size, q).first - p;
    CHECK_MESSAGE(i == size, what << " " << a.GetBitmapWidth() << "x" << a.GetBitmapHeight()
                                  << ": byte " << i << " differs");
}

} // namespace

TEST_CASE("the colour model: worked values both ways, every colour, records out of range") {
    const int cases[][6] = {
        // red, green, blue -> hue, saturation, brightness; black writes the brightness alone.
        {255, 0, 0, 0, 100, 100},     {0, 255, 0, 120, 100, 100},  {0, 0, 255, 240, 100, 100},
        {255, 0, 128, 330, 100, 100}, {255, 128, 0, 30, 100, 100}, {10, 20, 30, 210, 66, 11},
        {128, 128, 128, 0, 0, 50},    {255, 255, 255, 0, 0, 100},  {0, 0, 0, -7, -7, 0},
    };
    for (const auto& c : cases) {
        HSBColor got{-7, -7, -7};
        ColorValue color = Rgb(c[0], c[1], c[2]);
        ConvertRGBToHSB(got, color);
        CHECK(Text(got) == Text({c[3], c[4], c[5]}));
    }
    for (ColorValue color = 0; color <= 0xFFFFFF; ++color) {
        HSBColor expected{-7, -7, -7}, got{-7, -7, -7};
        ColorOracle::RGBToHSB(expected, color);
        ColorValue given = color | 0xA5000000; // the top byte is no colour, nor written
        ConvertRGBToHSB(got, given);
        if (std::memcmp(&got, &expected, sizeof got) != 0 || given != (color | 0xA5000000))
            FAIL(color << " gave " << Text(got) << ", exactly " << Text(expected));
    }

    constexpr int kMax = INT_MAX, kMin = INT_MIN;
    const int records[][6] = {
        // hue, saturation, brightness -> red, green, blue; beyond int range, the low 8 bits of
        // the truncated value (2,550,000,000 for the first red).
        {0, 100, 100, 255, 0, 0},          {60, 100, 50, 127, 127, 0},
        {30, 50, 100, 255, 191, 127},      {359, 100, 100, 255, 0, 4},
        {200, 0, 50, 127, 127, 127},       {0, 0, 100, 255, 255, 255},
        {0, 100, 1000000000, 128, 0, 0},   {0, 0, kMax, 99, 99, 99},
        {0, 0, kMin, 154, 154, 154},       {kMin, kMax, kMax, 208, 0, 99},
        {kMax, kMax, kMin, 176, 154, 208},
    };
    for (const auto& c : records)
        CHECK_MESSAGE(ToRgb({c[0], c[1], c[2]}) == Rgb(c[3], c[4], c[5]),
                      "record " << c[0] << ", " << c[1] << ", " << c[2]);

    // Hues 360 ... 719 and negative ones wrap into 0 ... 359.
    for (int hue = -361; hue < 720; ++hue)
        for (int saturation = 0; saturation <= 100; ++saturation)
            for (int brightness = 0; brightness <= 100; ++brightness) {
                const HSBColor hsb{hue, saturation, brightness};
                ColorValue expected = 0;
                if (!ColorOracle::HSBToRGB({Wrapped(hue), saturation, brightness}, expected) ||
                    ToRgb(hsb) != expected)
                    FAIL(Text(hsb) << " gave " << ToRgb(hsb) << ", oracle " << expected);
            }
}

TEST_CASE("the picker's bitmaps: worked rows and points, the oracle's bytes at many sizes") {
    COrvanelBitmap strip(28, 258, 32), matrix(258, 258, 32), empty;
    FillColorGradient(&strip);
    int hue = 200;
    FillColorMatrix(&matrix, hue);
    // Strip rows in hues 0, 60, ..., 300, 358; square columns 0 to 2 grey, column 257
    // saturation 99, row 257 brightness 99 (row 100: 38).
    const struct {
        const COrvanelBitmap& bitmap;
        int x, y;
        ColorValue color;
    } points[] = {
        {strip, 0, 0, Rgb(255, 0, 0)},        {strip, 27, 43, Rgb(255, 255, 0)},
        {strip, 0, 86, Rgb(0, 255, 0)},       {strip, 27, 129, Rgb(0, 255, 255)},
        {strip, 0, 172, Rgb(0, 0, 255)},      {strip, 27, 215, Rgb(255, 0, 255)},
        {strip, 0, 257, Rgb(255, 0, 8)},      {matrix, 2, 100, Rgb(96, 96, 96)},
        {matrix, 3, 100, Rgb(95, 96, 96)},    {matrix, 129, 257, Rgb(126, 210, 252)},
        {matrix, 257, 257, Rgb(2, 169, 252)},
    };
    for (const auto& p : points)
        CHECK_MESSAGE(p.bitmap.GetColorValue(p.x, p.y) == p.color, "point " << p.x << ", " << p.y);
    // One without pixels is left alone.
    FillColorBox(&empty, 0x123456);
    FillColorGradient(&empty);
    FillColorMatrix(&empty, hue);
    CHECK((empty.GetPtBitmap() == nullptr && empty.GetBitmapWidth() == 0 && hue == 200));

    // The picker's sizes; others show the square's swapped divisors, runs of one column, runs
    // ending on a column or one past a multiple of 100 (heights 101, 257, 333), values over 100.
    const std::pair<int, int> sizes[] = {
        {258, 258}, {28, 258}, {50, 50},  {1, 1},     {5, 1},      {1, 1000},  {10, 361},
        {2, 720},   {1, 258},  {258, 1},  {3, 7},     {7, 3},      {300, 200}, {200, 300},
        {100, 100}, {101, 99}, {99, 101}, {300, 257}, {1000, 333}, {1000, 37}, {37, 1000}};
    // The square at the picker's size in every hue, elsewhere in hues of each sector and wrapped.
    const int hues[] = {0, 1, 59, 60, 179, 300, 359, 360, 720, -1, -60, -359, INT_MIN, INT_MAX};
    for (const auto& [width, height] : sizes) {
        COrvanelBitmap a(width, height, 32), b(width, height, 32);
        CheckFill("strip", a, b, FillColorGradient, ColorOracle::FillGradient);
        for (const ColorValue color : {0x000000ul, 0x123456ul, 0xFFFFFFul, 0xFF00FF80ul})
            CheckFill(
                "swatch", a, b, [&](auto m) { FillColorBox(m, color); },
                [&](auto m) { ColorOracle::FillBox(m, color); });
        const bool picker = width == 258 && height == 258;
        for (int i = 0; i < (picker ? 361 : int(std::size(hues))); ++i) {
            int h = picker ? i : hues[i];
            CheckFill(
                "square at hue " + std::to_string(h), a, b, [&](auto m) { FillColorMatrix(m, h); },
                [&](auto m) { ColorOracle::FillMatrix(m, Wrapped(h)); });
        }
    }
}
