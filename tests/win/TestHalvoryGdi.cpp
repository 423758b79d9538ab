// The host bitmap as GDI sees it: GetBitmap's HBITMAP and the BITMAPINFO at the object's
// front, which the print code hands straight to StretchDIBits.
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <windows.h>

TEST_CASE("GetBitmap and StretchDIBits with the object's own BITMAPINFO show the picture") {
    // 3 x 2, turned a quarter so that the description must have followed a change of size;
    // every pixel a different colour. Buffer row 0 is the bottom line.
    COrvanelBitmap bitmap(3, 2, 32);
    for (unsigned long i = 0; i < 6; ++i) {
        bitmap.SetColorValue(static_cast<int>(i % 3), static_cast<int>(i / 3), 0xF0 + i * 0x102030);
    }
    bitmap.Rotation90();
    // The description is the first data member, right after the virtual table pointer.
    CHECK(static_cast<const void*>(&bitmap.bitmapInfo) ==
          reinterpret_cast<const char*>(&bitmap) + sizeof(void*));

    HBITMAP gdiBitmap = bitmap.GetBitmap();
    REQUIRE(gdiBitmap != nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, gdiBitmap);
    for (bool stretched : {false, true}) {
        CAPTURE(stretched);
        if (stretched) { // the same picture drawn again from the object's pixels
            PatBlt(memory, 0, 0, 2, 3, BLACKNESS);
            StretchDIBits(memory, 0, 0, 2, 3, 0, 0, 2, 3, bitmap.GetPtBitmap(),
                          reinterpret_cast<const BITMAPINFO*>(&bitmap.bitmapInfo), DIB_RGB_COLORS,
                          SRCCOPY);
        }
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 2; ++x) {
                INFO("x " << x << " buffer row " << y);
                CHECK(GetPixel(memory, x, 2 - y) == bitmap.GetColorValue(x, y));
            }
        }
    }
    CHECK(GetPixel(memory, 2, 0) == CLR_INVALID); // two columns, three rows
    SelectObject(memory, previous);
    DeleteDC(memory);
    CHECK(DeleteObject(gdiBitmap) != 0); // owned by the caller
}
