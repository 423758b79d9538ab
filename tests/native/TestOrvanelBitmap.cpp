#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void CheckInfo(const COrvanelBitmap& b) {
    const std::int32_t w = static_cast<std::int32_t>(b.GetBitmapWidth());
    const std::int32_t h = static_cast<std::int32_t>(b.GetBitmapHeight());
    const HostBitmapInfoHeader expected{40, w, h, 1, 32, 0, 4u * w * h, 0, 0, 0, 0};
    CHECK(std::memcmp(&b.bitmapInfo.bmiHeader, &expected, sizeof expected) == 0);
    CHECK(b.GetWidthSize() == 4L * w);
    CHECK((b.GetPtBitmap() == nullptr) == (w * h == 0));
}

// Every pixel different, so that any misplaced pixel shows.
COrvanelBitmap Numbered(int w, int h) {
    COrvanelBitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetColorValue(x, y, static_cast<unsigned long>(y * 1000 + x + 1));
    return b;
}

bool Same(const COrvanelBitmap& a, const COrvanelBitmap& b) {
    return a.GetBitmapWidth() == b.GetBitmapWidth() && a.GetBitmapHeight() == b.GetBitmapHeight() &&
           std::memcmp(a.GetPtBitmap(), b.GetPtBitmap(),
                       4u * a.GetBitmapWidth() * a.GetBitmapHeight()) == 0;
}

std::vector<unsigned char> Bytes(const COrvanelBitmap& b, int x, int y) {
    const unsigned char* p = b.GetPtBitmap() + y * b.GetWidthSize() + 4 * x;
    return {p, p + 4};
}

} // namespace

TEST_CASE("construction: zero-filled, or empty rather than a wrapped allocation") {
    COrvanelBitmap b(3, 2, 32);
    CheckInfo(b);
    CHECK(Bytes(b, 2, 1) == std::vector<unsigned char>(4, 0));
    for (auto size : {std::vector<int>{0, 5}, {5, -1}, {0x40000000, 1}, {65536, 65536}}) {
        COrvanelBitmap empty(size[0], size[1], 32);
        CHECK(empty.GetBitmapWidth() == 0);
        CheckInfo(empty);
    }
    CheckInfo(COrvanelBitmap());
}

TEST_CASE("colour packing: red in the lowest byte, blue first in memory; bounds") {
    COrvanelBitmap b(2, 2, 32);
    b.SetColorValue(1, 0, 0x00332211);
    CHECK(Bytes(b, 1, 0) == std::vector<unsigned char>{0x33, 0x22, 0x11, 0});
    CHECK(b.GetColorValue(1, 0) == 0x332211);
    b.SetColorValue(2, 0, 0xffffff); // outside: ignored, nothing written past the end
    b.SetColorValue(0, -1, 0xffffff);
    CHECK(b.GetColorValue(-1, 0) + b.GetColorValue(0, 2) == 0);
    b.SetBackgroundColor(0x00ccbbaa, 7);
    CHECK(Bytes(b, 1, 1) == std::vector<unsigned char>{0xcc, 0xbb, 0xaa, 7});
}

TEST_CASE("SetBitmap copies, flips on request and accepts its own buffer") {
    COrvanelBitmap b;
    SUBCASE("copy survives the source; flip mirrors the rows") {
        for (bool flip : {false, true}) {
            auto rows = std::make_unique<std::uint32_t[]>(6); // 2 wide, 3 high
            for (std::uint32_t i = 0; i < 6; ++i)
                rows[i] = (i + 1) << 16;
            b.SetBitmap(reinterpret_cast<unsigned char*>(rows.get()), 2, 3, flip, true);
            rows.reset();
            CHECK(b.GetColorValue(0, 0) == (flip ? 5u : 1u));
            CHECK(b.GetColorValue(1, 2) == (flip ? 2u : 6u));
        }
    }
    SUBCASE("from its own buffer, also smaller and flipped") {
        b = Numbered(4, 3);
        b.SetBitmap(b.GetPtBitmap(), 4, 3, false, true);
        CHECK(Same(b, Numbered(4, 3)));
        b.SetBitmap(b.GetPtBitmap(), 2, 2, true, true); // buffer rows 1 and 0, 2 wide
        CHECK(b.GetColorValue(0, 0) == Numbered(4, 3).GetColorValue(2, 0));
        CHECK(b.GetColorValue(0, 1) == Numbered(4, 3).GetColorValue(0, 0));
    }
    SUBCASE("null or zero size empties") {
        b = Numbered(4, 3);
        b.SetBitmap(nullptr, 4, 3, false, true);
        CHECK(b.GetPtBitmap() == nullptr);
    }
    CheckInfo(b);
}

TEST_CASE("Rotation90 turns clockwise on screen; HorzFlipBuf mirrors; copies are deep") {
    const COrvanelBitmap original = Numbered(5, 3);
    COrvanelBitmap b = original;
    CHECK(b.Rotation90() == 1);
    CheckInfo(b);
    CHECK(b.GetBitmapWidth() == 3);
    // Rows are bottom-up: bottom-left goes to top-left, top-left to top-right.
    CHECK(b.GetColorValue(0, 4) == original.GetColorValue(0, 0));
    CHECK(b.GetColorValue(2, 4) == original.GetColorValue(0, 2));
    CHECK(b.GetColorValue(0, 0) == original.GetColorValue(4, 0));
    for (int i = 0; i < 3; ++i)
        b.Rotation90();
    CHECK(Same(b, original));
    CHECK(Same(original, Numbered(5, 3)));

    COrvanelBitmap even = Numbered(4, 2);
    CHECK(even.HorzFlipBuf() == 1);
    CHECK(even.GetColorValue(1, 1) == Numbered(4, 2).GetColorValue(2, 1));
    even.HorzFlipBuf();
    CHECK(Same(even, Numbered(4, 2)));
    COrvanelBitmap empty;
    CHECK(empty.Rotation90() + empty.HorzFlipBuf() == 0);
}
