#include "testing/WindowCapture.h"

namespace QuilletTest {

namespace {

BOOL CALLBACK PaintNow(HWND topLevel, LPARAM) {
    RedrawWindow(topLevel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

} // namespace

void FinishPainting(HWND window) {
    EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), PaintNow, 0);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

CWindowCapture::CWindowCapture(HWND window, Area area) {
    RECT rect{};
    // The frame is read from the screen itself; the client area through the window.
    HWND sourceWindow = area == Area::WholeWindow ? nullptr : window;
    const bool known = area == Area::Client ? GetClientRect(window, &rect) != 0
                                            : GetWindowRect(window, &rect) != 0;
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    if (!known || width_ <= 0 || height_ <= 0) {
        width_ = height_ = 0;
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = area == Area::Drawn ? GetWindowDC(window) : GetDC(sourceWindow);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP capture = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (capture != nullptr) {
        HGDIOBJ previous = SelectObject(memory, capture);
        const int left = area == Area::WholeWindow ? rect.left : 0;
        const int top = area == Area::WholeWindow ? rect.top : 0;
        if (BitBlt(memory, 0, 0, width_, height_, source, left, top, SRCCOPY)) {
            GdiFlush();
            const auto* first = static_cast<const unsigned char*>(bits);
            bgra_.assign(first, first + static_cast<size_t>(width_) * height_ * 4);
        }
        SelectObject(memory, previous);
        DeleteObject(capture);
    }
    DeleteDC(memory);
    ReleaseDC(sourceWindow, source);
    if (bgra_.empty()) {
        width_ = height_ = 0;
    }
}

COLORREF CWindowCapture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    const unsigned char* pixel = bgra_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

std::vector<unsigned char> CWindowCapture::Rgb() const {
    std::vector<unsigned char> rgb(static_cast<size_t>(width_) * height_ * 3);
    for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i) {
        rgb[3 * i] = bgra_[4 * i + 2];
        rgb[3 * i + 1] = bgra_[4 * i + 1];
        rgb[3 * i + 2] = bgra_[4 * i];
    }
    return rgb;
}

} // namespace QuilletTest
