#pragma once
#include <windows.h>

#include <functional>

namespace QuilletTest {

// Number of client pixels of the window, as the screen shows them, that differ from
// expected(x, y) (0x00BBGGRR, top-left origin). A paint still pending is done first. What a
// dialog's thread painted reaches the screen a little later under wine (it hands its window
// surfaces to the X server on its own schedule), so the screen is read again until it matches
// or a second has passed. Pixels for which expected gives CLR_INVALID are not compared.
int ScreenMismatches(HWND window, const std::function<COLORREF(int x, int y)>& expected);

} // namespace QuilletTest
