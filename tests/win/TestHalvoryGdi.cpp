// The host bitmap as GDI sees it: GetBitmap's HBITMAP and the BITMAPINFO at the object's
// front, which the print code hands straight to StretchDIBits.
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <windows.h>

namespace {

// A 3 x 2 picture, turned a quarter so that the description must have followed a change of
// size; every pixel a different colour. Buffer row 0 is the bottom line.
COrvanelBitmap MakeSample() {
    COrvanelBitmap bitmap(3, 2, 32);
    unsigned long color = 0x000000F0;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x, color += 0x00102030) {
            bitmap.SetColorValue(x, y, color);
        }
    }
    bitmap.Rotation90();
    return bitmap;
}

// Checks that a memory device context holding `drawn` shows the bitmap, top row first.
void CheckShows(const COrvanelBitmap& bitmap, HDC drawn) {
    const int width = static_cast<int>(bitmap.GetBitmapWidth());
    const int height = static_cast<int>(bitmap.GetBitmapHeight());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            INFO("x " << x << " buffer row " << y);
            CHECK(GetPixel(drawn, x, height - 1 - y) == bitmap.GetColorValue(x, y));
        }
    }
}

} // namespace

TEST_CASE("GetBitmap gives a new HBITMAP of the current pixels") {
    COrvanelBitmap bitmap = MakeSample();
    HBITMAP gdiBitmap = bitmap.GetBitmap();
    REQUIRE(gdiBitmap != nullptr);
    BITMAP description{};
    GetObjectW(gdiBitmap, sizeof(description), &description);
    CHECK((description.bmWidth == 2 && description.bmHeight == 3));
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, gdiBitmap);
    CheckShows(bitmap, memory);
    SelectObject(memory, previous);
    DeleteDC(memory);
    CHECK(DeleteObject(gdiBitmap) != 0); // owned by the caller

    CHECK(COrvanelBitmap().GetBitmap() == nullptr);
}

TEST_CASE("StretchDIBits with the object's own BITMAPINFO reproduces the picture") {
    static_assert(sizeof(HostBitmapInfo) == sizeof(BITMAPINFO), "layout");
    COrvanelBitmap bitmap = MakeSample();
    // The description is the first data member, right after the virtual table pointer.
    CHECK(static_cast<const void*>(&bitmap.bitmapInfo) ==
          reinterpret_cast<const char*>(&bitmap) + sizeof(void*));
    const auto* info = reinterpret_cast<const BITMAPINFO*>(&bitmap.bitmapInfo);
    CHECK(info->bmiHeader.biSize == sizeof(BITMAPINFOHEADER));
    CHECK((info->bmiHeader.biPlanes == 1 && info->bmiHeader.biBitCount == 32 &&
           info->bmiHeader.biCompression == BI_RGB));

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 2, 3);
    HGDIOBJ previous = SelectObject(memory, target);
    StretchDIBits(memory, 0, 0, 2, 3, 0, 0, 2, 3, bitmap.GetPtBitmap(), info, DIB_RGB_COLORS,
                  SRCCOPY);
    CheckShows(bitmap, memory);
    SelectObject(memory, previous);
    DeleteObject(target);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
