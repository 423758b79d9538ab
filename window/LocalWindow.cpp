#include "window/LocalWindow.h"

#include "win32/MouseArguments.h"
#include "win32/OleForWindow.h"
#include "win32/ModuleInstance.h"

#include <ole2.h>
#include <process.h>

namespace Orvanel::Window {

using Win32::DecodeMouse;
using Win32::MouseArguments;

namespace {

constexpr DWORD kThreadExitCode = 20;
constexpr unsigned kThreadStackSize = 0x20000;

// For the handlers whose result 1 means "let the default window procedure answer".
LRESULT DefaultWhenOne(LRESULT result, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return result == 1 ? DefWindowProcW(window, message, wParam, lParam) : result;
}

// The mouse handlers whose result 1 sends the message on to the default procedure.
using MouseHandler = LRESULT (CMessage::*)(unsigned int&, int&, int&);

MouseHandler DefaultingMouseHandler(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
        return &CMessage::OnLButtonDown;
    case WM_LBUTTONUP:
        return &CMessage::OnLButtonUp;
    case WM_MOUSEMOVE:
        return &CMessage::OnMouseMove;
    case WM_RBUTTONDOWN:
        return &CMessage::OnRButtonDown;
    case WM_RBUTTONUP:
        return &CMessage::OnRButtonUp;
    default:
        return nullptr;
    }
}

} // namespace

CLocalWindow::CLocalWindow()
    : drawContext(nullptr), window(nullptr), parent(nullptr), threadInterval(20), threadId(0),
      threadHandle(nullptr), startThread(false), backBuffer(nullptr), doubleBuffered(false),
      width(0), height(0) {
    theme.colorBack = 0;
}

CLocalWindow::CLocalWindow(HWND existingWindow) : CLocalWindow() { window = existingWindow; }

// The window, the worker thread and the draw context belong to WM_DESTROY; the object only
// owns its last off-screen bitmap.
CLocalWindow::~CLocalWindow() {
    if (backBuffer != nullptr) {
        DeleteObject(backBuffer);
        backBuffer = nullptr;
    }
}

void CLocalWindow::SetColorBack(COLORREF& color) { theme.colorBack = color; }

void CLocalWindow::Show(bool visible) { ShowWindow(window, visible ? SW_SHOW : SW_HIDE); }

void CLocalWindow::Redraw() {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

unsigned int CLocalWindow::GetWidth() { return width; }

unsigned int CLocalWindow::GetHeight() { return height; }

int CLocalWindow::OnThreadMessage(UINT, LPARAM) { return 1; }

void CLocalWindow::OnThreadIdle() {}

void CLocalWindow::AttachDrawContext(CDrawContext*) {}

void CLocalWindow::OnReservedC(INT_PTR) {}

int CLocalWindow::CreateLocalWindow(CLocalWindow* parentWindow, DWORD style, const wchar_t* name,
                                    const CWindowPlacement* placement) {
    parent = parentWindow;
    const HINSTANCE instance = Win32::GetModuleInstance();

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = LocalWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, nullptr);
    windowClass.hIconSm = LoadIconW(instance, nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, nullptr);
    windowClass.lpszClassName = name;
    // A second registration of the same name fails; the first one has the same procedure.
    RegisterClassExW(&windowClass);

    const CWindowPlacement none{0, 0, 0, 0};
    const CWindowPlacement& where = placement != nullptr ? *placement : none;
    window = CreateWindowExW(WS_EX_STATICEDGE, name, name, style, where.x, where.y, where.width,
                             where.height, parentWindow != nullptr ? parentWindow->window : nullptr,
                             nullptr, instance, this);
    return 0;
}

BOOL CLocalWindow::IsVisible() { return IsWindowVisible(window); }

void CLocalWindow::StopThread() {
    if (threadHandle == nullptr) {
        return;
    }
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    // The thread has 100 ms to end by itself; after that it is ended.
    if (WaitForSingleObject(threadHandle, 100) != WAIT_OBJECT_0) {
        TerminateThread(threadHandle, kThreadExitCode);
        WaitForSingleObject(threadHandle, INFINITE);
    }
    CloseHandle(threadHandle);
    threadHandle = nullptr;
}

