#include <doctest/doctest.h>

#include <climits>
#include <cstring>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "color/ColorFill.h"
#include "color/HSBColor.h"
#include "host/OrvanelBitmap.h"
#include "native/ColorOracle.h"

using namespace Orvanel::Color;

namespace {

ColorValue Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

std::string Text(const HSBColor& c) {
    return "(" + std::to_string(c.hue) + ", " + std::to_string(c.saturation) + ", " +
           std::to_string(c.brightness) + ")";
}

bool Same(const HSBColor& a, const HSBColor& b) {
    return a.hue == b.hue && a.saturation == b.saturation && a.brightness == b.brightness;
}

ColorValue ToRgb(HSBColor hsb) {
    ColorValue color = 0xDEADBEEF; // every bit must be written
    ConvertHSBToRGB(hsb, color);
    return color;
}

HSBColor ToHsb(ColorValue color, int sentinel = -7777) {
    HSBColor hsb{sentinel, sentinel, sentinel};
    ConvertRGBToHSB(hsb, color);
    return hsb;
}

// The hue the oracle is given for a hue outside 0 ... 359: production wraps it there.
int Wrapped(int hue) { return (hue % 360 + 360) % 360; }

// Sets every byte, the fourth ones included, to 0xA5, so that every byte the fills must write
// is seen to be written.
COrvanelBitmap& Dirty(COrvanelBitmap& bitmap) {
    std::memset(bitmap.GetPtBitmap(), 0xA5,
                static_cast<std::size_t>(bitmap.GetWidthSize()) * bitmap.GetBitmapHeight());
    return bitmap;
}

// Both bitmaps after the fills: equal, with every fourth byte 0. Reports the first difference.
void CheckSameBytes(const COrvanelBitmap& fast, const COrvanelBitmap& oracle,
                    const std::string& what) {
    REQUIRE(fast.GetWidthSize() == oracle.GetWidthSize());
    REQUIRE(fast.GetBitmapHeight() == oracle.GetBitmapHeight());
    const unsigned char* a = fast.GetPtBitmap();
    const unsigned char* b = oracle.GetPtBitmap();
    const std::size_t size = static_cast<std::size_t>(fast.GetWidthSize()) * fast.GetBitmapHeight();
    for (std::size_t i = 0; i < size; ++i) {
        if (a[i] != b[i] || (i % 4 == 3 && a[i] != 0)) {
            const std::size_t pixel = i / 4, width = fast.GetBitmapWidth();
            FAIL_CHECK(what << ": pixel (" << pixel % width << ", " << pixel / width << ") byte "
                            << i % 4 << " is " << int(a[i]) << ", oracle " << int(b[i]));
            return;
        }
    }
}

} // namespace

TEST_CASE("RGB to HSB: worked colours; black writes the brightness only") {
    const std::pair<ColorValue, HSBColor> cases[] = {
        {Rgb(255, 0, 0), {0, 100, 100}},
        {Rgb(0, 255, 0), {120, 100, 100}},
        {Rgb(0, 0, 255), {240, 100, 100}},
        {Rgb(255, 0, 128), {330, 100, 100}},
        {Rgb(255, 128, 0), {30, 100, 100}},
        {Rgb(10, 20, 30), {210, 66, 11}},
        {Rgb(128, 128, 128), {0, 0, 50}},
        {Rgb(255, 255, 255), {0, 0, 100}},
        {Rgb(100, 71, 100) | 0xFF000000, {300, 29, 39}}, // single precision: 29/100 -> 29 in
                                                         // double would be 28.999... -> 28
    };
    for (const auto& [color, expected] : cases)
        CHECK_MESSAGE(Same(ToHsb(color), expected), color << " gave " << Text(ToHsb(color)));

    CHECK(Same(ToHsb(0, 7777), {7777, 7777, 0}));
    CHECK(Same(ToHsb(0xFF000000), {-7777, -7777, 0})); // the top byte is not a colour
    ColorValue color = Rgb(1, 2, 3);
    HSBColor hsb{};
    ConvertRGBToHSB(hsb, color);
    CHECK(color == Rgb(1, 2, 3));
}

