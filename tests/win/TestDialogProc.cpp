// DialogProc's routing, argument decoding and results, checked through a dialog class that
// records what each handler receives, and the modal behaviour of a dialog that overrides
// nothing.
#include "dialog/DialogProc.h"
#include "dialog/LocalDialog.h"
#include "support/OleCallCounter.h"
#include "support/ModalDriver.h"

#include <doctest/doctest.h>

#include <ole2.h>

#include <cstdint>
#include <ios>
#include <string>

using namespace Orvanel::Dialog;

namespace {

constexpr int kTestDialog = 900;

// Records the last handler call. Every override answers what the base answers, so the
// defaults are checked through it too, unless a test asks for another mouse-move result.
class CRecordingDialog : public CLocalDialog {
public:
    int slot = -1;
    int calls = 0;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::uint64_t values[4] = {};
    unsigned int widthAtCall = 0, heightAtCall = 0;
    const void* pointers[2] = {};
    bool overrideMouseMove = false;
    int mouseMoveResult = 0;
    int destroyCalls = 0;
    int lastCommand = -1;

    void Standard(int s, HWND w, UINT m, WPARAM wp, LPARAM lp) {
        Record(s);
        window = w;
        message = m;
        wParam = wp;
        lParam = lp;
    }
    void Record(int s) {
        slot = s;
        ++calls;
    }
    void Mouse(int s, unsigned int* keys, int* x, int* y) {
        Record(s);
        values[0] = *keys;
        values[1] = static_cast<std::uint64_t>(static_cast<std::int64_t>(*x));
        values[2] = static_cast<std::uint64_t>(static_cast<std::int64_t>(*y));
    }

#define STANDARD_HANDLER(number, name)                                                             \
    INT_PTR name(HWND w, UINT m, WPARAM wp, LPARAM lp) override {                                  \
        Standard(number, w, m, wp, lp);                                                            \
        return CLocalDialog::name(w, m, wp, lp);                                                   \
    }
#define MOUSE_HANDLER(number, name)                                                                \
    INT_PTR name(unsigned int* k, int* x, int* y) override {                                       \
        Mouse(number, k, x, y);                                                                    \
        return CLocalDialog::name(k, x, y);                                                        \
    }
    STANDARD_HANDLER(1, OnGetDlgCode)
    STANDARD_HANDLER(2, OnActivate)
    STANDARD_HANDLER(3, OnShowWindow)
    STANDARD_HANDLER(4, OnSysCommand)
    STANDARD_HANDLER(5, OnInitDialog)
    STANDARD_HANDLER(8, OnNotify)
    STANDARD_HANDLER(10, OnContextMenu)
    STANDARD_HANDLER(11, OnReserved)
    STANDARD_HANDLER(12, OnSetFocus)
    STANDARD_HANDLER(14, OnMeasureItem)
    STANDARD_HANDLER(15, OnDrawItem)
    STANDARD_HANDLER(27, OnNcMouseMove)
    STANDARD_HANDLER(28, OnMove)
    STANDARD_HANDLER(30, OnHScroll)
    STANDARD_HANDLER(31, OnVScroll)
    MOUSE_HANDLER(19, OnLButtonDblClk)
    MOUSE_HANDLER(22, OnLButtonDown)
    MOUSE_HANDLER(23, OnLButtonUp)
    MOUSE_HANDLER(25, OnMouseHover)
    MOUSE_HANDLER(32, OnRButtonDown)
    MOUSE_HANDLER(33, OnRButtonUp)
#undef STANDARD_HANDLER
#undef MOUSE_HANDLER

