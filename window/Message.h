#pragma once
#include "window/DrawContext.h"

#include <windows.h>

namespace Orvanel::Window {

// Root of every child window: one virtual handler per routed message, in a fixed slot order.
// Handlers that take the raw message answer with DefWindowProcW by default; the others
// answer 1, which for the "1 means default" messages sends the message on to DefWindowProcW.
class CMessage {
public:
    virtual LRESULT OnNcCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCtlColorStatic(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCtlColorEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKillFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnClipboardUpdate(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroyClipboard(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnActivate(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnShowWindow(bool& shown, unsigned int& status);
    virtual LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Kept so that the slot order stays stable; nothing calls it.
    virtual LRESULT OnReservedA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnEraseBackground(HDC deviceContext);
    virtual LRESULT OnTimer(unsigned int& timerId);
    virtual LRESULT OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCommand(unsigned int& commandId, unsigned int& notificationCode,
                              HWND control);
    virtual LRESULT OnContextMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCreate();
    virtual LRESULT OnSetFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnPaint(CDrawContext* drawContext);
    virtual LRESULT OnMeasureItem(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKeyUp(unsigned int& keyCode, unsigned int& keyData);
    virtual LRESULT OnKeyDown(unsigned int& keyCode, unsigned int& keyData);
    virtual LRESULT OnSize(unsigned int& clientWidth, unsigned int& clientHeight,
                           unsigned int& sizeType);
    virtual LRESULT OnClose();
    virtual LRESULT OnDestroy();
    virtual LRESULT OnCtlColorScrollBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDown(unsigned int& keyState, int& x, int& y);
    virtual LRESULT OnLButtonUp(unsigned int& keyState, int& x, int& y);
    virtual LRESULT OnMouseMove(unsigned int& keyState, int& x, int& y);
    virtual LRESULT OnMouseHover(unsigned int& keyState, int& x, int& y);
    virtual LRESULT OnMouseLeave();
    virtual LRESULT OnNcMouseMove(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMove(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDblClk(unsigned int& keyState, int& x, int& y);
    virtual LRESULT OnMouseWheel(unsigned short& keyState, short& wheelDelta, int& x, int& y);
    virtual LRESULT OnHScroll(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnVScroll(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRButtonDown(unsigned int& keyState, int& x, int& y);
    virtual LRESULT OnRButtonUp(unsigned int& keyState, int& x, int& y);
    virtual LRESULT OnGetDlgCode(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnChar(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Kept so that the slot order stays stable; nothing calls it.
    virtual LRESULT OnReservedB(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnWindowPosChanging(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    virtual ~CMessage();
};

} // namespace Orvanel::Window
