// The child-window base: creation, routing and results of LocalWindowProc, double-buffered
// painting, the worker thread, and the balance of what a window takes from the system.
#include "module/ModuleInstance.h"
#include "support/ImportPatch.h"
#include "support/OleCallCounter.h"
#include "window/LocalWindow.h"

#include <doctest/doctest.h>

#include <atomic>
#include <cstdint>

using namespace Orvanel::Window;
using QuilletTest::OleCounters;
using QuilletTest::OleHook;

namespace {

LPARAM Point(int x, int y) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint16_t>(y) << 16) |
                                                          static_cast<std::uint16_t>(x)));
}

// Records what its handlers receive; painting fills the client area with one colour.
class CRecordingWindow : public CLocalWindow {
public:
    int createCalls = 0, ncCreateCalls = 0, ncDestroyCalls = 0, destroyCalls = 0;
    unsigned int widthSeenBySize = 0;
    unsigned int mouseKeys = 0;
    int mouseX = 0, mouseY = 0;
    LRESULT closeResult = 1;
    CDrawContext* paintedWith = nullptr;
    COLORREF fill = RGB(10, 200, 30);
    std::atomic<int> idleTurns{0};
    std::atomic<UINT> threadMessage{0};
    std::atomic<LPARAM> threadParameter{0};

    LRESULT OnCreate() override {
        ++createCalls;
        return CLocalWindow::OnCreate();
    }
    LRESULT OnNcCreate(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        ++ncCreateCalls;
        return CLocalWindow::OnNcCreate(w, m, wp, lp);
    }
    LRESULT OnNcDestroy(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        ++ncDestroyCalls;
        return CLocalWindow::OnNcDestroy(w, m, wp, lp);
    }
    LRESULT OnDestroy() override {
        ++destroyCalls;
        return CLocalWindow::OnDestroy();
    }
    LRESULT OnSize(unsigned int& w, unsigned int& h, unsigned int& type) override {
        widthSeenBySize = width;
        return CLocalWindow::OnSize(w, h, type);
    }
    LRESULT OnRButtonUp(unsigned int& keys, int& x, int& y) override {
        mouseKeys = keys;
        mouseX = x;
        mouseY = y;
        return 0;
    }
    LRESULT OnClose() override { return closeResult; }
    LRESULT OnPaint(CDrawContext* context) override {
        paintedWith = context;
        RECT client{};
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(context->deviceContext, &client, brush);
        DeleteObject(brush);
        return 0;
    }
    int OnThreadMessage(UINT message, LPARAM lParam) override {
        threadParameter = lParam;
        threadMessage = message;
        return 0;
    }
    void OnThreadIdle() override { ++idleTurns; }
};

// A top-level window that plays the dialog, wrapped as the dialogs wrap theirs.
struct Host {
    HWND window = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 50, 50, 400, 300,
                                  nullptr, nullptr, nullptr, nullptr);
    CLocalWindow wrapper{window};
    Host() { Orvanel::SetModuleInstance(GetModuleHandleW(nullptr)); }
    ~Host() { DestroyWindow(window); }
};

const CWindowPlacement kPlacement{10, 20, 120, 80};

COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

} // namespace

