#pragma once
#include <windows.h>

#include <vector>

namespace QuilletTest {

// What a window's client area shows on the screen, read back once; works from any thread.
class ScreenPixels {
public:
    explicit ScreenPixels(HWND window);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00BBGGRR at client position (x, y), top-left origin.
    COLORREF At(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> bgra_;
};

} // namespace QuilletTest