TEST_CASE("HSB to RGB: worked records, and any record gives defined bytes") {
    const std::pair<HSBColor, ColorValue> cases[] = {
        {{0, 100, 100}, Rgb(255, 0, 0)},
        {{60, 100, 50}, Rgb(127, 127, 0)},
        {{30, 50, 100}, Rgb(255, 191, 127)},
        {{359, 100, 100}, Rgb(255, 0, 4)},
        {{200, 0, 50}, Rgb(127, 127, 127)},
        {{0, 0, 100}, Rgb(255, 255, 255)},
        {{360 + 30, 50, 100}, Rgb(255, 191, 127)},
        {{-30, 100, 100}, Rgb(255, 0, 127)}, // wrapped to 330
        // Beyond int range: the low 8 bits of the truncated value (2,550,000,000 for red).
        {{0, 100, 1000000000}, Rgb(128, 0, 0)},
        {{0, 0, INT_MAX}, Rgb(99, 99, 99)},
        {{0, 0, INT_MIN}, Rgb(154, 154, 154)},
        {{INT_MIN, INT_MAX, INT_MAX}, Rgb(208, 0, 99)},
        {{INT_MAX, INT_MAX, INT_MIN}, Rgb(176, 154, 208)},
    };
    for (const auto& [hsb, expected] : cases)
        CHECK_MESSAGE(ToRgb(hsb) == expected, Text(hsb) << " gave " << ToRgb(hsb));
}

TEST_CASE("RGB to HSB equals the oracle on every colour, black leaving the record alone") {
    constexpr int kSentinel = -123456;
    for (ColorValue color = 0; color <= 0xFFFFFF; ++color) {
        HSBColor expected{kSentinel, kSentinel, kSentinel};
        ColorOracle::RGBToHSB(expected, color);
        const HSBColor got = ToHsb(color, kSentinel);
        if (!Same(got, expected)) {
            FAIL_CHECK(color << " gave " << Text(got) << ", oracle " << Text(expected));
            break;
        }
    }
}

TEST_CASE("HSB to RGB equals the oracle for hues 0 ... 719; other hues wrap into 0 ... 359") {
    bool failed = false;
    const auto agrees = [&failed](const HSBColor& hsb) {
        ColorValue expected = 0;
        const bool defined =
            ColorOracle::HSBToRGB({Wrapped(hsb.hue), hsb.saturation, hsb.brightness}, expected);
        if (!defined || ToRgb(hsb) != expected) {
            FAIL_CHECK(Text(hsb) << " gave " << ToRgb(hsb) << ", oracle " << expected);
            failed = true;
        }
        return !failed;
    };
    std::vector<int> hues;
    for (int hue = 0; hue < 720; ++hue)
        hues.push_back(hue);
    hues.insert(hues.end(), {-1, -29, -59, -60, -61, -180, -359, -360, -361, -719, -720, -100000,
                             INT_MIN, INT_MIN + 1, 1000003, INT_MAX});
    for (const int hue : hues)
        for (int saturation = 0; saturation <= 100 && !failed; ++saturation)
            for (int brightness = 0; brightness <= 100 && agrees({hue, saturation, brightness});)
                ++brightness;
    // Saturations and brightnesses above 100, which matrices that are not square produce.
    for (int hue = 0; hue < 360 && !failed; hue += 7)
        for (int saturation = 90; saturation <= 400 && !failed; saturation += 3)
            for (int brightness = 90; brightness <= 400 && agrees({hue, saturation, brightness});)
                brightness += 2;
}

