// The child windows: creation, routing and results of LocalWindowProc, the worker thread, the
// balance of its OLE initialisation, the bitmap display window's scaled copy and where its
// clicks go, and the picking window's presses and drags. What the windows show on screen is
// checked by the dialogs' tests, the fitting arithmetic by the native layout tests.
#include "host/OrvanelBitmap.h"
#include "support/DialogHarness.h"
#include "support/OleCallCounter.h"
#include "win32/ModuleInstance.h"
#include "window/BitmapStaticWindow.h"
#include "window/BitmapStaticWindowSelector.h"

#include <algorithm>
#include <atomic>
#include <vector>

using namespace Orvanel::Window;
using namespace QuilletTest;

namespace {

// Records what its handlers receive.
class CRecordingWindow : public CLocalWindow {
public:
    int createCalls = 0, ncCalls = 0, destroyCalls = 0;
    unsigned int widthSeenBySize = 0, mouseKeys = 0;
    int mouseX = 0, mouseY = 0;
    LRESULT closeResult = 1;
    CDrawContext* paintedWith = nullptr;
    std::atomic<int> idleTurns{0};
    std::atomic<bool> stubborn{false}, finishedTurn{false}; // a stubborn idle turn lasts 5 s
    std::atomic<UINT> threadMessage{0};
    std::atomic<LPARAM> threadParameter{0};

    LRESULT OnCreate() override { return ++createCalls, CLocalWindow::OnCreate(); }
    LRESULT OnNcDestroy(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        return ++ncCalls, CLocalWindow::OnNcDestroy(w, m, wp, lp);
    }
    LRESULT OnDestroy() override { return ++destroyCalls, CLocalWindow::OnDestroy(); }
    LRESULT OnSize(unsigned int& w, unsigned int& h, unsigned int& type) override {
        widthSeenBySize = width;
        return CLocalWindow::OnSize(w, h, type);
    }
    LRESULT OnRButtonUp(unsigned int& keys, int& x, int& y) override {
        mouseKeys = keys, mouseX = x, mouseY = y;
        return 0;
    }
    LRESULT OnClose() override { return closeResult; }
    LRESULT OnPaint(CDrawContext* context) override { return paintedWith = context, 0; }
    int OnThreadMessage(UINT message, LPARAM lParam) override {
        threadParameter = lParam, threadMessage = message;
        return 0;
    }
    void OnThreadIdle() override {
        ++idleTurns;
        if (stubborn) {
            Sleep(5000);
            finishedTurn = true;
        }
    }
};

// A wrapper that records the double clicks its children forward.
class CRecordingParent : public CLocalWindow {
public:
    using CLocalWindow::CLocalWindow;
    int doubleClicks = 0, x = 0, y = 0;
    unsigned int keys = 0;
    LRESULT OnLButtonDblClk(unsigned int& k, int& px, int& py) override {
        return ++doubleClicks, keys = k, x = px, y = py, 0;
    }
};

// A top-level window that plays the dialog, wrapped as the dialogs wrap theirs.
struct Host {
    HWND window = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 30, 30, 700, 500,
                                  nullptr, nullptr, nullptr, nullptr);
    CRecordingParent wrapper{window};
    Host() { Orvanel::Win32::SetModuleInstance(GetModuleHandleW(nullptr)); }
    ~Host() { DestroyWindow(window); }
    void Create(CLocalWindow& child, DWORD style = WS_CHILD | WS_VISIBLE,
                CWindowPlacement placement = {10, 20, 120, 80}) {
        CHECK(child.CreateLocalWindow(&wrapper, style, L"TestPane", &placement) == 0);
    }
};

// Keeps every point a selector reports.
class CRecordingOwner : public CBitmapStaticWindowSelectorInterface {
public:
    std::vector<std::pair<int, int>> points;
    int SelectPoint(int& x, int& y) override {
        points.emplace_back(x, y);
        return 0;
    }
};

using Points = std::vector<std::pair<int, int>>;

bool Cursor(LPCWSTR which) { return GetCursor() == LoadCursorW(nullptr, which); }

} // namespace

