// The host bitmap as GDI sees it: GetBitmap's HBITMAP and the BITMAPINFO at the object's
// front, which the print code hands straight to StretchDIBits.
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <cstddef>

namespace {

// A 3 x 2 picture with a different colour in every pixel; buffer row 0 is the bottom line.
COrvanelBitmap MakeSample() {
    COrvanelBitmap bitmap(3, 2, 32);
    unsigned long color = 0x000000F0;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            bitmap.SetColorValue(x, y, color);
            color += 0x00102030;
        }
    }
    return bitmap;
}

// What a memory device context shows at (x, y), top-left origin, as 0x00BBGGRR.
COLORREF PixelOnScreen(HBITMAP gdiBitmap, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, gdiBitmap);
    const COLORREF color = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return color;
}

} // namespace

TEST_CASE("the bitmap description is a BITMAPINFO at the front of the object") {
    static_assert(sizeof(HostBitmapInfo) == sizeof(BITMAPINFO), "layout");
    COrvanelBitmap bitmap = MakeSample();
    CHECK(static_cast<const void*>(&bitmap.bitmapInfo) ==
          static_cast<const void*>(reinterpret_cast<const char*>(&bitmap) + sizeof(void*)));
    const auto* info = reinterpret_cast<const BITMAPINFO*>(&bitmap.bitmapInfo);
    CHECK(info->bmiHeader.biSize == sizeof(BITMAPINFOHEADER));
    CHECK(info->bmiHeader.biWidth == 3);
    CHECK(info->bmiHeader.biHeight == 2);
    CHECK(info->bmiHeader.biPlanes == 1);
    CHECK(info->bmiHeader.biBitCount == 32);
    CHECK(info->bmiHeader.biCompression == BI_RGB);
}

TEST_CASE("GetBitmap gives a new HBITMAP of the current pixels, bottom row last on screen") {
    COrvanelBitmap bitmap = MakeSample();
    HBITMAP gdiBitmap = bitmap.GetBitmap();
    REQUIRE(gdiBitmap != nullptr);
    BITMAP description{};
    GetObjectW(gdiBitmap, sizeof(description), &description);
    CHECK(description.bmWidth == 3);
    CHECK(description.bmHeight == 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            INFO("x " << x << " buffer row " << y);
            CHECK(PixelOnScreen(gdiBitmap, x, 1 - y) == bitmap.GetColorValue(x, y));
        }
    }
    DeleteObject(gdiBitmap);

    // After a rotation the next GetBitmap follows the new size.
    bitmap.Rotation90();
    gdiBitmap = bitmap.GetBitmap();
    GetObjectW(gdiBitmap, sizeof(description), &description);
    CHECK(description.bmWidth == 2);
    CHECK(description.bmHeight == 3);
    DeleteObject(gdiBitmap);

    COrvanelBitmap empty;
    CHECK(empty.GetBitmap() == nullptr);
}

TEST_CASE("StretchDIBits with the object's own BITMAPINFO reproduces the picture") {
    COrvanelBitmap bitmap = MakeSample();
    bitmap.Rotation90(); // the description must follow every change of size
    const int width = static_cast<int>(bitmap.GetBitmapWidth());
    const int height = static_cast<int>(bitmap.GetBitmapHeight());

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, target);
    StretchDIBits(memory, 0, 0, width, height, 0, 0, width, height, bitmap.GetPtBitmap(),
                  reinterpret_cast<const BITMAPINFO*>(&bitmap.bitmapInfo), DIB_RGB_COLORS,
                  SRCCOPY);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            INFO("x " << x << " buffer row " << y);
            CHECK(GetPixel(memory, x, height - 1 - y) == bitmap.GetColorValue(x, y));
        }
    }
    SelectObject(memory, old);
    DeleteObject(target);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
