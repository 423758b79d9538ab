#include "demo/Screenshot.h"

#include "testing/WindowCapture.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace QuilletDemo {

using QuilletTest::CWindowCapture;
using QuilletTest::FinishPainting;

namespace {

void WriteToFile(void* context, void* data, int size) {
    std::fwrite(data, 1, static_cast<size_t>(size), static_cast<FILE*>(context));
}

// Whether the screen shows what the window drew, frame included, wherever no visible window
// lies above it.
bool ShownOnScreen(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    std::vector<RECT> above;
    for (HWND other = GetWindow(window, GW_HWNDPREV); other;
         other = GetWindow(other, GW_HWNDPREV)) {
        if (IsWindowVisible(other)) {
            GetWindowRect(other, &above.emplace_back());
        }
    }
    const CWindowCapture screen(window, CWindowCapture::Area::WholeWindow);
    const CWindowCapture drawn(window, CWindowCapture::Area::Drawn);
    if (screen.Width() == 0 || screen.Width() != drawn.Width() ||
        screen.Height() != drawn.Height()) {
        return false;
    }
    for (int y = 0; y < screen.Height(); ++y) {
        for (int x = 0; x < screen.Width(); ++x) {
            const POINT at{rect.left + x, rect.top + y};
            const bool covered = std::any_of(above.begin(), above.end(),
                                             [&](const RECT& r) { return PtInRect(&r, at) != 0; });
            if (!covered && screen.At(x, y) != drawn.At(x, y)) {
                return false;
            }
        }
    }
    return true;
}

BOOL CALLBACK ClearIfNotShown(HWND window, LPARAM allShown) {
    if (IsWindowVisible(window) && !ShownOnScreen(window)) {
        *reinterpret_cast<bool*>(allShown) = false;
    }
    return TRUE;
}

} // namespace

bool WaitUntilShown(HWND window) {
    // Under wine what a window drew reaches the screen once its thread is back in its message
    // loop, and a window placed or stacked anew once the X server has done so.
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    bool allShown = false;
    for (const DWORD start = GetTickCount(); !allShown && GetTickCount() - start < 5000;) {
        FinishPainting(window);
        allShown = true;
        EnumThreadWindows(thread, ClearIfNotShown, reinterpret_cast<LPARAM>(&allShown));
    }
    return allShown;
}

bool SaveWindowScreenshot(HWND window, const std::wstring& path) {
    const CWindowCapture capture(window, CWindowCapture::Area::WholeWindow);
    if (capture.Width() == 0) {
        return false;
    }
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const std::vector<unsigned char> rgb = capture.Rgb();
    const int written = stbi_write_png_to_func(WriteToFile, file, capture.Width(), capture.Height(),
                                               3, rgb.data(), capture.Width() * 3);
    return std::fclose(file) == 0 && written != 0;
}

} // namespace QuilletDemo
