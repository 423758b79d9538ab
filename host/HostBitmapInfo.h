#pragma once
#include <cstdint>

// Byte-for-byte the layout of the Windows BITMAPINFO (header plus one colour entry), so that
// the print code can hand the bitmap's description straight to GDI while this header stays
// free of <windows.h>. Win32 code checks the layout with static_asserts.
struct HostBitmapInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct HostRgbQuad {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};

struct HostBitmapInfo {
    HostBitmapInfoHeader bmiHeader;
    HostRgbQuad bmiColors[1];
};

static_assert(sizeof(HostBitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(HostBitmapInfo) == 44, "BITMAPINFO is 44 bytes");
