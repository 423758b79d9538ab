#include "host/OrvanelBitmap.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

// The print code hands &bitmapInfo straight to GDI, so the portable mirror of the structure
// has to match the real one field by field.
static_assert(sizeof(HostBitmapInfo) == sizeof(BITMAPINFO), "BITMAPINFO size");
static_assert(sizeof(HostBitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "header size");
static_assert(sizeof(HostRgbQuad) == sizeof(RGBQUAD), "RGBQUAD size");
static_assert(offsetof(HostBitmapInfo, bmiHeader) == offsetof(BITMAPINFO, bmiHeader), "");
static_assert(offsetof(HostBitmapInfo, bmiColors) == offsetof(BITMAPINFO, bmiColors), "");
#define HALVORY_SAME_FIELD(field)                                                                  \
    static_assert(offsetof(HostBitmapInfoHeader, field) == offsetof(BITMAPINFOHEADER, field) &&    \
                      sizeof(HostBitmapInfoHeader::field) == sizeof(BITMAPINFOHEADER::field),      \
                  #field)
HALVORY_SAME_FIELD(biSize);
HALVORY_SAME_FIELD(biWidth);
HALVORY_SAME_FIELD(biHeight);
HALVORY_SAME_FIELD(biPlanes);
HALVORY_SAME_FIELD(biBitCount);
HALVORY_SAME_FIELD(biCompression);
HALVORY_SAME_FIELD(biSizeImage);
HALVORY_SAME_FIELD(biXPelsPerMeter);
HALVORY_SAME_FIELD(biYPelsPerMeter);
HALVORY_SAME_FIELD(biClrUsed);
HALVORY_SAME_FIELD(biClrImportant);
#undef HALVORY_SAME_FIELD

HBITMAP COrvanelBitmap::GetBitmap() const {
    if (pixels_.empty())
        return nullptr;
    // A DIB section keeps the exact 32-bit pixels whatever the screen depth, and still selects
    // into a memory DC for BitBlt like any other bitmap. Its rows have the same bottom-up
    // layout and 4-byte stride as ours, so the pixels go across in one copy.
    BITMAPINFO info;
    std::memcpy(&info, &bitmapInfo, sizeof info);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return nullptr;
    if (bits == nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, pixels_.data(), pixels_.size());
    return bitmap;
}
