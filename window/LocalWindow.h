#pragma once
#include "theme/Theme.h"
#include "window/DrawContext.h"
#include "window/Message.h"

#include <windows.h>

#include <memory>

namespace Orvanel::Window {

// Where a child window goes, in client coordinates of its parent.
struct CWindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

// A child window bound to an object: registers its class, creates the window and routes its
// messages through LocalWindowProc to the object's handlers, painting directly or through an
// off-screen bitmap. Built with the window handle of an existing window (a dialog), it is a
// plain wrapper that only serves as the parent of other windows and receives no messages.
class CLocalWindow : public CMessage {
public:
    CLocalWindow();
    explicit CLocalWindow(HWND existingWindow);
    ~CLocalWindow() override;

    CLocalWindow(const CLocalWindow&) = delete;
    CLocalWindow& operator=(const CLocalWindow&) = delete;

    virtual void SetColorBack(COLORREF& color);
    virtual void Show(bool visible);
    // Repaints at once: the change is on screen when the call returns.
    virtual void Redraw();
    virtual unsigned int GetWidth();
    virtual unsigned int GetHeight();
    // Worker thread: each queued message but WM_QUIT; 1 lets the thread dispatch it.
    virtual int OnThreadMessage(UINT message, LPARAM lParam);
    // Worker thread: a turn that found the queue empty.
    virtual void OnThreadIdle();
    // Called at WM_CREATE with the window's own draw context, before the window field is set.
    virtual void AttachDrawContext(CDrawContext* drawContext);
    // Kept so that the slot order stays stable; nothing calls it.
    virtual void OnReservedC(INT_PTR value);

    // Registers a window class under the name (also the title) and creates the window as a
    // child of the parent's window. Returns 0.
    int CreateLocalWindow(CLocalWindow* parentWindow, DWORD style, const wchar_t* name,
                          const CWindowPlacement* placement);
    BOOL IsVisible();
    // Ends the worker thread if one runs; a thread that does not end by itself within 100 ms
    // of the quit request is terminated.
    void StopThread();

    HWND Handle() const { return window; }

    std::unique_ptr<CDrawContext> drawContext;
    HWND window;
    CLocalWindow* parent;
    unsigned int threadInterval;
    unsigned int threadId;
    HANDLE threadHandle;
    bool startThread;
    HBITMAP backBuffer;
    bool doubleBuffered;
    unsigned int width;
    unsigned int height;
    CTheme theme;

private:
    friend LRESULT CALLBACK LocalWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleCreate(HWND newWindow, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleDestroy(HWND oldWindow, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePaint(HWND paintedWindow, WPARAM wParam);
};

// The window procedure of every class that CreateLocalWindow registers.
LRESULT CALLBACK LocalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The worker thread's procedure; its argument is the window object.
unsigned int __stdcall LocalWindowThread(void* windowObject);

} // namespace Orvanel::Window
