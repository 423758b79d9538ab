#include "support/ScreenPixels.h"

namespace QuilletTest {

ScreenPixels::ScreenPixels(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    if (width_ <= 0 || height_ <= 0) {
        width_ = height_ = 0;
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP capture = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, capture);
    BitBlt(memory, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const unsigned char*>(bits);
    bgra_.assign(first, first + static_cast<size_t>(width_) * height_ * 4);
    SelectObject(memory, previous);
    DeleteObject(capture);
    DeleteDC(memory);
    ReleaseDC(window, source);
}

COLORREF ScreenPixels::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    const unsigned char* pixel = bgra_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

} // namespace QuilletTest
