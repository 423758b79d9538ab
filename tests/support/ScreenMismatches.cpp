#include "support/ScreenMismatches.h"

#include "testing/WindowCapture.h"

namespace QuilletTest {

int ScreenMismatches(HWND window, const std::function<COLORREF(int x, int y)>& expected) {
    UpdateWindow(window);
    int mismatches = -1;
    for (DWORD start = GetTickCount(); mismatches != 0 && GetTickCount() - start < 1000;
         Sleep(mismatches != 0 ? 20 : 0)) {
        CWindowCapture screen(window);
        mismatches = 0;
        for (int y = 0; y < screen.Height(); ++y) {
            for (int x = 0; x < screen.Width(); ++x) {
                const COLORREF want = expected(x, y);
                mismatches += want != CLR_INVALID && screen.At(x, y) != want ? 1 : 0;
            }
        }
    }
    return mismatches;
}

} // namespace QuilletTest