    INT_PTR OnCommand(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        Standard(9, w, m, wp, lp);
        lastCommand = LOWORD(wp);
        return CLocalDialog::OnCommand(w, m, wp, lp);
    }
    INT_PTR OnEraseBackground(HDC dc) override {
        Record(6);
        pointers[0] = dc;
        return CLocalDialog::OnEraseBackground(dc);
    }
    INT_PTR OnTimer(unsigned int* id) override {
        Record(7);
        values[0] = *id;
        return CLocalDialog::OnTimer(id);
    }
    INT_PTR OnPaint(CPaintScratch** scratch) override {
        Record(13);
        pointers[0] = *scratch;
        values[0] = (*scratch)->first;
        values[1] = (*scratch)->second;
        return CLocalDialog::OnPaint(scratch);
    }
    INT_PTR OnKeyUp(unsigned int* code, unsigned int* data) override {
        Record(16);
        values[0] = *code;
        values[1] = *data;
        return CLocalDialog::OnKeyUp(code, data);
    }
    INT_PTR OnKeyDown(unsigned int* code, unsigned int* data) override {
        Record(17);
        values[0] = *code;
        values[1] = *data;
        return CLocalDialog::OnKeyDown(code, data);
    }
    INT_PTR OnSize(unsigned int* w, unsigned int* h, unsigned int* type) override {
        Record(18);
        widthAtCall = width;
        heightAtCall = height;
        pointers[0] = w;
        pointers[1] = h;
        values[0] = *type;
        return CLocalDialog::OnSize(w, h, type);
    }
    INT_PTR OnClose() override {
        Record(20);
        return CLocalDialog::OnClose();
    }
    INT_PTR OnDestroy() override {
        Record(21);
        ++destroyCalls;
        return CLocalDialog::OnDestroy();
    }
    int OnMouseMove(unsigned int* k, int* x, int* y) override {
        Mouse(24, k, x, y);
        return overrideMouseMove ? mouseMoveResult : CLocalDialog::OnMouseMove(k, x, y);
    }
    INT_PTR OnMouseLeave() override {
        Record(26);
        return CLocalDialog::OnMouseLeave();
    }
    INT_PTR OnMouseWheel(unsigned short* keys, short* delta, int* x, int* y) override {
        Record(29);
        values[0] = *keys;
        values[1] = static_cast<std::uint64_t>(static_cast<std::int64_t>(*delta));
        values[2] = static_cast<std::uint64_t>(static_cast<std::int64_t>(*x));
        values[3] = static_cast<std::uint64_t>(static_cast<std::int64_t>(*y));
        return CLocalDialog::OnMouseWheel(keys, delta, x, y);
    }
};

// A modeless instance of the test dialog, created and fed on the test's own thread so that
// DialogProc's own result can be read (SendMessage would return the dialog manager's).
struct ModelessDialog {
    CRecordingDialog object;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTestDialog),
                                     nullptr, DialogProc, reinterpret_cast<LPARAM>(&object));
    ~ModelessDialog() {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    INT_PTR Send(UINT message, WPARAM wParam, LPARAM lParam) {
        object.slot = -1;
        return DialogProc(window, message, wParam, lParam);
    }
};

LPARAM Point(int x, int y) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint16_t>(y) << 16) |
                                                          static_cast<std::uint16_t>(x)));
}

constexpr WPARAM kHighHalf = static_cast<WPARAM>(0xABCD000000000000ull);

} // namespace

TEST_CASE("WM_INITDIALOG attaches the object, centres the dialog and calls OnInitDialog") {
    ModelessDialog dialog;
    REQUIRE(dialog.window != nullptr);
    CHECK(GetWindowLongPtrW(dialog.window, GWLP_USERDATA) ==
          reinterpret_cast<LONG_PTR>(&dialog.object));
    CHECK(dialog.object.message == WM_INITDIALOG);
    CHECK(dialog.object.lParam == reinterpret_cast<LPARAM>(&dialog.object));
    CHECK(dialog.object.window == dialog.window);
    // WM_SIZE during creation arrives before the object is attached.
    CHECK(dialog.object.width == 0);
    CHECK(dialog.object.height == 0);
}