LRESULT CLocalWindow::HandleCreate(HWND newWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    // OLE is taken only for a window that is attached to an object, so that the WM_DESTROY
    // of the same object balances it.
    Win32::InitializeOleForWindow(newWindow);
    SetWindowLongPtrW(newWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));

    drawContext = new CDrawContext{nullptr, GetDC(newWindow)};
    AttachDrawContext(drawContext);
    window = newWindow;

    if (startThread) {
        unsigned int id = 0;
        threadHandle = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, kThreadStackSize, LocalWindowThread, this, 0, &id));
        threadId = id;
        if (threadHandle != nullptr) {
            SetThreadPriority(threadHandle, THREAD_PRIORITY_LOWEST);
        }
    }
    return DefaultWhenOne(OnCreate(), newWindow, message, wParam, lParam);
}

LRESULT CLocalWindow::HandleDestroy(HWND oldWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    SetWindowLongPtrW(oldWindow, GWLP_USERDATA, 0);
    Win32::UninitializeOleForWindow(oldWindow);
    StopThread();
    if (drawContext != nullptr) {
        if (drawContext->deviceContext != nullptr) {
            ReleaseDC(oldWindow, drawContext->deviceContext);
        }
        delete drawContext;
        drawContext = nullptr;
    }
    const LRESULT result = OnDestroy();
    return result == 1 ? DefWindowProcW(oldWindow, message, wParam, lParam) : 1;
}

LRESULT CLocalWindow::HandlePaint(HWND paintedWindow, WPARAM wParam) {
    if (wParam != 0) {
        // Painting into a given device context still goes through the window's own one.
        return OnPaint(drawContext);
    }
    PAINTSTRUCT paint;
    HDC paintDc = BeginPaint(paintedWindow, &paint);
    LRESULT result = 0;
    if (!doubleBuffered) {
        CDrawContext direct{nullptr, paintDc};
        result = OnPaint(&direct);
    } else {
        RECT client{};
        GetClientRect(paintedWindow, &client);
        const int paintWidth =
            client.right > client.left ? client.right - client.left : client.left - client.right;
        const int paintHeight =
            client.bottom > client.top ? client.bottom - client.top : client.top - client.bottom;
        HDC memory = CreateCompatibleDC(paintDc);
        CDrawContext offscreen{CreateCompatibleBitmap(paintDc, paintWidth, paintHeight), memory};
        HGDIOBJ previous = SelectObject(memory, offscreen.bitmap);
        result = OnPaint(&offscreen);
        BitBlt(paintDc, 0, 0, paintWidth, paintHeight, memory, 0, 0, SRCCOPY);
        // Only the latest off-screen bitmap is kept; it must not stay selected in a DC that
        // is about to be deleted.
        SelectObject(memory, previous);
        DeleteDC(memory);
        if (backBuffer != nullptr) {
            DeleteObject(backBuffer);
        }
        backBuffer = offscreen.bitmap;
    }
    EndPaint(paintedWindow, &paint);
    return result;
}

