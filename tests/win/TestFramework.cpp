// The framework's classes driven directly (their objects are linked into this program):
// DialogProc's routing, argument decoding and results, through a dialog class that records what
// each handler receives; the child windows' creation, routing and results, the bitmap display
// window's scaled copy and where its clicks go, the picking window's presses and drags; the OLE
// call discipline of both. What the windows show on screen is checked by the
// dialogs' tests, the fitting arithmetic by the native layout tests.
#include "dialog/DialogProc.h"
#include "dialog/LocalDialog.h"
#include "host/OrvanelBitmap.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"
#include "support/ImportPatch.h"
#include "win32/ModuleInstance.h"
#include "window/BitmapStaticWindow.h"
#include "window/BitmapStaticWindowSelector.h"

#include <ole2.h>

#include <algorithm>
#include <cstdint>
#include <ios>
#include <string>
#include <vector>

// The framework's calls into OLE are counted through this program's own import entries. Wine's
// OleUninitialize ignores an unbalanced call, which would hide the fault Windows shows.
extern "C" {
extern decltype(&OleInitialize) __imp_OleInitialize;
extern decltype(&OleUninitialize) __imp_OleUninitialize;
}

using namespace Orvanel::Dialog;
using namespace Orvanel::Window;
using namespace QuilletTest;

namespace {

int initializeCalls = 0, uninitializeCalls = 0;
HRESULT initializeResult = S_OK;

// Counts the calls while it lives; OleInitialize answers `result`.
struct OleHook {
    ImportPatch<decltype(&OleInitialize)> initialize{
        __imp_OleInitialize, [](LPVOID) { return ++initializeCalls, initializeResult; }};
    ImportPatch<decltype(&OleUninitialize)> uninitialize{__imp_OleUninitialize,
                                                         [] { ++uninitializeCalls; }};
    explicit OleHook(HRESULT result) {
        initializeCalls = uninitializeCalls = 0;
        initializeResult = result;
    }
};

// Records the slot and the decoded arguments of the last handler call and answers what the
// base answers (OnMouseMove: `mouseMoveResult` when set), so the defaults are checked as well.
class CRecordingDialog : public CLocalDialog {
public:
    using Base = CLocalDialog;
    using Value = std::int64_t;
    int slot = -1, destroyCalls = 0;
    LPARAM initParam = 0;
    Value values[4] = {};
    const int* mouseMoveResult = nullptr;

    void Record(int s, Value a = 0, Value b = 0, Value c = 0, Value d = 0) {
        slot = s, values[0] = a, values[1] = b, values[2] = c, values[3] = d;
    }

#define HANDLER(number, name, parameters, arguments, ...)                                          \
    INT_PTR name parameters override { return Record(number, __VA_ARGS__), Base::name arguments; }
#define STANDARD(number, name)                                                                     \
    HANDLER(number, name, (HWND w, UINT m, WPARAM wp, LPARAM lp), (w, m, wp, lp), Value(w), m,     \
            Value(wp), lp)
#define MOUSE(number, name)                                                                        \
    HANDLER(number, name, (unsigned* k, int* x, int* y), (k, x, y), *k, *x, *y)
    STANDARD(1, OnGetDlgCode)
    STANDARD(2, OnActivate)
    STANDARD(3, OnShowWindow)
    STANDARD(4, OnSysCommand)
    STANDARD(8, OnNotify)
    STANDARD(9, OnCommand)
    STANDARD(10, OnContextMenu)
    STANDARD(12, OnSetFocus)
    STANDARD(14, OnMeasureItem)
    STANDARD(15, OnDrawItem)
    STANDARD(27, OnNcMouseMove)
    STANDARD(28, OnMove)
    STANDARD(30, OnHScroll)
    STANDARD(31, OnVScroll)
    MOUSE(19, OnLButtonDblClk)
    MOUSE(22, OnLButtonDown)
    MOUSE(23, OnLButtonUp)
    MOUSE(25, OnMouseHover)
    MOUSE(32, OnRButtonDown)
    MOUSE(33, OnRButtonUp)
    HANDLER(6, OnEraseBackground, (HDC dc), (dc), Value(dc))
    HANDLER(7, OnTimer, (unsigned* id), (id), *id)
    HANDLER(16, OnKeyUp, (unsigned* code, unsigned* data), (code, data), *code, *data)
    HANDLER(17, OnKeyDown, (unsigned* code, unsigned* data), (code, data), *code, *data)
    HANDLER(20, OnClose, (), (), 0)
    HANDLER(26, OnMouseLeave, (), (), 0)
    HANDLER(29, OnMouseWheel, (unsigned short* k, short* d, int* x, int* y), (k, d, x, y), *k, *d,
            *x, *y)
#undef HANDLER
#undef STANDARD
#undef MOUSE