TEST_CASE("every routed message reaches its slot; standard arguments pass unchanged") {
    ModelessDialog dialog;
    struct Route {
        UINT message;
        int slot;
    };
    const Route standard[] = {{WM_GETDLGCODE, 1}, {WM_ACTIVATE, 2},     {WM_SHOWWINDOW, 3},
                              {WM_SYSCOMMAND, 4}, {WM_NOTIFY, 8},       {WM_COMMAND, 9},
                              {WM_CONTEXTMENU, 10}, {WM_SETFOCUS, 12},  {WM_MEASUREITEM, 14},
                              {WM_DRAWITEM, 15},  {WM_NCMOUSEMOVE, 27}, {WM_MOVE, 28},
                              {WM_HSCROLL, 30},   {WM_VSCROLL, 31}};
    for (const Route& route : standard) {
        INFO("message 0x" << std::hex << route.message);
        const WPARAM wParam = kHighHalf | 0x1234;
        const LPARAM lParam = static_cast<LPARAM>(0x8765000000000042ull);
        CHECK(dialog.Send(route.message, wParam, lParam) == 0);
        CHECK(dialog.object.slot == route.slot);
        CHECK(dialog.object.window == dialog.window);
        CHECK(dialog.object.message == route.message);
        CHECK(dialog.object.wParam == wParam);
        CHECK(dialog.object.lParam == lParam);
    }
    const Route decoded[] = {{WM_ERASEBKGND, 6},   {WM_TIMER, 7},         {WM_PAINT, 13},
                             {WM_KEYUP, 16},       {WM_KEYDOWN, 17},      {WM_LBUTTONDBLCLK, 19},
                             {WM_LBUTTONDOWN, 22}, {WM_LBUTTONUP, 23},    {WM_MOUSEMOVE, 24},
                             {WM_MOUSEHOVER, 25},  {WM_MOUSELEAVE, 26},   {WM_MOUSEWHEEL, 29},
                             {WM_RBUTTONDOWN, 32}, {WM_RBUTTONUP, 33}};
    for (const Route& route : decoded) {
        INFO("message 0x" << std::hex << route.message);
        dialog.Send(route.message, 0, 0);
        CHECK(dialog.object.slot == route.slot);
    }
}

TEST_CASE("messages outside the routing table return 0 and reach no handler") {
    ModelessDialog dialog;
    const UINT unrouted[] = {WM_CHAR, WM_CTLCOLORDLG, WM_NCDESTROY, WM_SETFONT, WM_USER + 5};
    for (UINT message : unrouted) {
        INFO("message 0x" << std::hex << message);
        const int callsBefore = dialog.object.calls;
        CHECK(dialog.Send(message, 1, 1) == 0);
        CHECK(dialog.object.calls == callsBefore);
    }
}

TEST_CASE("a window without an attached object gets the default window procedure") {
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    REQUIRE(plain != nullptr);
    CHECK(DialogProc(plain, WM_GETDLGCODE, 0, 0) == DefWindowProcW(plain, WM_GETDLGCODE, 0, 0));
    CHECK(DialogProc(plain, WM_SIZE, 0, Point(400, 200)) == 0);
    CHECK(DialogProc(plain, WM_CHAR, 'a', 0) == 0);
    DestroyWindow(plain);
}

TEST_CASE("WM_SIZE stores width and height before OnSize, which gets the fields themselves") {
    ModelessDialog dialog;
    CHECK(dialog.Send(WM_SIZE, kHighHalf | SIZE_MAXIMIZED, Point(400, 200)) == 1);
    CHECK(dialog.object.slot == 18);
    CHECK(dialog.object.widthAtCall == 400);
    CHECK(dialog.object.heightAtCall == 200);
    CHECK(dialog.object.pointers[0] == &dialog.object.width);
    CHECK(dialog.object.pointers[1] == &dialog.object.height);
    CHECK(dialog.object.values[0] == SIZE_MAXIMIZED);
    // The words are zero-extended: 65535 stays 65535.
    dialog.Send(WM_SIZE, 0, Point(0xFFFF, 0x8000));
    CHECK(dialog.object.width == 0xFFFFu);
    CHECK(dialog.object.height == 0x8000u);
}

