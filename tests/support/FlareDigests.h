#pragma once
// Lens flares rendered in a fixed order from the generator's first state, each on a fixed
// pattern, with the digest of the pixels they come to, and the ring's saturation factors.
//
// These literals were recorded from the native build of LensFlareOracle: they prove no
// correctness of their own (the oracle's worked examples and primitives do that), only that
// every build that checks them computes the same bytes. TestEffects checks the oracle's and the
// renderer's digests and the ring factors in both builds: the Windows runtime's rand, sqrt, asin,
// exp, sin and cos must therefore give the same bytes.
// Beside them, the pixel helpers the effects' tests share.
#include "host/OrvanelBitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace FlareDigests {

struct Case {
    const char* name;
    int width, height;
    int x, y, size, brightness, hue, intensity;
    std::uint64_t digest;
};

// In this order, one after another, the generator continuing from case to case.
inline constexpr Case kCases[] = {
    {"first worked example", 500, 300, 100, 100, 100, 25, 0, 30, 0x5BD7804CCF218073ull},
    {"second worked example", 500, 300, 400, 250, 60, 25, 300, 30, 0xE0BDCA6D843B5229ull},
    {"dialog defaults", 500, 200, 100, 99, 100, 25, 0, 30, 0xCC66560D815A1E2Aull},
    {"hue 310, source off the picture", 500, 300, -60, 340, 80, 40, 310, 100,
     0x2D1B4BF98E4186E4ull},
    {"centre column", 501, 300, 250, 40, 70, 30, 120, 70, 0x5AD693709870BDD7ull},
    {"narrow, faint", 19, 40, 5, 30, 10, 1, 90, 50, 0x6C73EC17EE48B2B8ull},
    {"large", 500, 300, 180, 120, 300, 30, 200, 100, 0x7B5709F037383C2Eull},
};

// The bits of the single-precision saturation factor of a ring's outline of radius 0 ... 100, as
// the oracle computed them natively. Both runtimes' arcsine and exponential differ from each
// other in the last bit of a double here and there, but far below what would move these floats.
inline constexpr std::uint32_t kRingSaturationBits[101] = {
    0x00000000, 0x3B944673, 0x3C1BBCED, 0x3C74C83A, 0x3CAA9D7B, 0x3CDE82D9, 0x3D0B04F5, 0x3D2892EA,
    0x3D47E39E, 0x3D68EE2F, 0x3D85D444, 0x3D9803BB, 0x3DAAFF53, 0x3DBEC05D, 0x3DD33FAC, 0x3DE87595,
    0x3DFE5A00, 0x3E0A7234, 0x3E1605F2, 0x3E21E39B, 0x3E2E0664, 0x3E3A6962, 0x3E470786, 0x3E53DBA8,
    0x3E60E089, 0x3E6E10D9, 0x3E7B673A, 0x3E846F23, 0x3E8B3849, 0x3E920C5C, 0x3E98E8AA, 0x3E9FCA86,
    0x3EA6AF4C, 0x3EAD9460, 0x3EB47733, 0x3EBB5543, 0x3EC22C1D, 0x3EC8F961, 0x3ECFBAC1, 0x3ED66E05,
    0x3EDD110D, 0x3EE3A1CD, 0x3EEA1E57, 0x3EF084D6, 0x3EF6D38F, 0x3EFD08E7, 0x3F0191B0, 0x3F0490CC,
    0x3F078128, 0x3F0A6232, 0x3F0D336A, 0x3F0FF460, 0x3F12A4B2, 0x3F154410, 0x3F17D239, 0x3F1A4EFC,
    0x3F1CBA39, 0x3F1F13DD, 0x3F215BE4, 0x3F23925C, 0x3F25B75E, 0x3F27CB12, 0x3F29CDAC, 0x3F2BBF6E,
    0x3F2DA0A7, 0x3F2F71AE, 0x3F3132E9, 0x3F32E4C7, 0x3F3487BE, 0x3F361C50, 0x3F37A307, 0x3F391C73,
    0x3F3A892D, 0x3F3BE9D3, 0x3F3D3F09, 0x3F3E897A, 0x3F3FC9D4, 0x3F4100CA, 0x3F422F14, 0x3F43556D,
    0x3F447496, 0x3F458D53, 0x3F46A06C, 0x3F47AEB0, 0x3F48B8F5, 0x3F49C017, 0x3F4AC4FF, 0x3F4BC8A3,
    0x3F4CCC0B, 0x3F4DD05C, 0x3F4ED6DA, 0x3F4FE100, 0x3F50F08E, 0x3F5207B3, 0x3F532946, 0x3F545937,
    0x3F559D61, 0x3F56FF6F, 0x3F589203, 0x3F5A84FE, 0x3F5ED10B,
};

// A picture with detail in every channel, so that every blend shows.
inline COrvanelBitmap Pattern(int width, int height) {
    COrvanelBitmap bitmap(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) // red, green, blue
            bitmap.SetColorValue(x, y,
                                 ((x * 7 + y * 3) & 0xFF) | ((x ^ y) & 0xFF) << 8 |
                                     ((x * y) >> 3 & 0xFF) << 16);
    return bitmap;
}

// A bitmap of random bytes, the fourth of each pixel included.
inline COrvanelBitmap RandomBitmap(int width, int height, std::mt19937& random) {
    COrvanelBitmap bitmap(width, height, 32);
    std::generate_n(bitmap.GetPtBitmap(), 4L * width * height,
                    [&] { return static_cast<unsigned char>(random()); });
    return bitmap;
}

// Every byte of the pixel buffer; none for a bitmap without pixels.
inline std::vector<unsigned char> Pixels(const COrvanelBitmap& bitmap) {
    const unsigned char* p = bitmap.GetPtBitmap();
    return p == nullptr
               ? std::vector<unsigned char>()
               : std::vector<unsigned char>(p, p + std::size_t{4} * bitmap.GetBitmapWidth() *
                                                       bitmap.GetBitmapHeight());
}

// 64-bit FNV-1a of every byte of the pixel buffer.
inline std::uint64_t Digest(const COrvanelBitmap& bitmap) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char byte : Pixels(bitmap))
        hash = (hash ^ byte) * 0x100000001B3ull;
    return hash;
}

} // namespace FlareDigests
