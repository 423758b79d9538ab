#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using Picture = std::function<int(int, int)>;

// Fills every byte of each pixel (the fourth one too) with value(x, y).
COrvanelBitmap Make(int w, int h, const Picture& value) {
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

// Largest distance of any byte of any pixel from expected(x, y).
int MaxError(const COrvanelBitmap& b, const Picture& expected) {
    int worst = 0;
    for (int y = 0; y < static_cast<int>(b.GetBitmapHeight()); ++y)
        for (int x = 0; x < static_cast<int>(b.GetBitmapWidth()); ++x)
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, std::abs(Byte(b, x, y, c) - expected(x, y)));
    return worst;
}

Picture Constant(int value) {
    return [=](int, int) { return value; };
}

} // namespace

TEST_CASE("constant pictures stay exactly constant; same size is a copy") {
    for (int value : {0, 1, 128, 255}) {
        COrvanelBitmap src = Make(37, 23, Constant(value));
        for (auto size : {std::vector<int>{5, 3}, {1, 1}, {1, 40}, {80, 7}, {111, 69}})
            CHECK(MaxError(Resample(src, size[0], size[1]), Constant(value)) == 0);
    }
    COrvanelBitmap src = Make(9, 4, [](int x, int y) { return (x * 37 + y * 91) & 255; });
    src.GetPtBitmap()[3] = 200;
    CHECK(std::memcmp(Resample(src, 9, 4).GetPtBitmap(), src.GetPtBitmap(), 9 * 4 * 4) == 0);
}

TEST_CASE("strong shrinking averages fine detail instead of aliasing") {
    // A checkerboard 7.27 times smaller, big enough to be split between threads.
    COrvanelBitmap board = Make(1600, 1200, [](int x, int y) { return (x + y) % 2 * 255; });
    CHECK(MaxError(Resample(board, 220, 165), Constant(127)) <= 3);
    // One-pixel lines, 1 x N and N x 1.
    COrvanelBitmap rows = Make(1, 300, [](int, int y) { return y % 2 * 255; });
    CHECK(MaxError(Resample(rows, 1, 1), Constant(127)) <= 3);
    COrvanelBitmap columns = Make(301, 1, [](int x, int) { return x % 3 == 0 ? 255 : 0; });
    COrvanelBitmap small = Resample(columns, 9, 1);
    for (int x = 2; x < 7; ++x) // away from the edges, where the edge pixel weighs more
        CHECK(std::abs(Byte(small, x, 0, 0) - 85) <= 3);
}

TEST_CASE("enlarging is mirror-symmetric and keeps the orientation") {
    COrvanelBitmap src =
        Make(2, 2, [](int x, int y) { return x ? (y ? 250 : 200) : (y ? 90 : 10); });
    COrvanelBitmap mirrored = src;
    mirrored.HorzFlipBuf();
    const COrvanelBitmap a = Resample(src, 8, 7), b = Resample(mirrored, 8, 7);
    CHECK(MaxError(b, [&](int x, int y) { return Byte(a, 7 - x, y, 0); }) <= 1);
    CHECK((Byte(a, 0, 0, 0) < Byte(a, 0, 6, 0) && Byte(a, 0, 6, 0) < Byte(a, 7, 0, 0)));
}

TEST_CASE("null or empty arguments do nothing") {
    COrvanelBitmap src = Make(4, 4, Constant(9)), dst = Make(2, 2, Constant(1)), empty;
    COrvanelBitmap *none = nullptr, *toDst = &dst, *toEmpty = &empty;
    CInterpolationBicubic bicubic;
    bicubic.Execute(&src, none);
    bicubic.Execute(nullptr, toDst);
    bicubic.Execute(&empty, toDst);
    bicubic.Execute(&src, toEmpty);
    CHECK(MaxError(dst, Constant(1)) == 0);
    CHECK(empty.GetPtBitmap() == nullptr);
}

TEST_CASE("the bytes do not depend on how many bands the rows are shared out in") {
    COrvanelBitmap src =
        Make(301, 203, [](int x, int y) { return (x * x * 7 + y * 13 + x * y) & 255; });
    for (auto size : {std::vector<int>{97, 61}, {410, 257}, {33, 200}}) {
        INFO(size[0] << "x" << size[1]);
        const COrvanelBitmap usual = Resample(src, size[0], size[1]);
        for (unsigned bands : {1u, 2u, 7u, 64u}) {
            COrvanelBitmap banded(size[0], size[1], 32);
            COrvanelBitmap* out = &banded;
            CInterpolationBicubic().ExecuteInBands(&src, out, bands);
            CHECK(std::memcmp(banded.GetPtBitmap(), usual.GetPtBitmap(), 4u * size[0] * size[1]) ==
                  0);
        }
    }
}
