#include "testing/UserActions.h"

#include <commctrl.h>

namespace QuilletTest {

void ClickButton(HWND dialog, int buttonId) {
    PostMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

HWND Child(HWND dialog, const wchar_t* className) {
    return FindWindowExW(dialog, nullptr, className, nullptr);
}

LRESULT Mouse(HWND window, UINT message, int x, int y) {
    return SendMessageW(window, message, MK_LBUTTON, MAKELPARAM(x, y));
}

void PressKey(HWND control, UINT key) {
    SendMessageW(control, WM_KEYDOWN, key, 1);
    SendMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void DragSlider(HWND dialog, int sliderId, int position) {
    HWND slider = GetDlgItem(dialog, sliderId);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    const LPARAM from = reinterpret_cast<LPARAM>(slider);
    // A vertical trackbar reports to its parent with WM_VSCROLL.
    const UINT scroll =
        (GetWindowLongPtrW(slider, GWL_STYLE) & TBS_VERT) != 0 ? WM_VSCROLL : WM_HSCROLL;
    SendMessageW(dialog, scroll, MAKEWPARAM(TB_THUMBTRACK, position), from);
    SendMessageW(dialog, scroll, MAKEWPARAM(TB_THUMBPOSITION, position), from);
    SendMessageW(dialog, scroll, MAKEWPARAM(TB_ENDTRACK, 0), from);
}

} // namespace QuilletTest