LRESULT CALLBACK LocalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (create == nullptr || create->lpCreateParams == nullptr) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        }
        auto* object = static_cast<CLocalWindow*>(create->lpCreateParams);
        return object->HandleCreate(window, message, wParam, lParam);
    }

    auto* object = reinterpret_cast<CLocalWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (object == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    MouseArguments mouse = DecodeMouse(wParam, lParam);
    if (const MouseHandler handler = DefaultingMouseHandler(message)) {
        return DefaultWhenOne((object->*handler)(mouse.keyState, mouse.x, mouse.y), window, message,
                              wParam, lParam);
    }
    switch (message) {
    case WM_NCCREATE:
        return object->OnNcCreate(window, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        return object->OnCtlColorStatic(window, message, wParam, lParam);
    case WM_CTLCOLOREDIT:
        return object->OnCtlColorEdit(window, message, wParam, lParam);
    case WM_NCDESTROY:
        return object->OnNcDestroy(window, message, wParam, lParam);
    case WM_KILLFOCUS:
        return object->OnKillFocus(window, message, wParam, lParam);
    case WM_CLIPBOARDUPDATE:
        return object->OnClipboardUpdate(window, message, wParam, lParam);
    case WM_DESTROYCLIPBOARD:
        return object->OnDestroyClipboard(window, message, wParam, lParam);
    case WM_ACTIVATE:
        return object->OnActivate(window, message, wParam, lParam);
    case WM_SHOWWINDOW: {
        bool shown = wParam != 0;
        unsigned int status = static_cast<unsigned int>(lParam);
        return object->OnShowWindow(shown, status);
    }
    case WM_SYSCOMMAND:
        return object->OnSysCommand(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        object->OnEraseBackground(reinterpret_cast<HDC>(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_TIMER: {
        unsigned int timerId = static_cast<unsigned int>(wParam);
        return object->OnTimer(timerId);
    }
    case WM_NOTIFY:
        return object->OnNotify(window, message, wParam, lParam);
    case WM_COMMAND: {
        unsigned int commandId = LOWORD(wParam);
        unsigned int code = HIWORD(wParam);
        return object->OnCommand(commandId, code, reinterpret_cast<HWND>(lParam));
    }
    case WM_CONTEXTMENU:
        return object->OnContextMenu(window, message, wParam, lParam);
    case WM_SETFOCUS:
        return object->OnSetFocus(window, message, wParam, lParam);
    case WM_PAINT:
        return object->HandlePaint(window, wParam);
    case WM_MEASUREITEM:
        return object->OnMeasureItem(window, message, wParam, lParam);
    case WM_DRAWITEM:
        return object->OnDrawItem(window, message, wParam, lParam);
    case WM_KEYUP:
    case WM_KEYDOWN: {
        unsigned int keyCode = static_cast<unsigned int>(wParam);
        unsigned int keyData = static_cast<unsigned int>(lParam);
        const LRESULT result = message == WM_KEYUP ? object->OnKeyUp(keyCode, keyData)
                                                   : object->OnKeyDown(keyCode, keyData);
        return DefaultWhenOne(result, window, message, wParam, lParam);
    }
    case WM_SIZE: {
        object->width = LOWORD(lParam);
        object->height = HIWORD(lParam);
        unsigned int sizeType = static_cast<unsigned int>(wParam);
        return DefaultWhenOne(object->OnSize(object->width, object->height, sizeType), window,
                              message, wParam, lParam);
    }
    case WM_CLOSE:
        return object->OnClose() == 1 ? DefWindowProcW(window, message, wParam, lParam) : 1;
    case WM_DESTROY:
        return object->HandleDestroy(window, message, wParam, lParam);
    case WM_CTLCOLORSCROLLBAR:
        return object->OnCtlColorScrollBar(window, message, wParam, lParam);
    case WM_MOUSEHOVER:
        return object->OnMouseHover(mouse.keyState, mouse.x, mouse.y);
    case WM_MOUSELEAVE:
        return object->OnMouseLeave();
    case WM_NCMOUSEMOVE:
        return object->OnNcMouseMove(window, message, wParam, lParam);
    case WM_MOVE:
        return object->OnMove(window, message, wParam, lParam);
    case WM_LBUTTONDBLCLK:
        return object->OnLButtonDblClk(mouse.keyState, mouse.x, mouse.y);
    case WM_MOUSEWHEEL: {
        unsigned short keyState = LOWORD(wParam);
        short wheelDelta = static_cast<short>(HIWORD(wParam));
        return DefaultWhenOne(object->OnMouseWheel(keyState, wheelDelta, mouse.x, mouse.y), window,
                              message, wParam, lParam);
    }
    case WM_HSCROLL:
        return object->OnHScroll(window, message, wParam, lParam);
    case WM_VSCROLL:
        return object->OnVScroll(window, message, wParam, lParam);
    case WM_GETDLGCODE:
        return object->OnGetDlgCode(window, message, wParam, lParam);
    case WM_CHAR:
        return object->OnChar(window, message, wParam, lParam);
    case WM_WINDOWPOSCHANGING:
        return object->OnWindowPosChanging(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

unsigned int __stdcall LocalWindowThread(void* windowObject) {
    auto* object = static_cast<CLocalWindow*>(windowObject);
    const HRESULT ole = OleInitialize(nullptr);
    bool running = true;
    while (running) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                running = false;
            } else if (object->OnThreadMessage(message.message, message.lParam) == 1) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        } else {
            object->OnThreadIdle();
        }
        Sleep(object->threadInterval);
    }
    if (SUCCEEDED(ole)) {
        OleUninitialize();
    }
    _endthreadex(kThreadExitCode);
    return kThreadExitCode;
}

} // namespace Orvanel::Window