TEST_CASE("mouse and wheel positions are sign-extended 16-bit values") {
    ModelessDialog dialog;
    const UINT mouse[] = {WM_LBUTTONDOWN, WM_LBUTTONUP,  WM_LBUTTONDBLCLK, WM_MOUSEMOVE,
                          WM_MOUSEHOVER,  WM_RBUTTONDOWN, WM_RBUTTONUP};
    for (UINT message : mouse) {
        INFO("message 0x" << std::hex << message);
        dialog.Send(message, MK_LBUTTON | MK_SHIFT, Point(-5, 300));
        CHECK(dialog.object.values[0] == (MK_LBUTTON | MK_SHIFT));
        CHECK(static_cast<std::int64_t>(dialog.object.values[1]) == -5);
        CHECK(static_cast<std::int64_t>(dialog.object.values[2]) == 300);
    }

    // A wheel turned towards the user: negative delta in the high word of wParam.
    const WPARAM wheel = (static_cast<WPARAM>(static_cast<std::uint16_t>(-120)) << 16) | MK_CONTROL;
    dialog.Send(WM_MOUSEWHEEL, wheel, Point(7, -2));
    CHECK(dialog.object.slot == 29);
    CHECK(dialog.object.values[0] == MK_CONTROL);
    CHECK(static_cast<std::int64_t>(dialog.object.values[1]) == -120);
    CHECK(static_cast<std::int64_t>(dialog.object.values[2]) == 7);
    CHECK(static_cast<std::int64_t>(dialog.object.values[3]) == -2);
}

TEST_CASE("timer and key messages deliver 32-bit copies") {
    ModelessDialog dialog;
    const LPARAM highData = static_cast<LPARAM>(0x7700000000000000ull | 0xC0000001ull);
    dialog.Send(WM_TIMER, kHighHalf | 0x41, 0);
    CHECK(dialog.object.values[0] == 0x41);
    dialog.Send(WM_KEYDOWN, kHighHalf | VK_F5, highData);
    CHECK(dialog.object.slot == 17);
    CHECK(dialog.object.values[0] == VK_F5);
    CHECK(dialog.object.values[1] == 0xC0000001ull);
    dialog.Send(WM_KEYUP, kHighHalf | VK_ESCAPE, highData);
    CHECK(dialog.object.slot == 16);
    CHECK(dialog.object.values[0] == VK_ESCAPE);
    CHECK(dialog.object.values[1] == 0xC0000001ull);
}

TEST_CASE("OnMouseMove's result: 1 means the default window procedure, others pass through") {
    ModelessDialog dialog;
    dialog.object.overrideMouseMove = true;
    dialog.object.mouseMoveResult = 1;
    CHECK(dialog.Send(WM_MOUSEMOVE, 0, Point(1, 1)) ==
          DefWindowProcW(dialog.window, WM_MOUSEMOVE, 0, Point(1, 1)));
    dialog.object.mouseMoveResult = 0;
    CHECK(dialog.Send(WM_MOUSEMOVE, 0, Point(1, 1)) == 0);
    dialog.object.mouseMoveResult = 7;
    CHECK(dialog.Send(WM_MOUSEMOVE, 0, Point(1, 1)) == 7);
    dialog.object.mouseMoveResult = -3;
    CHECK(dialog.Send(WM_MOUSEMOVE, 0, Point(1, 1)) == -3);
}