TEST_CASE("the hue strip: worked rows, and the oracle's bytes at any size") {
    COrvanelBitmap strip(28, 258, 32);
    FillColorGradient(&Dirty(strip));
    const std::pair<int, ColorValue> rows[] = {
        {0, Rgb(255, 0, 0)},     {43, Rgb(255, 255, 0)}, {86, Rgb(0, 255, 0)},
        {129, Rgb(0, 255, 255)}, {172, Rgb(0, 0, 255)},  {215, Rgb(255, 0, 255)},
        {257, Rgb(255, 0, 8)},
    };
    for (const auto& [row, color] : rows)
        for (int x : {0, 27})
            CHECK_MESSAGE(strip.GetColorValue(x, row) == color, "row " << row);

    for (const auto& [width, height] : std::initializer_list<std::pair<int, int>>{
             {28, 258}, {1, 1}, {5, 1}, {3, 7}, {1, 1000}, {10, 361}, {2, 720}, {300, 200}}) {
        COrvanelBitmap fast(width, height, 32), oracle(width, height, 32);
        FillColorGradient(&Dirty(fast));
        ColorOracle::FillGradient(&Dirty(oracle));
        CheckSameBytes(fast, oracle, std::to_string(width) + "x" + std::to_string(height));
    }
}

TEST_CASE("the swatch is one colour; the top byte of the value is ignored") {
    for (const ColorValue color : {0x000000ul, 0x123456ul, 0xFFFFFFul, 0xFF00FF80ul}) {
        for (const auto& [width, height] :
             std::initializer_list<std::pair<int, int>>{{50, 50}, {1, 1}, {3, 7}, {7, 3}}) {
            COrvanelBitmap fast(width, height, 32), oracle(width, height, 32);
            FillColorBox(&Dirty(fast), color);
            ColorOracle::FillBox(&Dirty(oracle), color);
            CheckSameBytes(fast, oracle, std::to_string(color));
        }
    }
}

TEST_CASE("the saturation/brightness square: the oracle's bytes at every hue and many sizes") {
    COrvanelBitmap matrix(258, 258, 32);
    int hue = 200;
    FillColorMatrix(&Dirty(matrix), hue);
    // Columns 0 to 2 grey, row 257 brightness 99, column 257 saturation 99.
    CHECK(matrix.GetColorValue(2, 100) == ToRgb({200, 0, 38}));
    CHECK(matrix.GetColorValue(3, 100) == ToRgb({200, 1, 38}));
    CHECK(matrix.GetColorValue(129, 257) == ToRgb({200, 50, 99}));
    CHECK(matrix.GetColorValue(257, 257) == ToRgb({200, 99, 99}));

    COrvanelBitmap oracle(258, 258, 32);
    for (hue = 0; hue <= 360; ++hue) {
        FillColorMatrix(&Dirty(matrix), hue);
        ColorOracle::FillMatrix(&Dirty(oracle), hue);
        CheckSameBytes(matrix, oracle, "hue " + std::to_string(hue));
    }
    // Sizes where the swapped divisors show; runs of one column; heights whose runs end exactly
    // on a column and heights whose run ends are one past a multiple of 100 (101, 257, 333);
    // saturations and brightnesses above 100.
    const std::pair<int, int> sizes[] = {
        {1, 1},     {1, 258},   {258, 1},    {3, 7},     {7, 3},
        {300, 200}, {200, 300}, {500, 500},  {100, 100}, {101, 99},
        {99, 101},  {300, 257}, {1000, 333}, {1000, 37}, {37, 1000},
    };
    for (const auto& [width, height] : sizes) {
        COrvanelBitmap fast(width, height, 32), expected(width, height, 32);
        for (const int matrixHue :
             {0, 1, 59, 60, 179, 300, 359, 360, 720, -1, -60, -359, INT_MIN, INT_MAX}) {
            hue = matrixHue;
            FillColorMatrix(&Dirty(fast), hue);
            ColorOracle::FillMatrix(&Dirty(expected), Wrapped(matrixHue));
            CheckSameBytes(fast, expected,
                           std::to_string(width) + "x" + std::to_string(height) + " hue " +
                               std::to_string(matrixHue));
        }
    }
}

TEST_CASE("a bitmap without pixels is left alone by every fill") {
    COrvanelBitmap empty;
    REQUIRE(empty.GetPtBitmap() == nullptr);
    int hue = 10;
    FillColorBox(&empty, 0x123456);
    FillColorGradient(&empty);
    FillColorMatrix(&empty, hue);
    CHECK(empty.GetPtBitmap() == nullptr);
    CHECK(empty.GetBitmapWidth() == 0);
    CHECK(empty.GetBitmapHeight() == 0);
    CHECK(hue == 10);
}