    INT_PTR OnInitDialog(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        return Record(5), initParam = lp, Base::OnInitDialog(w, m, wp, lp);
    }
    INT_PTR OnPaint(CPaintScratch** scratch) override {
        const CPaintScratch& s = **scratch;
        return Record(13, Value(s.first), Value(s.second), Value(*scratch)), Base::OnPaint(scratch);
    }
    // The fields as they are when the handler runs, and whether it was handed the fields.
    INT_PTR OnSize(unsigned* w, unsigned* h, unsigned* type) override {
        return Record(18, width, height, *type, w == &width && h == &height),
               Base::OnSize(w, h, type);
    }
    INT_PTR OnDestroy() override { return Record(21), ++destroyCalls, Base::OnDestroy(); }
    int OnMouseMove(unsigned* k, int* x, int* y) override {
        Record(24, *k, *x, *y);
        return mouseMoveResult != nullptr ? *mouseMoveResult : Base::OnMouseMove(k, x, y);
    }
};

// A modeless instance (on the About box's template) fed on the test's own thread, so that
// DialogProc's own result can be read (SendMessage would return the dialog manager's).
struct ModelessDialog {
    CRecordingDialog object;
    HWND window = CreateDialogParamW(LoadLibraryW(L"Quillet.dll"), MAKEINTRESOURCEW(IDD_ABOUT),
                                     nullptr, DialogProc, reinterpret_cast<LPARAM>(&object));
    ~ModelessDialog() {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    INT_PTR Send(UINT msg, WPARAM wp, LPARAM lp) { return DialogProc(window, msg, wp, lp); }
};

constexpr WPARAM kHighHalf = static_cast<WPARAM>(0xABCD000000000000ull);

} // namespace

TEST_CASE("DialogProc: WM_INITDIALOG attaches the object, each message reaches its slot; results") {
    ModelessDialog dialog;
    REQUIRE(dialog.window != nullptr);
    CHECK(GetWindowLongPtrW(dialog.window, GWLP_USERDATA) ==
          reinterpret_cast<LONG_PTR>(&dialog.object));
    CHECK(dialog.object.initParam == reinterpret_cast<LPARAM>(&dialog.object));
    CRecordingDialog& seen = dialog.object;
    // Passed on whole: the window, the message and both parameters with all their 64 bits.
    const UINT standard[][2] = {{WM_GETDLGCODE, 1},   {WM_ACTIVATE, 2},     {WM_SHOWWINDOW, 3},
                                {WM_SYSCOMMAND, 4},   {WM_NOTIFY, 8},       {WM_COMMAND, 9},
                                {WM_CONTEXTMENU, 10}, {WM_SETFOCUS, 12},    {WM_MEASUREITEM, 14},
                                {WM_DRAWITEM, 15},    {WM_NCMOUSEMOVE, 27}, {WM_MOVE, 28},
                                {WM_HSCROLL, 30},     {WM_VSCROLL, 31}};
    const WPARAM wParam = kHighHalf | 0x1234;
    const LPARAM lParam = static_cast<LPARAM>(0x8765000000000042ull);
    for (const auto& route : standard) {
        INFO("message 0x" << std::hex << route[0]);
        CHECK(dialog.Send(route[0], wParam, lParam) == 0);
        CHECK(seen.slot == static_cast<int>(route[1]));
        CHECK((seen.values[0] == std::int64_t(dialog.window) && seen.values[1] == route[0]));
        CHECK((seen.values[2] == std::int64_t(wParam) && seen.values[3] == lParam));
    }
    // Decoded: sizes into the fields first, signed positions, 32-bit copies, the wheel's
    // negative delta towards the user; the device context to erase with whole.
    const WPARAM keys = MK_LBUTTON | MK_SHIFT, wheel = 0xFF880000 | MK_CONTROL;
    const LPARAM at = MAKELPARAM(-5, 300), keyData = LPARAM(0x77000000C0000001ull);
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int slot;
        std::int64_t values[4];
    } decoded[] = {
        {WM_SIZE, kHighHalf | SIZE_MAXIMIZED, MAKELPARAM(400, 200), 18, {400, 200, 2, 1}},
        {WM_LBUTTONDBLCLK, keys, at, 19, {keys, -5, 300}},
        {WM_LBUTTONDOWN, keys, at, 22, {keys, -5, 300}},
        {WM_LBUTTONUP, keys, at, 23, {keys, -5, 300}},
        {WM_MOUSEMOVE, keys, at, 24, {keys, -5, 300}},
        {WM_MOUSEHOVER, keys, at, 25, {keys, -5, 300}},
        {WM_RBUTTONDOWN, keys, at, 32, {keys, -5, 300}},
        {WM_RBUTTONUP, keys, at, 33, {keys, -5, 300}},
        {WM_MOUSEWHEEL, wheel, MAKELPARAM(7, -2), 29, {MK_CONTROL, -120, 7, -2}},
        {WM_MOUSELEAVE, 0, 0, 26, {}},
        {WM_ERASEBKGND, kHighHalf | 0xDC, 0, 6, {std::int64_t(kHighHalf | 0xDC)}},
        {WM_TIMER, kHighHalf | 0x41, 0, 7, {0x41}},
        {WM_KEYDOWN, kHighHalf | VK_F5, keyData, 17, {VK_F5, 0xC0000001}},
        {WM_KEYUP, kHighHalf | VK_ESCAPE, keyData, 16, {VK_ESCAPE, 0xC0000001}},
    };
    for (const auto& d : decoded) {
        INFO("message 0x" << std::hex << d.message);
        // The default OnSize answers 1, every other default 0.
        CHECK(dialog.Send(d.message, d.wParam, d.lParam) == (d.message == WM_SIZE));
        CHECK(seen.slot == d.slot);
        CHECK(std::equal(d.values, d.values + 4, seen.values));
    }
    dialog.Send(WM_SIZE, 0, MAKELPARAM(0xFFFF, 0x8000)); // zero-extended words
    CHECK((seen.width == 0xFFFFu && seen.height == 0x8000u));
    CHECK(dialog.Send(WM_PAINT, 0, 0) == 0);
    CHECK((seen.slot == 13 && seen.values[2] != 0 && seen.values[0] == 0 && seen.values[1] == 0));