TEST_CASE("WM_PAINT hands OnPaint a zeroed scratch record; WM_ERASEBKGND the device context") {
    ModelessDialog dialog;
    CHECK(dialog.Send(WM_PAINT, 0, 0) == 0);
    CHECK(dialog.object.pointers[0] != nullptr);
    CHECK(dialog.object.values[0] == 0);
    CHECK(dialog.object.values[1] == 0);

    HDC dc = GetDC(dialog.window);
    dialog.Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CHECK(dialog.object.slot == 6);
    CHECK(dialog.object.pointers[0] == dc);
    ReleaseDC(dialog.window, dc);
}

TEST_CASE("WM_CLOSE calls OnDestroy and returns 0; WM_DESTROY detaches the object") {
    ModelessDialog dialog;
    CHECK(dialog.Send(WM_CLOSE, 0, 0) == 0);
    CHECK(dialog.object.destroyCalls == 1);

    DestroyWindow(dialog.window);
    CHECK(dialog.object.destroyCalls == 2);
    CHECK(dialog.object.slot == 21);
    CHECK_FALSE(IsWindow(dialog.window));
}

TEST_CASE("a dialog whose class overrides nothing ends a close as the Cancel command") {
    // The recording dialog only listens; ending is left to the test through its command.
    class CCancelOnCommand : public CRecordingDialog {
    public:
        INT_PTR OnCommand(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
            CRecordingDialog::OnCommand(w, m, wp, lp);
            EndDialog(w, 100 + LOWORD(wp));
            return 1;
        }
    } object;
    QuilletTest::ModalDriver driver(
        [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTestDialog),
                                           nullptr, DialogProc, reinterpret_cast<LPARAM>(&object));
    driver.Join();
    REQUIRE_MESSAGE(result != -1, "the dialog could not be created (is there a display?)");
    CHECK(driver.DialogFound());
    CHECK_FALSE(driver.WatchdogFired());
    CHECK(object.lastCommand == IDCANCEL);
    CHECK(result == 100 + IDCANCEL);
    CHECK(object.destroyCalls >= 1);
}

TEST_CASE("CenterDialogOnScreen centres on the primary screen, even a window wider than it") {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // 81 pixels wider than the screen: (0 - (w) + screen) / 2 = -81 / 2 = -40 (truncated).
    HWND wide = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 5, 5, screenWidth + 81, 100,
                                nullptr, nullptr, nullptr, nullptr);
    REQUIRE(wide != nullptr);
    CenterDialogOnScreen(wide);
    RECT rect{};
    GetWindowRect(wide, &rect);
    CHECK(rect.left == -40);
    CHECK(rect.top == (screenHeight - 100) / 2);
    CHECK(rect.right - rect.left == screenWidth + 81);
    DestroyWindow(wide);
}

using QuilletTest::OleCounters;
using QuilletTest::OleHook;

TEST_CASE("OLE is uninitialised only by a dialog whose OleInitialize succeeded") {
    SUBCASE("host thread in the multithreaded apartment: OleInitialize fails, no uninitialise") {
        OleHook hook(RPC_E_CHANGED_MODE);
        { ModelessDialog dialog; }
        CHECK(OleCounters::initializeCalls == 1);
        CHECK(OleCounters::uninitializeCalls == 0);
    }
    SUBCASE("first initialisation and repeated initialisation are both balanced") {
        for (HRESULT result : {S_OK, S_FALSE}) {
            OleHook hook(result);
            { ModelessDialog dialog; }
            CHECK(OleCounters::initializeCalls == 1);
            CHECK(OleCounters::uninitializeCalls == 1);
        }
    }
    SUBCASE("nested dialogs each balance their own") {
        OleHook hook(S_OK);
        {
            ModelessDialog outer;
            OleCounters::initializeResult = RPC_E_CHANGED_MODE;
            { ModelessDialog inner; }
            CHECK(OleCounters::uninitializeCalls == 0);
        }
        CHECK(OleCounters::initializeCalls == 2);
        CHECK(OleCounters::uninitializeCalls == 1);
    }
}
