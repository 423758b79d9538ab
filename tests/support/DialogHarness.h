#pragma once
// What the Windows dialog tests share: a dialog run through its export while a second thread
// acts on it, a host window, test pictures, control texts and trackbar ranges read together,
// and the screen compared with what a window must show.
#include "host/OrvanelBitmap.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace QuilletTest {

// Calls `show` (an export that opens a modal dialog) on this thread while `drive` acts on the
// dialog from a second thread, as a user would, usually ending with the closing command. The
// dialog must appear (or, with `shown` false, must not) and be closed by `drive`, not by the
// watchdog. Gives what `show` answered. `drive` may CHECK, never REQUIRE (it is another thread).
template <typename Show>
auto RunDialog(Show&& show, const std::function<void(HWND)>& drive, bool shown = true) {
    CModalDriver driver(drive);
    const auto result = show();
    driver.Join();
    CHECK_MESSAGE(driver.DialogFound() == shown, (shown ? "no dialog" : "a dialog") << " appeared");
    CHECK_MESSAGE(!driver.WatchdogFired(), "the watchdog had to close the dialog");
    return result;
}

// A visible top-level window for a dialog to be owned by; destroyed with the object.
struct CHostWindow {
    const HWND window = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                        10, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ~CHostWindow() { DestroyWindow(window); }
    operator HWND() const { return window; }
};

// A picture with detail in every channel and no two neighbours alike, so that a blur, a shift
// by one pixel or a misplaced row shows.
COrvanelBitmap Pattern(int width, int height);
// Red top left, green top right, blue bottom left and yellow bottom right as shown, shaded
// within each quarter: a picture mirrored, turned or scaled wrongly shows another colour.
extern const COLORREF kQuarterColors[4];
COrvanelBitmap Quarters(int width, int height);
// The host's bicubic resampling of `source` to width x height, as the previews show pictures.
COrvanelBitmap Resampled(COrvanelBitmap& source, int width, int height);

// The texts of controls joined with commas; the items of a combo box; minimum, maximum and
// position of each trackbar, one after another; "x,y wxh" of a window in the dialog's client
// coordinates, its edges included.
std::wstring Texts(HWND dialog, std::initializer_list<int> ids);
std::vector<std::wstring> ComboItems(HWND dialog, int id);
std::vector<LRESULT> SliderRanges(HWND dialog, std::initializer_list<int> ids);
std::string Placement(HWND dialog, HWND window);

// Waits until the client area of `window` (a dialog's child, or a dialog) shows what
// `expected(x, y)` gives (0x00BBGGRR, top-left origin; CLR_INVALID for a pixel not compared)
// and gives the number of pixels that differ, 0 when it matched within 10 s. Before each look
// every paint the window's thread has pending is done, so a repaint caused by what was sent
// to the dialog is always seen, also where the expectation is that nothing changed.
int ScreenMismatches(HWND window, const std::function<COLORREF(int x, int y)>& expected);
// The same for `picture` shown with its top-left corner at (left, top) over `around`, and a
// 7 x 7 marker outline in black centred on `marker` when one is given.
int PictureMismatches(HWND window, const COrvanelBitmap& picture, int left, int top,
                      const std::function<COLORREF(int x, int y)>& around,
                      const POINT* marker = nullptr);

} // namespace QuilletTest
