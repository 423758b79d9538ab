#pragma once
#include <windows.h>

#include <vector>

namespace QuilletTest {

// Has the thread of `window` do every paint that its windows (a dialog, its children, a list
// dropped from one of its boxes) have pending, and waits until that thread is back in its
// message loop, where wine hands what was painted to the screen. Each window is painted before
// its children: the dialogs do not clip their children, so a paint of the dialog itself still
// pending (as it opens, or once a box above it closes) would cover them again.
void FinishPainting(HWND window);

// What the screen shows of a window, read back once (from any thread): its client area, or
// the whole window with its frame; or what the window drew of itself, frame included, which
// under wine reaches the screen a little later.
class CWindowCapture {
public:
    enum class Area { Client, WholeWindow, Drawn };

    explicit CWindowCapture(HWND window, Area area = Area::Client);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00BBGGRR at (x, y), top-left origin; CLR_INVALID outside.
    COLORREF At(int x, int y) const;
    // Rows top-down, 3 bytes a pixel, red first.
    std::vector<unsigned char> Rgb() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> bgra_;
};

} // namespace QuilletTest