    // Unrouted messages return 0 without a handler.
    for (UINT unrouted : {UINT{WM_CHAR}, UINT{WM_CTLCOLORDLG}, UINT{WM_NCDESTROY}, UINT{WM_SETFONT},
                          UINT{WM_USER + 5}}) {
        INFO("message 0x" << std::hex << unrouted);
        seen.slot = -1;
        CHECK(dialog.Send(unrouted, 1, 1) == 0);
        CHECK(seen.slot == -1);
    }
    // Without an object DefWindowProc answers: a close destroys the window.
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    CHECK(DialogProc(plain, WM_SIZE, 0, MAKELPARAM(400, 200)) == 0);
    DialogProc(plain, WM_CLOSE, 0, 0);
    CHECK_FALSE(IsWindow(plain));

    // OnMouseMove's 1 means default; only a close's 0 lets the dialog manager turn it into
    // Cancel.
    for (int result : {1, 0, 7, -3}) {
        dialog.object.mouseMoveResult = &result;
        CHECK(dialog.Send(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)) ==
              (result == 1 ? DefWindowProcW(dialog.window, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1))
                           : result));
    }
    CHECK(dialog.Send(WM_CLOSE, 0, 0) == 0);
    CHECK(dialog.object.destroyCalls == 1); // the default OnClose calls OnDestroy
    DestroyWindow(dialog.window);
    CHECK(dialog.object.destroyCalls == 2);
}

