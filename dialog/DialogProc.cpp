#include "dialog/DialogProc.h"

#include "dialog/MessageDialog.h"
#include "win32/MouseArguments.h"
#include "win32/OleForWindow.h"

#include <memory>

namespace Orvanel::Dialog {

using Win32::DecodeMouse;
using Win32::InitializeOleForWindow;
using Win32::MouseArguments;
using Win32::UninitializeOleForWindow;

namespace {

bool IsRoutedMessage(UINT message) {
    switch (message) {
    case WM_GETDLGCODE:
    case WM_ACTIVATE:
    case WM_SHOWWINDOW:
    case WM_SYSCOMMAND:
    case WM_ERASEBKGND:
    case WM_TIMER:
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CONTEXTMENU:
    case WM_SETFOCUS:
    case WM_PAINT:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_KEYUP:
    case WM_KEYDOWN:
    case WM_SIZE:
    case WM_LBUTTONDBLCLK:
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case WM_NCMOUSEMOVE:
    case WM_MOVE:
    case WM_MOUSEWHEEL:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return true;
    default:
        return false;
    }
}

INT_PTR Route(CMessageDialog* object, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return object->OnGetDlgCode(dialog, message, wParam, lParam);
    case WM_ACTIVATE:
        return object->OnActivate(dialog, message, wParam, lParam);
    case WM_SHOWWINDOW:
        return object->OnShowWindow(dialog, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return object->OnSysCommand(dialog, message, wParam, lParam);
    case WM_ERASEBKGND:
        return object->OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_TIMER: {
        unsigned int timerId = static_cast<unsigned int>(wParam);
        return object->OnTimer(&timerId);
    }
    case WM_NOTIFY:
        return object->OnNotify(dialog, message, wParam, lParam);
    case WM_COMMAND:
        return object->OnCommand(dialog, message, wParam, lParam);
    case WM_CONTEXTMENU:
        return object->OnContextMenu(dialog, message, wParam, lParam);
    case WM_SETFOCUS:
        return object->OnSetFocus(dialog, message, wParam, lParam);
    case WM_PAINT: {
        // The record is freed here whatever the handler did with it.
        std::unique_ptr<CPaintScratch> owner(new CPaintScratch{0, 0});
        CPaintScratch* scratch = owner.get();
        return object->OnPaint(&scratch);
    }
    case WM_MEASUREITEM:
        return object->OnMeasureItem(dialog, message, wParam, lParam);
    case WM_DRAWITEM:
        return object->OnDrawItem(dialog, message, wParam, lParam);
    case WM_KEYUP:
    case WM_KEYDOWN: {
        unsigned int keyCode = static_cast<unsigned int>(wParam);
        unsigned int keyData = static_cast<unsigned int>(lParam);
        return message == WM_KEYUP ? object->OnKeyUp(&keyCode, &keyData)
                                   : object->OnKeyDown(&keyCode, &keyData);
    }
    case WM_SIZE: {
        object->width = LOWORD(lParam);
        object->height = HIWORD(lParam);
        unsigned int sizeType = static_cast<unsigned int>(wParam);
        return object->OnSize(&object->width, &object->height, &sizeType);
    }
    case WM_CLOSE:
        return object->OnClose();
    case WM_DESTROY: {
        const INT_PTR result = object->OnDestroy();
        SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
        UninitializeOleForWindow(dialog);
        return result;
    }
    case WM_MOUSELEAVE:
        return object->OnMouseLeave();
    case WM_NCMOUSEMOVE:
        return object->OnNcMouseMove(dialog, message, wParam, lParam);
    case WM_MOVE:
        return object->OnMove(dialog, message, wParam, lParam);
    case WM_MOUSEWHEEL: {
        unsigned short keyState = LOWORD(wParam);
        short wheelDelta = static_cast<short>(HIWORD(wParam));
        MouseArguments mouse = DecodeMouse(wParam, lParam);
        return object->OnMouseWheel(&keyState, &wheelDelta, &mouse.x, &mouse.y);
    }
    case WM_HSCROLL:
        return object->OnHScroll(dialog, message, wParam, lParam);
    case WM_VSCROLL:
        return object->OnVScroll(dialog, message, wParam, lParam);
    default:
        break;
    }

    MouseArguments mouse = DecodeMouse(wParam, lParam);
    switch (message) {
    case WM_LBUTTONDBLCLK:
        return object->OnLButtonDblClk(&mouse.keyState, &mouse.x, &mouse.y);
    case WM_LBUTTONDOWN:
        return object->OnLButtonDown(&mouse.keyState, &mouse.x, &mouse.y);
    case WM_LBUTTONUP:
        return object->OnLButtonUp(&mouse.keyState, &mouse.x, &mouse.y);
    case WM_MOUSEMOVE: {
        const int result = object->OnMouseMove(&mouse.keyState, &mouse.x, &mouse.y);
        if (result == 1) {
            return DefWindowProcW(dialog, message, wParam, lParam);
        }
        return static_cast<INT_PTR>(result);
    }
    case WM_MOUSEHOVER:
        return object->OnMouseHover(&mouse.keyState, &mouse.x, &mouse.y);
    case WM_RBUTTONDOWN:
        return object->OnRButtonDown(&mouse.keyState, &mouse.x, &mouse.y);
    case WM_RBUTTONUP:
        return object->OnRButtonUp(&mouse.keyState, &mouse.x, &mouse.y);
    default:
        return 0;
    }
}

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
    if (!IsRoutedMessage(message)) {
        // Unrouted messages get the dialog manager's own default processing.
        return 0;
    }
    auto* object = reinterpret_cast<CMessageDialog*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (object == nullptr) {
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
    return Route(object, dialog, message, wParam, lParam);
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