TEST_CASE("CreateLocalWindow makes a child bound to the object, then routes its messages") {
    Host host;
    CRecordingWindow child, twin;
    host.Create(child);
    REQUIRE(child.window != nullptr);
    CHECK((child.parent == &host.wrapper && GetParent(child.window) == host.window));
    CHECK((child.createCalls == 1 && child.drawContext != nullptr));

    SendMessageW(child.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 200));
    CHECK((child.widthSeenBySize == 400 && child.GetWidth() == 400 && child.GetHeight() == 200));
    SendMessageW(child.window, WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(-5, 300));
    CHECK((child.mouseKeys == MK_SHIFT && child.mouseX == -5 && child.mouseY == 300));
    // WM_PAINT with a device context in wParam paints through the window's own context.
    HDC other = CreateCompatibleDC(nullptr);
    SendMessageW(child.window, WM_PAINT, reinterpret_cast<WPARAM>(other), 0);
    CHECK(child.paintedWith == child.drawContext);
    DeleteDC(other);

    // A second window under the same class name: the registration fails, the window works.
    host.Create(twin);
    CHECK((twin.window != nullptr && twin.createCalls == 1));

    DestroyWindow(child.window);
    CHECK((child.destroyCalls == 1 && child.drawContext == nullptr));
    CHECK(child.ncCalls == 0); // attached only from WM_CREATE to WM_DESTROY

    // WM_CLOSE: another result than 1 keeps the window, 1 lets it be destroyed.
    twin.closeResult = 0;
    CHECK(SendMessageW(twin.window, WM_CLOSE, 0, 0) == 1);
    CHECK(IsWindow(twin.window));
    twin.closeResult = 1;
    SendMessageW(twin.window, WM_CLOSE, 0, 0);
    CHECK_FALSE(IsWindow(twin.window));
}

TEST_CASE("the worker thread: its queue, its idle turns, and its end at WM_DESTROY") {
    Host host;
    for (bool stubborn : {false, true}) { // a thread that does not end by itself is ended
        CAPTURE(stubborn);
        CRecordingWindow child;
        child.stubborn = stubborn, child.startThread = true;
        host.Create(child, WS_CHILD);
        REQUIRE(child.threadHandle != nullptr);
        HANDLE observed = nullptr;
        DuplicateHandle(GetCurrentProcess(), child.threadHandle, GetCurrentProcess(), &observed, 0,
                        FALSE, DUPLICATE_SAME_ACCESS);
        CHECK(GetThreadPriority(observed) == THREAD_PRIORITY_LOWEST);
        CHECK_MESSAGE(WaitFor([&] {
                          PostThreadMessageW(child.threadId, WM_USER + 7, 0, 99);
                          return child.idleTurns > 0 && (stubborn || child.threadMessage != 0);
                      }),
                      "the worker thread took no message or no idle turn");
        CHECK((stubborn || (child.threadMessage == WM_USER + 7 && child.threadParameter == 99)));

        DestroyWindow(child.window);
        CHECK(child.threadHandle == nullptr);
        CHECK(WaitForSingleObject(observed, 0) == WAIT_OBJECT_0);
        DWORD exitCode = 0;
        GetExitCodeThread(observed, &exitCode);
        CloseHandle(observed);
        CHECK(exitCode == 20);
        CHECK_FALSE(child.finishedTurn);
    }
}

// The device contexts and GDI objects a window takes are accounted for by the leak soak.
TEST_CASE("a window gives back its OLE initialisation only when it took one") {
    Host host;
    for (HRESULT result : {S_OK, RPC_E_CHANGED_MODE}) {
        OleHook hook(result);
        CRecordingWindow child;
        host.Create(child, WS_CHILD);
        DestroyWindow(child.window);
        CHECK(OleCounters::initializeCalls == 1);
        CHECK(OleCounters::uninitializeCalls == (result == S_OK ? 1 : 0));
    }
}

TEST_CASE("the bitmap window: a copy at factor 1, else fitted on resize; clicks go up") {
    Host host;
    CBitmapStaticWindow view;
    host.Create(view);
    view.Redraw(); // without a source the background only
    CHECK(view.scaledBitmap == nullptr);

    COrvanelBitmap square = Pattern(50, 50), empty, wide = Pattern(400, 200);
    view.sourceBitmap = &square;
    SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 50));
    REQUIRE(view.scaledBitmap != nullptr);
    const COrvanelBitmap* reused = &*view.scaledBitmap;
    CHECK(std::equal(square.GetPtBitmap(), square.GetPtBitmap() + 50 * 50 * 4,
                     view.scaledBitmap->GetPtBitmap()));
    view.UpdateScaledBitmap();
    CHECK(&*view.scaledBitmap == reused); // the existing copy is reused
    view.sourceBitmap = &empty;
    view.UpdateScaledBitmap(); // nothing to fit: the copy stays
    CHECK(&*view.scaledBitmap == reused);

    view.sourceBitmap = &wide;
    SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 300));
    REQUIRE(view.scaledBitmap != nullptr);
    CHECK((view.scaledBitmap->GetBitmapWidth() == 200 &&
           view.scaledBitmap->GetBitmapHeight() == 100 && view.yPos == 100));
    // A window of zero height leaves the copy as it was.
    reused = &*view.scaledBitmap;
    SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 0));
    CHECK(&*view.scaledBitmap == reused);

    // A click and a double click both reach the parent as a double click.
    CHECK(SendMessageW(view.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34)) == 0);
    CHECK((host.wrapper.doubleClicks == 1 && host.wrapper.keys == MK_LBUTTON));
    CHECK((host.wrapper.x == 12 && host.wrapper.y == 34));
    SendMessageW(view.window, WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL, MAKELPARAM(-3, 7));
    CHECK((host.wrapper.doubleClicks == 2 && host.wrapper.keys == (MK_LBUTTON | MK_CONTROL)));
    CHECK((host.wrapper.x == -3 && host.wrapper.y == 7));
}

