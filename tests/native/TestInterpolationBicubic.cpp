#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// Fills every byte of each pixel (the fourth one too) with value(x, y).
COrvanelBitmap Make(int w, int h, const std::function<int(int, int)>& value) {
    COrvanelBitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memset(b.GetPtBitmap() + y * b.GetWidthSize() + 4 * x, value(x, y), 4);
    return b;
}

COrvanelBitmap Resample(COrvanelBitmap& src, int w, int h) {
    COrvanelBitmap dst(w, h, 32);
    COrvanelBitmap* out = &dst;
    CInterpolationBicubic().Execute(&src, out);
    return dst;
}

int Byte(const COrvanelBitmap& b, int x, int y, int channel) {
    return b.GetPtBitmap()[y * b.GetWidthSize() + 4 * x + channel];
}

// Largest distance of any channel of any pixel from expected(x, y).
int MaxError(const COrvanelBitmap& b, const std::function<int(int, int)>& expected) {
    int worst = 0;
    for (int y = 0; y < static_cast<int>(b.GetBitmapHeight()); ++y)
        for (int x = 0; x < static_cast<int>(b.GetBitmapWidth()); ++x)
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, std::abs(Byte(b, x, y, c) - expected(x, y)));
    return worst;
}

} // namespace

TEST_CASE("a constant picture stays exactly constant") {
    for (int value : {0, 1, 128, 255}) {
        COrvanelBitmap src = Make(37, 23, [=](int, int) { return value; });
        for (auto size : {std::vector<int>{5, 3}, {1, 1}, {1, 40}, {80, 7}, {111, 69}, {37, 23}})
            CHECK(MaxError(Resample(src, size[0], size[1]), [=](int, int) { return value; }) == 0);
    }
}

TEST_CASE("same size is a copy, including the fourth byte") {
    COrvanelBitmap src = Make(9, 4, [](int x, int y) { return (x * 37 + y * 91) & 255; });
    src.GetPtBitmap()[3] = 200;
    COrvanelBitmap dst = Resample(src, 9, 4);
    CHECK(std::memcmp(dst.GetPtBitmap(), src.GetPtBitmap(), 9 * 4 * 4) == 0);
}

TEST_CASE("strong shrinking averages fine detail instead of aliasing") {
    SUBCASE("checkerboard, 7.27 times smaller") {
        // Big enough to be split between threads.
        COrvanelBitmap src = Make(1600, 1200, [](int x, int y) { return (x + y) % 2 * 255; });
        CHECK(MaxError(Resample(src, 220, 165), [](int, int) { return 127; }) <= 3);
    }
    SUBCASE("one-pixel lines, 1 x N and N x 1") {
        COrvanelBitmap rows = Make(1, 300, [](int, int y) { return y % 2 * 255; });
        CHECK(MaxError(Resample(rows, 1, 1), [](int, int) { return 127; }) <= 3);
        COrvanelBitmap columns = Make(301, 1, [](int x, int) { return x % 3 == 0 ? 255 : 0; });
        // Away from the edges, where the edge pixel weighs more.
        COrvanelBitmap small = Resample(columns, 9, 1);
        for (int x = 2; x < 7; ++x)
            CHECK(std::abs(Byte(small, x, 0, 0) - 85) <= 3);
    }
}

TEST_CASE("shape is preserved") {
    SUBCASE("a horizontal ramp stays monotonic") {
        COrvanelBitmap src = Make(256, 3, [](int x, int) { return x; });
        for (int w : {37, 1000}) {
            COrvanelBitmap dst = Resample(src, w, 5);
            for (int x = 1; x < w; ++x)
                CHECK(Byte(dst, x, 2, 1) >= Byte(dst, x - 1, 2, 1));
            CHECK(Byte(dst, 0, 0, 1) <= 4);
            CHECK(Byte(dst, w - 1, 4, 1) >= 251);
        }
    }
    SUBCASE("enlarging a 2x2 picture is symmetric") {
        const int values[2][2] = {{10, 200}, {90, 250}};
        COrvanelBitmap src = Make(2, 2, [&](int x, int y) { return values[y][x]; });
        COrvanelBitmap mirrored = src;
        mirrored.HorzFlipBuf();
        COrvanelBitmap a = Resample(src, 8, 7);
        COrvanelBitmap b = Resample(mirrored, 8, 7);
        CHECK(MaxError(b, [&](int x, int y) { return Byte(a, 7 - x, y, 0); }) <= 1);
        // The corners keep their source values' order and stay within range.
        CHECK(Byte(a, 0, 0, 2) < Byte(a, 7, 0, 2));
        CHECK(Byte(a, 7, 6, 2) > Byte(a, 0, 6, 2));
    }
}

TEST_CASE("null or empty arguments do nothing") {
    COrvanelBitmap src = Make(4, 4, [](int, int) { return 9; });
    COrvanelBitmap dst = Make(2, 2, [](int, int) { return 1; });
    COrvanelBitmap empty;
    CInterpolationBicubic bicubic;
    COrvanelBitmap* out = nullptr;
    bicubic.Execute(&src, out);
    out = &dst;
    bicubic.Execute(nullptr, out);
    bicubic.Execute(&empty, out);
    CHECK(MaxError(dst, [](int, int) { return 1; }) == 0);
    out = &empty;
    bicubic.Execute(&src, out);
    CHECK(empty.GetPtBitmap() == nullptr);
}
