#include "window/LocalWindow.h"

#include "win32/MessageRoute.h"
#include "win32/MouseArguments.h"
#include "win32/OleForWindow.h"
#include "win32/ModuleInstance.h"

#include <ole2.h>
#include <process.h>

namespace Orvanel::Window {

using namespace Orvanel::Win32;

namespace {

constexpr DWORD kThreadExitCode = 20;
constexpr unsigned kThreadStackSize = 0x20000;

using Route = CMessageRoute<CLocalWindow, LRESULT>;
using RawHandler = LRESULT (CMessage::*)(HWND, UINT, WPARAM, LPARAM);
using MouseHandler = LRESULT (CMessage::*)(unsigned int&, int&, int&);
using KeyHandler = LRESULT (CMessage::*)(unsigned int&, unsigned int&);

// What a handler's result means: the message's own result, or, when it is 1, "let the default
// window procedure answer".
enum class Rule { Returned, DefaultWhenOne };

LRESULT Answer(Rule rule, LRESULT result, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return rule == Rule::DefaultWhenOne && result == 1
               ? DefWindowProcW(window, message, wParam, lParam)
               : result;
}

template <RawHandler handler>
LRESULT Raw(CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return (object.*handler)(window, message, wParam, lParam);
}

template <MouseHandler handler, Rule rule>
LRESULT Mouse(CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MouseArguments mouse = DecodeMouse(wParam, lParam);
    return Answer(rule, (object.*handler)(mouse.keyState, mouse.x, mouse.y), window, message,
                  wParam, lParam);
}

template <KeyHandler handler>
LRESULT Key(CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    KeyArguments key = DecodeKey(wParam, lParam);
    return Answer(Rule::DefaultWhenOne, (object.*handler)(key.keyCode, key.keyData), window,
                  message, wParam, lParam);
}

} // namespace

CLocalWindow::CLocalWindow()
    : window(nullptr), parent(nullptr), threadInterval(20), threadId(0), threadHandle(nullptr),
      startThread(false), backBuffer(nullptr), doubleBuffered(false), width(0), height(0) {
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

    drawContext = std::make_unique<CDrawContext>(CDrawContext{nullptr, GetDC(newWindow)});
    AttachDrawContext(drawContext.get());
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
    return Answer(Rule::DefaultWhenOne, OnCreate(), newWindow, message, wParam, lParam);
}

LRESULT CLocalWindow::HandleDestroy(HWND oldWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    SetWindowLongPtrW(oldWindow, GWLP_USERDATA, 0);
    Win32::UninitializeOleForWindow(oldWindow);
    StopThread();
    if (drawContext != nullptr) {
        if (drawContext->deviceContext != nullptr) {
            ReleaseDC(oldWindow, drawContext->deviceContext);
        }
        drawContext.reset();
    }
    const LRESULT result = OnDestroy();
    return result == 1 ? DefWindowProcW(oldWindow, message, wParam, lParam) : 1;
}

LRESULT CLocalWindow::HandlePaint(HWND paintedWindow, WPARAM wParam) {
    if (wParam != 0) {
        // Painting into a given device context still goes through the window's own one.
        return OnPaint(drawContext.get());
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
    // Every message a window object handles, with the handler's arguments as decoded for it and
    // what its result means; any other message goes to the default window procedure.
    static constexpr Route kRoutes[] = {
        {WM_NCCREATE, Raw<&CMessage::OnNcCreate>},
        {WM_CTLCOLORSTATIC, Raw<&CMessage::OnCtlColorStatic>},
        {WM_CTLCOLOREDIT, Raw<&CMessage::OnCtlColorEdit>},
        {WM_NCDESTROY, Raw<&CMessage::OnNcDestroy>},
        {WM_KILLFOCUS, Raw<&CMessage::OnKillFocus>},
        {WM_CLIPBOARDUPDATE, Raw<&CMessage::OnClipboardUpdate>},
        {WM_DESTROYCLIPBOARD, Raw<&CMessage::OnDestroyClipboard>},
        {WM_ACTIVATE, Raw<&CMessage::OnActivate>},
        {WM_SHOWWINDOW,
         [](CLocalWindow& object, HWND, UINT, WPARAM wParam, LPARAM lParam) {
             bool shown = wParam != 0;
             unsigned int status = static_cast<unsigned int>(lParam);
             return object.OnShowWindow(shown, status);
         }},
        {WM_SYSCOMMAND, Raw<&CMessage::OnSysCommand>},
        {WM_ERASEBKGND,
         [](CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
             object.OnEraseBackground(reinterpret_cast<HDC>(wParam));
             return DefWindowProcW(window, message, wParam, lParam);
         }},
        {WM_TIMER,
         [](CLocalWindow& object, HWND, UINT, WPARAM wParam, LPARAM) {
             unsigned int timerId = static_cast<unsigned int>(wParam);
             return object.OnTimer(timerId);
         }},
        {WM_NOTIFY, Raw<&CMessage::OnNotify>},
        {WM_COMMAND,
         [](CLocalWindow& object, HWND, UINT, WPARAM wParam, LPARAM lParam) {
             unsigned int commandId = LOWORD(wParam);
             unsigned int code = HIWORD(wParam);
             return object.OnCommand(commandId, code, reinterpret_cast<HWND>(lParam));
         }},
        {WM_CONTEXTMENU, Raw<&CMessage::OnContextMenu>},
        {WM_SETFOCUS, Raw<&CMessage::OnSetFocus>},
        {WM_PAINT, [](CLocalWindow& object, HWND window, UINT, WPARAM wParam,
                      LPARAM) { return object.HandlePaint(window, wParam); }},
        {WM_MEASUREITEM, Raw<&CMessage::OnMeasureItem>},
        {WM_DRAWITEM, Raw<&CMessage::OnDrawItem>},
        {WM_KEYUP, Key<&CMessage::OnKeyUp>},
        {WM_KEYDOWN, Key<&CMessage::OnKeyDown>},
        {WM_SIZE,
         [](CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
             object.width = LOWORD(lParam);
             object.height = HIWORD(lParam);
             unsigned int sizeType = static_cast<unsigned int>(wParam);
             return Answer(Rule::DefaultWhenOne,
                           object.OnSize(object.width, object.height, sizeType), window, message,
                           wParam, lParam);
         }},
        {WM_CLOSE,
         [](CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
             // 1 destroys the window; anything else keeps it.
             return object.OnClose() == 1 ? DefWindowProcW(window, message, wParam, lParam) : 1;
         }},
        {WM_DESTROY,
         [](CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
             return object.HandleDestroy(window, message, wParam, lParam);
         }},
        {WM_CTLCOLORSCROLLBAR, Raw<&CMessage::OnCtlColorScrollBar>},
        {WM_LBUTTONDOWN, Mouse<&CMessage::OnLButtonDown, Rule::DefaultWhenOne>},
        {WM_LBUTTONUP, Mouse<&CMessage::OnLButtonUp, Rule::DefaultWhenOne>},
        {WM_MOUSEMOVE, Mouse<&CMessage::OnMouseMove, Rule::DefaultWhenOne>},
        {WM_MOUSEHOVER, Mouse<&CMessage::OnMouseHover, Rule::Returned>},
        {WM_MOUSELEAVE,
         [](CLocalWindow& object, HWND, UINT, WPARAM, LPARAM) { return object.OnMouseLeave(); }},
        {WM_NCMOUSEMOVE, Raw<&CMessage::OnNcMouseMove>},
        {WM_MOVE, Raw<&CMessage::OnMove>},
        {WM_LBUTTONDBLCLK, Mouse<&CMessage::OnLButtonDblClk, Rule::Returned>},
        {WM_MOUSEWHEEL,
         [](CLocalWindow& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
             WheelArguments wheel = DecodeWheel(wParam, lParam);
             return Answer(Rule::DefaultWhenOne,
                           object.OnMouseWheel(wheel.keyState, wheel.delta, wheel.x, wheel.y),
                           window, message, wParam, lParam);
         }},
        {WM_HSCROLL, Raw<&CMessage::OnHScroll>},
        {WM_VSCROLL, Raw<&CMessage::OnVScroll>},
        {WM_RBUTTONDOWN, Mouse<&CMessage::OnRButtonDown, Rule::DefaultWhenOne>},
        {WM_RBUTTONUP, Mouse<&CMessage::OnRButtonUp, Rule::DefaultWhenOne>},
        {WM_GETDLGCODE, Raw<&CMessage::OnGetDlgCode>},
        {WM_CHAR, Raw<&CMessage::OnChar>},
        {WM_WINDOWPOSCHANGING, Raw<&CMessage::OnWindowPosChanging>},
    };

    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (create == nullptr || create->lpCreateParams == nullptr) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        }
        auto* object = static_cast<CLocalWindow*>(create->lpCreateParams);
        return object->HandleCreate(window, message, wParam, lParam);
    }
    const Route* line = FindRoute(kRoutes, message);
    return line == nullptr ? DefWindowProcW(window, message, wParam, lParam)
                           : RouteToAttached(*line, window, message, wParam, lParam);
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
