#pragma once
#include <windows.h>

#include <cstdint>

namespace Orvanel::Dialog {

// What DialogProc hands to OnPaint: a zeroed 16-byte scratch record, freed after the call.
struct CPaintScratch {
    std::uint64_t first;
    std::uint64_t second;
};

// Root of every dialog: one virtual handler per routed message, in a fixed slot order that
// DialogProc relies on. Handlers receive the message's arguments already decoded.
class CMessageDialog {
public:
    CMessageDialog();
    virtual ~CMessageDialog();

    virtual INT_PTR OnGetDlgCode(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnActivate(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnShowWindow(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnSysCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnEraseBackground(HDC deviceContext);
    virtual INT_PTR OnTimer(unsigned int* timerId);
    virtual INT_PTR OnNotify(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnContextMenu(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // Kept so that the slot order stays stable; nothing calls it.
    virtual INT_PTR OnReserved(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnSetFocus(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnPaint(CPaintScratch** scratch);
    virtual INT_PTR OnMeasureItem(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnDrawItem(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnKeyUp(unsigned int* keyCode, unsigned int* keyData);
    virtual INT_PTR OnKeyDown(unsigned int* keyCode, unsigned int* keyData);
    virtual INT_PTR OnSize(unsigned int* clientWidth, unsigned int* clientHeight,
                           unsigned int* sizeType);
    virtual INT_PTR OnLButtonDblClk(unsigned int* keyState, int* x, int* y);
    virtual INT_PTR OnClose();
    virtual INT_PTR OnDestroy();
    virtual INT_PTR OnLButtonDown(unsigned int* keyState, int* x, int* y);
    virtual INT_PTR OnLButtonUp(unsigned int* keyState, int* x, int* y);
    virtual int OnMouseMove(unsigned int* keyState, int* x, int* y);
    virtual INT_PTR OnMouseHover(unsigned int* keyState, int* x, int* y);
    virtual INT_PTR OnMouseLeave();
    virtual INT_PTR OnNcMouseMove(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnMove(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnMouseWheel(unsigned short* keyState, short* wheelDelta, int* x, int* y);
    virtual INT_PTR OnHScroll(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnVScroll(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnRButtonDown(unsigned int* keyState, int* x, int* y);
    virtual INT_PTR OnRButtonUp(unsigned int* keyState, int* x, int* y);

    // Recorded by the showing functions that need it; nothing in the base reads it.
    HWND ownerWindow;
    // Client size, written by DialogProc on every WM_SIZE before OnSize runs.
    unsigned int width;
    unsigned int height;
};

} // namespace Orvanel::Dialog
