#include "dialog/DialogProc.h"

#include "dialog/MessageDialog.h"
#include "win32/MessageRoute.h"
#include "win32/MouseArguments.h"
#include "win32/OleForWindow.h"

#include <memory>

namespace Orvanel::Dialog {

using namespace Orvanel::Win32;

namespace {

using Route = CMessageRoute<CMessageDialog, INT_PTR>;
using StandardHandler = INT_PTR (CMessageDialog::*)(HWND, UINT, WPARAM, LPARAM);
using MouseHandler = INT_PTR (CMessageDialog::*)(unsigned int*, int*, int*);
using KeyHandler = INT_PTR (CMessageDialog::*)(unsigned int*, unsigned int*);

template <StandardHandler handler>
INT_PTR Standard(CMessageDialog& object, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return (object.*handler)(dialog, message, wParam, lParam);
}

template <MouseHandler handler>
INT_PTR Mouse(CMessageDialog& object, HWND, UINT, WPARAM wParam, LPARAM lParam) {
    MouseArguments mouse = DecodeMouse(wParam, lParam);
    return (object.*handler)(&mouse.keyState, &mouse.x, &mouse.y);
}

template <KeyHandler handler>
INT_PTR Key(CMessageDialog& object, HWND, UINT, WPARAM wParam, LPARAM lParam) {
    KeyArguments key = DecodeKey(wParam, lParam);
    return (object.*handler)(&key.keyCode, &key.keyData);
}

// Every message a dialog object handles, with the handler's arguments as decoded for it;
// DialogProc answers any other message with 0.
constexpr Route kRoutes[] = {
    {WM_GETDLGCODE, Standard<&CMessageDialog::OnGetDlgCode>},
    {WM_ACTIVATE, Standard<&CMessageDialog::OnActivate>},
    {WM_SHOWWINDOW, Standard<&CMessageDialog::OnShowWindow>},
    {WM_SYSCOMMAND, Standard<&CMessageDialog::OnSysCommand>},
    {WM_ERASEBKGND, [](CMessageDialog& object, HWND, UINT, WPARAM wParam,
                       LPARAM) { return object.OnEraseBackground(reinterpret_cast<HDC>(wParam)); }},
    {WM_TIMER,
     [](CMessageDialog& object, HWND, UINT, WPARAM wParam, LPARAM) {
         unsigned int timerId = static_cast<unsigned int>(wParam);
         return object.OnTimer(&timerId);
     }},
    {WM_NOTIFY, Standard<&CMessageDialog::OnNotify>},
    {WM_COMMAND, Standard<&CMessageDialog::OnCommand>},
    {WM_CONTEXTMENU, Standard<&CMessageDialog::OnContextMenu>},
    {WM_SETFOCUS, Standard<&CMessageDialog::OnSetFocus>},
    {WM_PAINT,
     [](CMessageDialog& object, HWND, UINT, WPARAM, LPARAM) {
         // The record is freed here whatever the handler did with it.
         const auto record = std::make_unique<CPaintScratch>(CPaintScratch{0, 0});
         CPaintScratch* scratch = record.get();
         return object.OnPaint(&scratch);
     }},
    {WM_MEASUREITEM, Standard<&CMessageDialog::OnMeasureItem>},
    {WM_DRAWITEM, Standard<&CMessageDialog::OnDrawItem>},
    {WM_KEYUP, Key<&CMessageDialog::OnKeyUp>},
    {WM_KEYDOWN, Key<&CMessageDialog::OnKeyDown>},
    {WM_SIZE,
     [](CMessageDialog& object, HWND, UINT, WPARAM wParam, LPARAM lParam) {
         object.width = LOWORD(lParam);
         object.height = HIWORD(lParam);
         unsigned int sizeType = static_cast<unsigned int>(wParam);
         return object.OnSize(&object.width, &object.height, &sizeType);
     }},
    {WM_LBUTTONDBLCLK, Mouse<&CMessageDialog::OnLButtonDblClk>},
    {WM_CLOSE, [](CMessageDialog& object, HWND, UINT, WPARAM, LPARAM) { return object.OnClose(); }},
    {WM_DESTROY,
     [](CMessageDialog& object, HWND dialog, UINT, WPARAM, LPARAM) {
         const INT_PTR result = object.OnDestroy();
         SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
         UninitializeOleForWindow(dialog);
         return result;
     }},
    {WM_LBUTTONDOWN, Mouse<&CMessageDialog::OnLButtonDown>},
    {WM_LBUTTONUP, Mouse<&CMessageDialog::OnLButtonUp>},
    {WM_MOUSEMOVE,
     [](CMessageDialog& object, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
         MouseArguments mouse = DecodeMouse(wParam, lParam);
         const int result = object.OnMouseMove(&mouse.keyState, &mouse.x, &mouse.y);
         // 1 lets the default window procedure answer.
         return result == 1 ? DefWindowProcW(dialog, message, wParam, lParam)
                            : static_cast<INT_PTR>(result);
     }},
    {WM_MOUSEHOVER, Mouse<&CMessageDialog::OnMouseHover>},
    {WM_MOUSELEAVE,
     [](CMessageDialog& object, HWND, UINT, WPARAM, LPARAM) { return object.OnMouseLeave(); }},
    {WM_NCMOUSEMOVE, Standard<&CMessageDialog::OnNcMouseMove>},
    {WM_MOVE, Standard<&CMessageDialog::OnMove>},
    {WM_MOUSEWHEEL,
     [](CMessageDialog& object, HWND, UINT, WPARAM wParam, LPARAM lParam) {
         WheelArguments wheel = DecodeWheel(wParam, lParam);
         return object.OnMouseWheel(&wheel.keyState, &wheel.delta, &wheel.x, &wheel.y);
     }},
    {WM_HSCROLL, Standard<&CMessageDialog::OnHScroll>},
    {WM_VSCROLL, Standard<&CMessageDialog::OnVScroll>},
    {WM_RBUTTONDOWN, Mouse<&CMessageDialog::OnRButtonDown>},
    {WM_RBUTTONUP, Mouse<&CMessageDialog::OnRButtonUp>},
};

} // namespace

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* object = reinterpret_cast<CMessageDialog*>(lParam);
        InitializeOleForWindow(dialog);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        CenterDialogOnScreen(dialog);
        if (object == nullptr) {
            return 0;
        }
        return object->OnInitDialog(dialog, message, wParam, lParam);
    }
    const Route* line = FindRoute(kRoutes, message);
    // Unrouted messages get the dialog manager's own default processing.
    return line == nullptr ? 0 : RouteToAttached(*line, dialog, message, wParam, lParam);
}

void CenterDialogOnScreen(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(window, &placement);
    const RECT& normal = placement.rcNormalPosition;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int x = (normal.left - normal.right + screenWidth) / 2;
    const int y = (normal.top - normal.bottom + screenHeight) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace Orvanel::Dialog
