#pragma once
// Lens flares rendered in a fixed order from the generator's first state, each on a fixed
// pattern, with the digest of the pixels they must come to. The native tests and the Windows
// tests check the same literals: the Windows runtime's rand, sqrt, asin, exp, sin and cos and
// the native ones must give the same bytes.
#include "host/OrvanelBitmap.h"

#include <cstddef>
#include <cstdint>

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

// The bits of the single-precision saturation factor of a ring's outline of radius 0 ... 100.
// Both runtimes' arcsine and exponential differ from each other in the last bit of a double
// here and there, but far below what would move these floats.
inline constexpr std::uint32_t kRingSaturationBits[101] = {
    0x00000000U, 0x3B944673U, 0x3C1BBCEDU, 0x3C74C83AU, 0x3CAA9D7BU, 0x3CDE82D9U, 0x3D0B04F5U,
    0x3D2892EAU, 0x3D47E39EU, 0x3D68EE2FU, 0x3D85D444U, 0x3D9803BBU, 0x3DAAFF53U, 0x3DBEC05DU,
    0x3DD33FACU, 0x3DE87595U, 0x3DFE5A00U, 0x3E0A7234U, 0x3E1605F2U, 0x3E21E39BU, 0x3E2E0664U,
    0x3E3A6962U, 0x3E470786U, 0x3E53DBA8U, 0x3E60E089U, 0x3E6E10D9U, 0x3E7B673AU, 0x3E846F23U,
    0x3E8B3849U, 0x3E920C5CU, 0x3E98E8AAU, 0x3E9FCA86U, 0x3EA6AF4CU, 0x3EAD9460U, 0x3EB47733U,
    0x3EBB5543U, 0x3EC22C1DU, 0x3EC8F961U, 0x3ECFBAC1U, 0x3ED66E05U, 0x3EDD110DU, 0x3EE3A1CDU,
    0x3EEA1E57U, 0x3EF084D6U, 0x3EF6D38FU, 0x3EFD08E7U, 0x3F0191B0U, 0x3F0490CCU, 0x3F078128U,
    0x3F0A6232U, 0x3F0D336AU, 0x3F0FF460U, 0x3F12A4B2U, 0x3F154410U, 0x3F17D239U, 0x3F1A4EFCU,
    0x3F1CBA39U, 0x3F1F13DDU, 0x3F215BE4U, 0x3F23925CU, 0x3F25B75EU, 0x3F27CB12U, 0x3F29CDACU,
    0x3F2BBF6EU, 0x3F2DA0A7U, 0x3F2F71AEU, 0x3F3132E9U, 0x3F32E4C7U, 0x3F3487BEU, 0x3F361C50U,
    0x3F37A307U, 0x3F391C73U, 0x3F3A892DU, 0x3F3BE9D3U, 0x3F3D3F09U, 0x3F3E897AU, 0x3F3FC9D4U,
    0x3F4100CAU, 0x3F422F14U, 0x3F43556DU, 0x3F447496U, 0x3F458D53U, 0x3F46A06CU, 0x3F47AEB0U,
    0x3F48B8F5U, 0x3F49C017U, 0x3F4AC4FFU, 0x3F4BC8A3U, 0x3F4CCC0BU, 0x3F4DD05CU, 0x3F4ED6DAU,
    0x3F4FE100U, 0x3F50F08EU, 0x3F5207B3U, 0x3F532946U, 0x3F545937U, 0x3F559D61U, 0x3F56FF6FU,
    0x3F589203U, 0x3F5A84FEU, 0x3F5ED10BU,
};

// A picture with detail in every channel, so that every blend shows.
inline COrvanelBitmap Pattern(int width, int height) {
    COrvanelBitmap bitmap(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long red = (x * 7 + y * 3) & 0xFF;
            const unsigned long green = (x ^ y) & 0xFF;
            const unsigned long blue = ((x * y) >> 3) & 0xFF;
            bitmap.SetColorValue(x, y, red | green << 8 | blue << 16);
        }
    return bitmap;
}

// 64-bit FNV-1a of every byte of the pixel buffer.
inline std::uint64_t Digest(const COrvanelBitmap& bitmap) {
    const unsigned char* p = bitmap.GetPtBitmap();
    const std::size_t size = static_cast<std::size_t>(bitmap.GetWidthSize()) *
                             static_cast<std::size_t>(bitmap.GetBitmapHeight());
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ p[i]) * 0x100000001B3ull;
    return hash;
}

} // namespace FlareDigests