// Sizes below are of client areas: the windows have a one-pixel static edge all round.
TEST_CASE("the selector: a press and a drag report the pixel under the pointer, kept on it") {
    Host host;
    CRecordingOwner owner;
    COrvanelBitmap square = Pattern(256, 256);
    CBitmapStaticWindowSelector selector(&owner);
    host.Create(selector, WS_CHILD | WS_VISIBLE, {0, 0, 262, 262}); // a 254 x 254 copy at 3, 3
    selector.sourceBitmap = &square;
    selector.UpdateScaledBitmap();
    const auto press = [&](UINT message, int x, int y) {
        CHECK(SendMessageW(selector.window, message, MK_LBUTTON, MAKELPARAM(x, y)) == 0);
    };
    // A press beside the picture (the margin, the bottom-left corner) picks its edge pixel.
    press(WM_LBUTTONDOWN, 2, 259);
    CHECK((selector.dragging && Cursor(IDC_CROSS)));
    press(WM_LBUTTONDOWN, 130, 130);
    CHECK((selector.markerPoint.x == 127 && selector.markerPoint.y == 127));
    press(WM_LBUTTONUP, 130, 130);
    CHECK((!selector.dragging && Cursor(IDC_HAND)));
    press(WM_MOUSEMOVE, 50, 50); // hovering picks nothing
    // A drag across the top-right corner and out of the window, with the release outside: the
    // window does not see it and keeps reporting the pixels under the pointer.
    press(WM_LBUTTONDOWN, 10, 10);
    press(WM_MOUSEMOVE, 258, 1);
    press(WM_MOUSEMOVE, -40, 300);
    press(WM_MOUSEMOVE, 100, 100);
    CHECK(owner.points == Points{{0, 253}, {127, 127}, {7, 7}, {253, 0}, {0, 253}, {97, 97}});
    CHECK(selector.dragging);
    DestroyWindow(selector.window);
}

TEST_CASE("without a picture, or without room for one, the selector picks nothing") {
    Host host;
    CRecordingOwner owner;
    COrvanelBitmap square = Pattern(256, 256);
    // No source: a press changes the cursor and starts a drag, no more.
    CBitmapStaticWindowSelector empty(&owner);
    host.Create(empty, WS_CHILD | WS_VISIBLE, {0, 0, 40, 30});
    SendMessageW(empty.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageW(empty.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(21, 20));
    CHECK((empty.dragging && Cursor(IDC_CROSS)));
    // Client areas no larger than the margin: no room for a picture, none is made.
    for (CWindowPlacement tiny : {CWindowPlacement{0, 0, 8, 8}, CWindowPlacement{0, 0, 7, 302}}) {
        CBitmapStaticWindowSelector selector(&owner);
        host.Create(selector, WS_CHILD | WS_VISIBLE, tiny);
        selector.sourceBitmap = &square;
        selector.UpdateScaledBitmap();
        CHECK((selector.areaWidth == 0 && selector.scaledBitmap == nullptr));
        SendMessageW(selector.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        selector.Redraw();
        DestroyWindow(selector.window);
    }
    // A window that shrinks below the margin keeps its old copy but no longer shows it.
    CBitmapStaticWindowSelector shrunk(&owner);
    host.Create(shrunk, WS_CHILD | WS_VISIBLE, {0, 0, 100, 100});
    shrunk.sourceBitmap = &square;
    shrunk.UpdateScaledBitmap();
    MoveWindow(shrunk.window, 0, 0, 6, 102, TRUE);
    shrunk.Redraw();
    SendMessageW(shrunk.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 50));
    CHECK(owner.points.empty());
    DestroyWindow(shrunk.window);
}
