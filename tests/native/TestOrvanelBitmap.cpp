#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void CheckInfo(const COrvanelBitmap& b) {
    const HostBitmapInfoHeader& h = b.bitmapInfo.bmiHeader;
    CHECK(h.biSize == 40);
    CHECK(h.biWidth == static_cast<std::int32_t>(b.GetBitmapWidth()));
    CHECK(h.biHeight == static_cast<std::int32_t>(b.GetBitmapHeight()));
    CHECK(h.biPlanes == 1);
    CHECK(h.biBitCount == 32);
    CHECK(h.biCompression == 0);
    CHECK(h.biSizeImage == 4u * b.GetBitmapWidth() * b.GetBitmapHeight());
    CHECK(b.GetWidthSize() == 4L * b.GetBitmapWidth());
    CHECK((b.GetPtBitmap() == nullptr) == (h.biSizeImage == 0));
}

// Every pixel different, so that any misplaced pixel shows.
COrvanelBitmap Numbered(int w, int h) {
    COrvanelBitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetColorValue(x, y, static_cast<unsigned long>(y * 1000 + x + 1));
    return b;
}

bool SamePixels(const COrvanelBitmap& a, const COrvanelBitmap& b) {
    return a.GetBitmapWidth() == b.GetBitmapWidth() && a.GetBitmapHeight() == b.GetBitmapHeight() &&
           std::memcmp(a.GetPtBitmap(), b.GetPtBitmap(),
                       4u * a.GetBitmapWidth() * a.GetBitmapHeight()) == 0;
}

} // namespace

TEST_CASE("construction: zero-filled or empty, never a wrapped allocation") {
    COrvanelBitmap b(3, 2, 32);
    CheckInfo(b);
    CHECK(std::vector<unsigned char>(b.GetPtBitmap(), b.GetPtBitmap() + 24) ==
          std::vector<unsigned char>(24, 0));
    for (auto size : {std::vector<int>{0, 5},
                      {5, -1},
                      {-3, -3},
                      {0x40000000, 1},
                      {65536, 65536},
                      {0x7fffffff, 0x7fffffff}}) {
        COrvanelBitmap empty(size[0], size[1], 32);
        CHECK(empty.GetBitmapWidth() == 0);
        CheckInfo(empty);
    }
    CheckInfo(COrvanelBitmap());
}

TEST_CASE("colour packing and bounds") {
    COrvanelBitmap b(2, 2, 32);
    b.SetColorValue(1, 0, 0x00332211); // red 0x11, green 0x22, blue 0x33
    const unsigned char* p = b.GetPtBitmap() + 4;
    CHECK(p[0] == 0x33);
    CHECK(p[1] == 0x22);
    CHECK(p[2] == 0x11);
    CHECK(p[3] == 0);
    CHECK(b.GetColorValue(1, 0) == 0x332211);
    b.SetColorValue(2, 0, 0xffffff); // all outside: ignored, and nothing written past the end
    b.SetColorValue(0, -1, 0xffffff);
    CHECK(b.GetColorValue(-1, 0) == 0);
    CHECK(b.GetColorValue(0, 2) == 0);
    b.SetBackgroundColor(0x00ccbbaa, 7);
    CHECK(std::vector<unsigned char>(b.GetPtBitmap() + 12, b.GetPtBitmap() + 16) ==
          std::vector<unsigned char>{0xcc, 0xbb, 0xaa, 7});
}

TEST_CASE("SetBitmap copies, flips on request and accepts its own buffer") {
    COrvanelBitmap b;
    std::vector<std::uint32_t> rows{1, 2, 3, 4, 5, 6}; // 2 wide, 3 high
    auto* data = reinterpret_cast<unsigned char*>(rows.data());
    SUBCASE("copy survives the source") {
        b.SetBitmap(data, 2, 3, false, true);
        rows.assign(6, 0xdeadbeef);
        rows.clear();
        rows.shrink_to_fit();
        CHECK(b.GetColorValue(1, 2) == 6u << 16);
    }
    SUBCASE("flip mirrors the rows") {
        b.SetBitmap(data, 2, 3, true, true);
        CHECK(b.GetColorValue(0, 0) == 5u << 16);
        CHECK(b.GetColorValue(1, 2) == 2u << 16);
    }
    SUBCASE("from its own buffer, also smaller and flipped") {
        b = Numbered(4, 3);
        b.SetBitmap(b.GetPtBitmap(), 4, 3, false, true);
        CHECK(SamePixels(b, Numbered(4, 3)));
        b.SetBitmap(b.GetPtBitmap(), 2, 2, true, true); // buffer rows 1 and 0, 2 wide
        CHECK(b.GetColorValue(0, 0) == Numbered(4, 3).GetColorValue(2, 0));
        CHECK(b.GetColorValue(0, 1) == Numbered(4, 3).GetColorValue(0, 0));
    }
    SUBCASE("null or zero size empties") {
        b = Numbered(4, 3);
        b.SetBitmap(data, 0, 3, false, true);
        CHECK(b.GetPtBitmap() == nullptr);
        b = Numbered(4, 3);
        b.SetBitmap(nullptr, 4, 3, false, true);
        CHECK(b.GetPtBitmap() == nullptr);
    }
    CheckInfo(b);
}

TEST_CASE("Rotation90 turns clockwise on screen; HorzFlipBuf mirrors") {
    const COrvanelBitmap original = Numbered(5, 3);
    COrvanelBitmap b = original;
    SUBCASE("one turn") {
        CHECK(b.Rotation90() == 1);
        CHECK(b.GetBitmapWidth() == 3);
        CHECK(b.GetBitmapHeight() == 5);
        CheckInfo(b);
        // Rows are bottom-up: bottom-left goes to top-left, top-left to top-right.
        CHECK(b.GetColorValue(0, 4) == original.GetColorValue(0, 0));
        CHECK(b.GetColorValue(2, 4) == original.GetColorValue(0, 2));
        CHECK(b.GetColorValue(0, 0) == original.GetColorValue(4, 0));
    }
    SUBCASE("four turns are the identity") {
        for (int i = 0; i < 4; ++i)
            b.Rotation90();
        CHECK(SamePixels(b, original));
    }
    SUBCASE("flip") {
        CHECK(b.HorzFlipBuf() == 1);
        CHECK(b.GetColorValue(0, 1) == original.GetColorValue(4, 1));
        CHECK(b.GetColorValue(2, 2) == original.GetColorValue(2, 2));
        b.HorzFlipBuf();
        CHECK(SamePixels(b, original));
    }
    COrvanelBitmap empty;
    CHECK(empty.Rotation90() == 0);
    CHECK(empty.HorzFlipBuf() == 0);
}

TEST_CASE("copies are deep") {
    COrvanelBitmap a = Numbered(3, 2);
    a.SetFilename(L"a.jpg");
    COrvanelBitmap b(a);
    COrvanelBitmap c;
    c = a;
    a.SetColorValue(0, 0, 0x123456);
    a.Rotation90();
    for (const COrvanelBitmap* copy : {&b, &c}) {
        CHECK(SamePixels(*copy, Numbered(3, 2)));
        CHECK(copy->GetFilename() == L"a.jpg");
        CheckInfo(*copy);
    }
    c = c;
    CHECK(SamePixels(c, Numbered(3, 2)));
}