namespace {

// Records what its handlers receive; its mouse and key handlers answer `answer`. Also the
// wrapper that plays a dialog, where the double clicks its children forward arrive.
class CRecordingWindow : public CLocalWindow {
public:
    using CLocalWindow::CLocalWindow;
    int createCalls = 0, ncCalls = 0, destroyCalls = 0;
    std::string handler; // the last mouse or key handler called, with what it was handed
    unsigned int widthSeenBySize = 0, keys = 0;
    int x = 0, y = 0;
    LRESULT closeResult = 1, answer = 1;
    CDrawContext* paintedWith = nullptr;

#define MOUSE(name)                                                                                \
    LRESULT name(unsigned int& k, int& px, int& py) override {                                     \
        return handler = #name, keys = k, x = px, y = py, answer;                                  \
    }
#define KEY(name)                                                                                  \
    LRESULT name(unsigned int& code, unsigned int& data) override {                                \
        return handler = #name, keys = code, x = int(data), y = 0, answer;                         \
    }
    MOUSE(OnLButtonDown)
    MOUSE(OnLButtonUp)
    MOUSE(OnMouseMove)
    MOUSE(OnMouseHover)
    MOUSE(OnLButtonDblClk)
    MOUSE(OnRButtonDown)
    MOUSE(OnRButtonUp)
    KEY(OnKeyDown)
    KEY(OnKeyUp)
#undef MOUSE
#undef KEY
    LRESULT OnCreate() override { return ++createCalls, CLocalWindow::OnCreate(); }
    LRESULT OnNcDestroy(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        return ++ncCalls, CLocalWindow::OnNcDestroy(w, m, wp, lp);
    }
    LRESULT OnDestroy() override { return ++destroyCalls, CLocalWindow::OnDestroy(); }
    LRESULT OnSize(unsigned int& w, unsigned int& h, unsigned int& type) override {
        widthSeenBySize = width;
        return CLocalWindow::OnSize(w, h, type);
    }
    LRESULT OnClose() override { return closeResult; }
    LRESULT OnPaint(CDrawContext* context) override { return paintedWith = context, 0; }
};

// A top-level window that plays the dialog, wrapped as the dialogs wrap theirs.
struct Host {
    HWND window = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 30, 30, 700, 500,
                                  nullptr, nullptr, nullptr, nullptr);
    CRecordingWindow wrapper{window};
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
    // Mouse and key handlers get their arguments decoded; for most of them a result of 1 lets
    // DefWindowProcW answer instead, a double click's and a hover's result is always the answer.
    const std::pair<UINT, const char*> rules[] = {{WM_LBUTTONDOWN, "OnLButtonDown"},
                                                  {WM_LBUTTONUP, "OnLButtonUp"},
                                                  {WM_MOUSEMOVE, "OnMouseMove"},
                                                  {WM_RBUTTONDOWN, "OnRButtonDown"},
                                                  {WM_RBUTTONUP, "OnRButtonUp"},
                                                  {WM_MOUSEHOVER, "OnMouseHover"},
                                                  {WM_KEYDOWN, "OnKeyDown"},
                                                  {WM_KEYUP, "OnKeyUp"},
                                                  {WM_LBUTTONDBLCLK, "OnLButtonDblClk"}};
    const WPARAM wParam = kHighHalf | MK_SHIFT;
    const LPARAM lParam = MAKELPARAM(-5, 300);
    for (const auto& [message, handler] : rules) {
        const bool key = handler[2] == 'K',
                   oneMeansDefault = message != WM_MOUSEHOVER && message != WM_LBUTTONDBLCLK;
        for (LRESULT answer : {1, 7}) {
            child.answer = answer, child.handler.clear();
            const LRESULT byDefault = DefWindowProcW(child.window, message, wParam, lParam);
            CHECK(SendMessageW(child.window, message, wParam, lParam) ==
                  (answer == 1 && oneMeansDefault ? byDefault : answer));
            CHECK((child.handler == handler && child.keys == MK_SHIFT));
            CHECK((child.x == (key ? int(lParam) : -5) && child.y == (key ? 0 : 300)));
        }
    }
    // WM_PAINT with a device context in wParam paints through the window's own context.
    HDC other = CreateCompatibleDC(nullptr);
    SendMessageW(child.window, WM_PAINT, reinterpret_cast<WPARAM>(other), 0);
    CHECK(child.paintedWith == child.drawContext.get());
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

// The device contexts and GDI objects a window takes are accounted for by the leak soak.
TEST_CASE("a dialog and a window give back their OLE initialisation only when they took one") {
    Host host;
    for (HRESULT result : {S_OK, S_FALSE, RPC_E_CHANGED_MODE}) {
        INFO("OleInitialize answers 0x" << std::hex << result);
        for (bool dialog : {true, false}) {
            OleHook hook(result);
            if (dialog) {
                ModelessDialog modeless;
            } else {
                CRecordingWindow child;
                host.Create(child, WS_CHILD);
                DestroyWindow(child.window);
            }
            CHECK(initializeCalls == 1);
            CHECK(uninitializeCalls == (SUCCEEDED(result) ? 1 : 0));
        }
    }
}

TEST_CASE("the bitmap windows: a copy at factor 1, else fitted; clicks go up; the selector") {
    // The window goes with the host before its object: a window outliving its object would
    // take its WM_DESTROY on freed memory.
    CBitmapStaticWindow view;
    Host host;
    host.Create(view);
    view.Redraw(); // without a source the background only
    CHECK(view.scaledBitmap == nullptr);
    COrvanelBitmap square = Pattern(50, 50), wide = Pattern(400, 200);
    view.sourceBitmap = &square;
    SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 50));
    REQUIRE(view.scaledBitmap != nullptr);
    CHECK(std::equal(square.GetPtBitmap(), square.GetPtBitmap() + 50 * 50 * 4,
                     view.scaledBitmap->GetPtBitmap()));
    const COrvanelBitmap* copy = view.scaledBitmap.get();
    SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 50));
    CHECK(view.scaledBitmap.get() == copy); // at factor 1 the copy is refilled, not remade
    view.sourceBitmap = &wide;
    for (int height : {300, 0}) { // a window of zero height leaves the copy as it was
        SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, height));
        REQUIRE(view.scaledBitmap != nullptr);
        CHECK((view.scaledBitmap->GetBitmapWidth() == 200 &&
               view.scaledBitmap->GetBitmapHeight() == 100 && view.yPos == 100));
    }
    // A click and a double click both reach the parent as a double click.
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        host.wrapper.handler.clear();
        CHECK(SendMessageW(view.window, message, MK_LBUTTON | MK_CONTROL, MAKELPARAM(-3, 7)) == 0);
        CHECK((host.wrapper.handler == "OnLButtonDblClk" &&
               host.wrapper.keys == (MK_LBUTTON | MK_CONTROL)));
        CHECK((host.wrapper.x == -3 && host.wrapper.y == 7));
    }

    // The selector: a press and a drag report the pixel under the pointer, kept on the picture.
    // Sizes are of client areas: the window has a one-pixel static edge all round.
    CRecordingOwner owner;
    COrvanelBitmap picture = Pattern(256, 256);
    CBitmapStaticWindowSelector selector(&owner);
    host.Create(selector, WS_CHILD | WS_VISIBLE, {0, 0, 262, 262}); // a 254 x 254 copy at 3, 3
    selector.sourceBitmap = &picture;
    selector.UpdateScaledBitmap();
    CHECK(Mouse(selector.window, WM_LBUTTONDOWN, 130, 130) == 0);
    CHECK((selector.dragging && Cursor(IDC_CROSS)));
    // Dragged out of the window, past the bottom-left corner: the picture's corner pixel.
    CHECK(Mouse(selector.window, WM_MOUSEMOVE, -40, 300) == 0);
    CHECK(Mouse(selector.window, WM_LBUTTONUP, 100, 100) == 0);
    CHECK((!selector.dragging && Cursor(IDC_HAND)));
    Mouse(selector.window, WM_MOUSEMOVE, 50, 50); // hovering picks nothing
    CHECK(owner.points == decltype(owner.points){{127, 127}, {0, 253}});
    DestroyWindow(selector.window);
}