TEST_CASE("CreateLocalWindow makes a child bound to the object, then routes its messages") {
    Host host;
    CRecordingWindow child;
    CHECK(child.CreateLocalWindow(&host.wrapper, WS_CHILD | WS_VISIBLE, L"TestPane", &kPlacement) ==
          0);
    REQUIRE(child.window != nullptr);
    CHECK(child.parent == &host.wrapper);
    CHECK(GetParent(child.window) == host.window);
    CHECK(GetWindowLongPtrW(child.window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(&child));
    CHECK((GetWindowLongPtrW(child.window, GWL_EXSTYLE) & WS_EX_STATICEDGE) != 0);
    CHECK(child.createCalls == 1);
    CHECK(child.ncCreateCalls == 0); // the object is attached only at WM_CREATE
    CHECK(child.drawContext != nullptr);

    // The first WM_SIZE already stored the client size.
    RECT client{};
    GetClientRect(child.window, &client);
    CHECK(child.GetWidth() == static_cast<unsigned int>(client.right));
    CHECK(child.GetHeight() == static_cast<unsigned int>(client.bottom));

    SendMessageW(child.window, WM_SIZE, SIZE_RESTORED, Point(400, 200));
    CHECK(child.widthSeenBySize == 400);
    CHECK(child.GetWidth() == 400);
    CHECK(child.GetHeight() == 200);

    SendMessageW(child.window, WM_RBUTTONUP, MK_SHIFT, Point(-5, 300));
    CHECK(child.mouseKeys == MK_SHIFT);
    CHECK(child.mouseX == -5);
    CHECK(child.mouseY == 300);

    // A second window under the same class name: the registration fails, the window works.
    CRecordingWindow twin;
    twin.CreateLocalWindow(&host.wrapper, WS_CHILD | WS_VISIBLE, L"TestPane", &kPlacement);
    CHECK(twin.window != nullptr);
    CHECK(twin.createCalls == 1);

    DestroyWindow(child.window);
    CHECK(child.destroyCalls == 1);
    CHECK(child.ncDestroyCalls == 0); // detached at WM_DESTROY
    CHECK(child.drawContext == nullptr);
    CHECK_FALSE(IsWindow(child.window));
}

TEST_CASE("WM_CLOSE: the default destroys the window, another result keeps it") {
    Host host;
    CRecordingWindow child;
    child.CreateLocalWindow(&host.wrapper, WS_CHILD | WS_VISIBLE, L"TestPane", &kPlacement);
    child.closeResult = 0;
    CHECK(SendMessageW(child.window, WM_CLOSE, 0, 0) == 1);
    CHECK(IsWindow(child.window));
    child.closeResult = 1;
    SendMessageW(child.window, WM_CLOSE, 0, 0);
    CHECK_FALSE(IsWindow(child.window));
}

TEST_CASE("painting: double-buffered to the screen, one back buffer kept") {
    Host host;
    CRecordingWindow child;
    child.doubleBuffered = true;
    child.CreateLocalWindow(&host.wrapper, WS_CHILD | WS_VISIBLE, L"TestPane", &kPlacement);
    child.Redraw();
    CHECK(child.paintedWith != nullptr);
    CHECK(ScreenPixel(child.window, 5, 5) == RGB(10, 200, 30));
    HBITMAP first = child.backBuffer;
    CHECK(first != nullptr);

    child.fill = RGB(200, 40, 90);
    child.Redraw();
    CHECK(ScreenPixel(child.window, 5, 5) == RGB(200, 40, 90));
    CHECK(child.backBuffer != first);
    CHECK(GetObjectType(first) == 0); // the previous back buffer was deleted

    // WM_PAINT with a device context in wParam paints through the window's own context.
    HDC other = CreateCompatibleDC(nullptr);
    SendMessageW(child.window, WM_PAINT, reinterpret_cast<WPARAM>(other), 0);
    CHECK(child.paintedWith == child.drawContext);
    DeleteDC(other);
}

TEST_CASE("the worker thread: its queue, its idle turns, and its end at WM_DESTROY") {
    Host host;
    auto observe = [](CLocalWindow& w) {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), w.threadHandle, GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        return copy;
    };
    auto exitCodeAfterDestroy = [](CLocalWindow& w, HANDLE observed) {
        DestroyWindow(w.window);
        CHECK(w.threadHandle == nullptr);
        DWORD exitCode = 0;
        CHECK(WaitForSingleObject(observed, 0) == WAIT_OBJECT_0);
        GetExitCodeThread(observed, &exitCode);
        CloseHandle(observed);
        return exitCode;
    };
    SUBCASE("a thread that ends by itself") {
        CRecordingWindow child;
        child.startThread = true;
        child.CreateLocalWindow(&host.wrapper, WS_CHILD, L"TestPane", &kPlacement);
        REQUIRE(child.threadHandle != nullptr);
        HANDLE observed = observe(child);
        CHECK(GetThreadPriority(observed) == THREAD_PRIORITY_LOWEST);
        for (int i = 0; i < 300 && (child.idleTurns == 0 || child.threadMessage == 0); ++i) {
            PostThreadMessageW(child.threadId, WM_USER + 7, 0, 99);
            Sleep(20);
        }
        CHECK(child.idleTurns > 0);
        CHECK((child.threadMessage == WM_USER + 7 && child.threadParameter == 99));
        CHECK(exitCodeAfterDestroy(child, observed) == 20);
    }
    SUBCASE("a thread that does not end by itself is ended") {
        class CStubbornWindow : public CLocalWindow {
        public:
            std::atomic<bool> busy{false}, finishedTurn{false};
            void OnThreadIdle() override {
                busy = true;
                Sleep(5000);
                finishedTurn = true;
            }
        } child;
        child.startThread = true;
        child.CreateLocalWindow(&host.wrapper, WS_CHILD, L"TestPane", &kPlacement);
        for (int i = 0; i < 500 && !child.busy; ++i) {
            Sleep(10);
        }
        CHECK(exitCodeAfterDestroy(child, observe(child)) == 20);
        CHECK_FALSE(child.finishedTurn);
    }
    CLocalWindow idle;
    idle.StopThread(); // no thread: nothing happens
    CHECK(idle.threadHandle == nullptr);
}

