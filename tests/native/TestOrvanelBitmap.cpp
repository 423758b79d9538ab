#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Pixel = std::vector<unsigned char>;
using Grid = std::vector<unsigned long>;

// bitmapInfo, row size and buffer must always describe the current size.
void CheckInfo(const COrvanelBitmap& b) {
    const std::int32_t w = static_cast<std::int32_t>(b.GetBitmapWidth());
    const std::int32_t h = static_cast<std::int32_t>(b.GetBitmapHeight());
    const HostBitmapInfoHeader expected{40, w, h, 1, 32, 0, 4u * w * h, 0, 0, 0, 0};
    CHECK(std::memcmp(&b.bitmapInfo.bmiHeader, &expected, sizeof expected) == 0);
    CHECK(b.GetWidthSize() == 4L * w);
    CHECK((b.GetPtBitmap() == nullptr) == (w * h == 0));
}

// Width, height, then every colour in buffer order (bottom row first).
Grid Colors(const COrvanelBitmap& b) {
    Grid grid{b.GetBitmapWidth(), b.GetBitmapHeight()};
    for (int y = 0; y < static_cast<int>(b.GetBitmapHeight()); ++y)
        for (int x = 0; x < static_cast<int>(b.GetBitmapWidth()); ++x)
            grid.push_back(b.GetColorValue(x, y));
    return grid;
}

// Pixel (x, y) holds 10 y + x + 1.
COrvanelBitmap Numbered(int w, int h) {
    COrvanelBitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetColorValue(x, y, static_cast<unsigned long>(10 * y + x + 1));
    return b;
}

} // namespace

TEST_CASE("construction, colour packing and bounds") {
    COrvanelBitmap b(2, 2, 32);
    const unsigned char* p = b.GetPtBitmap(); // pixel (1, 0) at byte 4, (1, 1) at byte 12
    CheckInfo(b);
    CHECK(Pixel(p, p + 16) == Pixel(16, 0));
    for (auto size : {std::vector<int>{0, 5}, {5, -1}, {0x40000000, 1}, {65536, 65536}}) {
        COrvanelBitmap empty(size[0], size[1], 32); // empty rather than a wrapped allocation
        CHECK(Colors(empty) == Grid{0, 0});
        CheckInfo(empty);
    }
    CheckInfo(COrvanelBitmap());

    b.SetColorValue(1, 0, 0x00332211); // red in the lowest byte, blue first in memory
    CHECK(Pixel(p + 4, p + 8) == Pixel{0x33, 0x22, 0x11, 0});
    CHECK(b.GetColorValue(1, 0) == 0x332211);
    b.SetColorValue(2, 0, 0xffffff); // outside: ignored, nothing written past the end
    b.SetColorValue(0, -1, 0xffffff);
    CHECK(b.GetColorValue(-1, 0) + b.GetColorValue(0, 2) == 0);
    b.SetBackgroundColor(0x00ccbbaa, 7);
    CHECK(Pixel(p + 12, p + 16) == Pixel{0xcc, 0xbb, 0xaa, 7});
}

TEST_CASE("SetBitmap copies, flips on request and accepts its own buffer") {
    COrvanelBitmap b;
    SUBCASE("copy survives the source; flip mirrors the rows") {
        for (bool flip : {false, true}) {
            auto source = std::make_unique<COrvanelBitmap>(Numbered(2, 3));
            b.SetBitmap(source->GetPtBitmap(), 2, 3, flip, true);
            source.reset();
            CHECK(Colors(b) == (flip ? Grid{2, 3, 21, 22, 11, 12, 1, 2} : Colors(Numbered(2, 3))));
        }
    }
    SUBCASE("from its own buffer, also smaller and flipped") {
        b = Numbered(3, 2);
        b.SetBitmap(b.GetPtBitmap(), 3, 2, false, true);
        CHECK(Colors(b) == Colors(Numbered(3, 2)));
        b.SetBitmap(b.GetPtBitmap(), 2, 2, true, true); // the first 4 pixels as 2 x 2, flipped
        CHECK(Colors(b) == Grid{2, 2, 3, 11, 1, 2});
    }
    CheckInfo(b);
    b.SetBitmap(nullptr, 3, 2, false, true); // null empties
    CHECK(Colors(b) == Grid{0, 0});
    CheckInfo(b);
}

// Screen pixel (column, row from the top) of a bitmap whose buffer rows run bottom-up.
unsigned long OnScreen(const COrvanelBitmap& b, int column, int row) {
    return b.GetColorValue(column, static_cast<int>(b.GetBitmapHeight()) - 1 - row);
}

TEST_CASE("the print dialog's two calls turn the picture a quarter turn and back") {
    const COrvanelBitmap original = Numbered(5, 3); // every pixel distinct
    COrvanelBitmap b = original, empty;
    CHECK(b.Rotation90() == 1); // the diagonal reflection alone
    CheckInfo(b);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            CHECK(b.GetColorValue(x, y) == original.GetColorValue(y, x));

    CHECK(b.HorzFlipBuf() == 1); // ticked: a true quarter turn, not a mirror image
    REQUIRE((b.GetBitmapWidth() == 3 && b.GetBitmapHeight() == 5));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column) {
            INFO(column << ", " << row);
            // Counter-clockwise on screen: the top row becomes the left column, read upwards.
            CHECK(OnScreen(b, row, 4 - column) == OnScreen(original, column, row));
        }

    b.HorzFlipBuf(); // unticked: back byte for byte
    b.Rotation90();
    CheckInfo(b);
    CHECK(std::memcmp(b.GetPtBitmap(), original.GetPtBitmap(), 5 * 3 * 4) == 0);
    CHECK(Colors(b) == Colors(original));
    CHECK(Colors(original) == Colors(Numbered(5, 3)));

    b = Numbered(4, 2);
    CHECK(b.HorzFlipBuf() == 1);
    CHECK(Colors(b) == Grid{4, 2, 4, 3, 2, 1, 14, 13, 12, 11});
    CHECK(empty.Rotation90() + empty.HorzFlipBuf() == 0);
}