extern "C" {
extern decltype(&GetDC) __imp_GetDC;
extern decltype(&ReleaseDC) __imp_ReleaseDC;
}

namespace {

// Counts the framework's GetDC and ReleaseDC calls and passes them on.
struct DeviceContextCounters {
    static inline int taken = 0;
    static inline int released = 0;
    static inline decltype(&GetDC) realGet = nullptr;
    static inline decltype(&ReleaseDC) realRelease = nullptr;
    static HDC WINAPI Get(HWND window) {
        ++taken;
        return realGet(window);
    }
    static int WINAPI Release(HWND window, HDC dc) {
        ++released;
        return realRelease(window, dc);
    }
};

} // namespace

TEST_CASE("a window gives back what it takes: its device context and its OLE initialisation") {
    Host host;
    SUBCASE("the device context taken at WM_CREATE is released at WM_DESTROY") {
        DeviceContextCounters::taken = 0;
        DeviceContextCounters::released = 0;
        DeviceContextCounters::realGet = __imp_GetDC;
        DeviceContextCounters::realRelease = __imp_ReleaseDC;
        {
            QuilletTest::ImportPatch<decltype(&GetDC)> get(__imp_GetDC,
                                                           &DeviceContextCounters::Get);
            QuilletTest::ImportPatch<decltype(&ReleaseDC)> release(
                __imp_ReleaseDC, &DeviceContextCounters::Release);
            CRecordingWindow child;
            child.CreateLocalWindow(&host.wrapper, WS_CHILD, L"TestPane", &kPlacement);
            CHECK(DeviceContextCounters::taken == 1);
            DestroyWindow(child.window);
        }
        CHECK(DeviceContextCounters::released == DeviceContextCounters::taken);
    }
    SUBCASE("OLE: balanced when it succeeds, untouched when it fails") {
        for (HRESULT result : {S_OK, RPC_E_CHANGED_MODE}) {
            OleHook hook(result);
            CRecordingWindow child;
            child.CreateLocalWindow(&host.wrapper, WS_CHILD, L"TestPane", &kPlacement);
            DestroyWindow(child.window);
            CHECK(OleCounters::initializeCalls == 1);
            CHECK(OleCounters::uninitializeCalls == (result == S_OK ? 1 : 0));
        }
    }
}
