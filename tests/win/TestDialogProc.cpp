// DialogProc's routing, argument decoding and results, checked through a dialog class that
// records what each handler receives; CenterDialogOnScreen; the OLE call discipline.
#include "dialog/DialogProc.h"
#include "dialog/LocalDialog.h"
#include "resources/resource.h"
#include "support/OleCallCounter.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <ios>

using namespace Orvanel::Dialog;
using namespace QuilletTest;

namespace {

// Records the slot and the decoded arguments of the last handler call and answers what the
// base answers, so that the defaults are checked through it as well.
class CRecordingDialog : public CLocalDialog {
public:
    using Base = CLocalDialog;
    using Value = std::int64_t;
    int slot = -1, destroyCalls = 0;
    LPARAM initParam = 0;
    Value values[4] = {};
    bool overrideMouseMove = false;
    int mouseMoveResult = 0;

    void Record(int s, Value a = 0, Value b = 0, Value c = 0, Value d = 0) {
        slot = s, values[0] = a, values[1] = b, values[2] = c, values[3] = d;
    }

#define STANDARD(number, name)                                                                     \
    INT_PTR name(HWND w, UINT m, WPARAM wp, LPARAM lp) override {                                  \
        return Record(number, Value(w), m, Value(wp), lp), Base::name(w, m, wp, lp);               \
    }
#define MOUSE(number, name)                                                                        \
    INT_PTR name(unsigned* k, int* x, int* y) override {                                           \
        return Record(number, *k, *x, *y), Base::name(k, x, y);                                    \
    }
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
#undef STANDARD
#undef MOUSE

    INT_PTR OnInitDialog(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        return Record(5), initParam = lp, Base::OnInitDialog(w, m, wp, lp);
    }
    INT_PTR OnEraseBackground(HDC dc) override {
        return Record(6, Value(dc)), Base::OnEraseBackground(dc);
    }
    INT_PTR OnTimer(unsigned* id) override { return Record(7, *id), Base::OnTimer(id); }
    INT_PTR OnPaint(CPaintScratch** scratch) override {
        const CPaintScratch& s = **scratch;
        return Record(13, Value(s.first), Value(s.second), Value(*scratch)), Base::OnPaint(scratch);
    }
    INT_PTR OnKeyUp(unsigned* code, unsigned* data) override {
        return Record(16, *code, *data), Base::OnKeyUp(code, data);
    }
    INT_PTR OnKeyDown(unsigned* code, unsigned* data) override {
        return Record(17, *code, *data), Base::OnKeyDown(code, data);
    }
    // The fields as they are when the handler runs, and whether it was handed the fields.
    INT_PTR OnSize(unsigned* w, unsigned* h, unsigned* type) override {
        return Record(18, width, height, *type, w == &width && h == &height),
               Base::OnSize(w, h, type);
    }
    INT_PTR OnClose() override { return Record(20), Base::OnClose(); }
    INT_PTR OnDestroy() override { return Record(21), ++destroyCalls, Base::OnDestroy(); }
    int OnMouseMove(unsigned* k, int* x, int* y) override {
        Record(24, *k, *x, *y);
        return overrideMouseMove ? mouseMoveResult : Base::OnMouseMove(k, x, y);
    }
    INT_PTR OnMouseLeave() override { return Record(26), Base::OnMouseLeave(); }
    INT_PTR OnMouseWheel(unsigned short* keys, short* delta, int* x, int* y) override {
        return Record(29, *keys, *delta, *x, *y), Base::OnMouseWheel(keys, delta, x, y);
    }
};

// A modeless instance (on the About box's template) fed on the test's own thread, so that
// DialogProc's own result can be read (SendMessage would return the dialog manager's).
struct ModelessDialog {
    CRecordingDialog object;
    HWND window = CreateDialogParamW(LoadLibraryW(L"Quillet.dll"), MAKEINTRESOURCEW(IDD_ABOUT),
                                     nullptr, DialogProc, reinterpret_cast<LPARAM>(&object));
    ~ModelessDialog() {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    INT_PTR Send(UINT msg, WPARAM wp, LPARAM lp) { return DialogProc(window, msg, wp, lp); }
};

constexpr WPARAM kHighHalf = static_cast<WPARAM>(0xABCD000000000000ull);

} // namespace

TEST_CASE("WM_INITDIALOG attaches the object; earlier messages find none") {
    ModelessDialog dialog;
    REQUIRE(dialog.window != nullptr);
    CHECK(GetWindowLongPtrW(dialog.window, GWLP_USERDATA) ==
          reinterpret_cast<LONG_PTR>(&dialog.object));
    CHECK(dialog.object.initParam == reinterpret_cast<LPARAM>(&dialog.object));

    // Without an object DefWindowProc answers: a close destroys the window.
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    CHECK(DialogProc(plain, WM_SIZE, 0, MAKELPARAM(400, 200)) == 0);
    DialogProc(plain, WM_CLOSE, 0, 0);
    CHECK_FALSE(IsWindow(plain));
}

TEST_CASE("routing: messages passed on whole reach their slot; unrouted messages return 0") {
    ModelessDialog dialog;
    const UINT standard[][2] = {{WM_GETDLGCODE, 1},   {WM_ACTIVATE, 2},     {WM_SHOWWINDOW, 3},
                                {WM_SYSCOMMAND, 4},   {WM_NOTIFY, 8},       {WM_COMMAND, 9},
                                {WM_CONTEXTMENU, 10}, {WM_SETFOCUS, 12},    {WM_MEASUREITEM, 14},
                                {WM_DRAWITEM, 15},    {WM_NCMOUSEMOVE, 27}, {WM_MOVE, 28},
                                {WM_HSCROLL, 30},     {WM_VSCROLL, 31}};
    for (const auto& route : standard) {
        INFO("message 0x" << std::hex << route[0]);
        const WPARAM wParam = kHighHalf | 0x1234;
        const LPARAM lParam = static_cast<LPARAM>(0x8765000000000042ull);
        CHECK(dialog.Send(route[0], wParam, lParam) == 0);
        const std::int64_t* seen = dialog.object.values;
        CHECK(dialog.object.slot == static_cast<int>(route[1]));
        CHECK((seen[0] == std::int64_t(dialog.window) && seen[1] == route[0]));
        CHECK((seen[2] == std::int64_t(wParam) && seen[3] == lParam));
    }
    for (UINT unrouted : {UINT{WM_CHAR}, UINT{WM_CTLCOLORDLG}, UINT{WM_NCDESTROY}, UINT{WM_SETFONT},
                          UINT{WM_USER + 5}}) {
        INFO("message 0x" << std::hex << unrouted);
        dialog.object.slot = -1;
        CHECK(dialog.Send(unrouted, 1, 1) == 0);
        CHECK(dialog.object.slot == -1);
    }
}

TEST_CASE("decoded messages: sizes, signed positions, 32-bit copies, the paint record") {
    ModelessDialog dialog;
    CRecordingDialog& seen = dialog.object;

    CHECK(dialog.Send(WM_SIZE, kHighHalf | SIZE_MAXIMIZED, MAKELPARAM(400, 200)) == 1);
    CHECK((seen.slot == 18 && seen.values[0] == 400 && seen.values[1] == 200 &&
           seen.values[2] == SIZE_MAXIMIZED && seen.values[3] == 1));
    dialog.Send(WM_SIZE, 0, MAKELPARAM(0xFFFF, 0x8000)); // zero-extended words
    CHECK((seen.width == 0xFFFFu && seen.height == 0x8000u));

    const UINT mouse[][2] = {{WM_LBUTTONDBLCLK, 19}, {WM_LBUTTONDOWN, 22}, {WM_LBUTTONUP, 23},
                             {WM_MOUSEMOVE, 24},     {WM_MOUSEHOVER, 25},  {WM_RBUTTONDOWN, 32},
                             {WM_RBUTTONUP, 33}};
    for (const auto& route : mouse) {
        INFO("message 0x" << std::hex << route[0]);
        dialog.Send(route[0], MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, 300));
        CHECK((seen.slot == static_cast<int>(route[1]) &&
               seen.values[0] == (MK_LBUTTON | MK_SHIFT) && seen.values[1] == -5 &&
               seen.values[2] == 300));
    }
    // A wheel turned towards the user: negative delta in the high word of wParam.
    dialog.Send(WM_MOUSEWHEEL, (WPARAM{0xFF88} << 16) | MK_CONTROL, MAKELPARAM(7, -2));
    CHECK((seen.slot == 29 && seen.values[0] == MK_CONTROL && seen.values[1] == -120 &&
           seen.values[2] == 7 && seen.values[3] == -2));
    dialog.Send(WM_MOUSELEAVE, 0, 0);
    CHECK(seen.slot == 26);

    const LPARAM keyData = static_cast<LPARAM>(0x7700000000000000ull | 0xC0000001ull);
    dialog.Send(WM_TIMER, kHighHalf | 0x41, 0);
    CHECK((seen.slot == 7 && seen.values[0] == 0x41));
    dialog.Send(WM_KEYDOWN, kHighHalf | VK_F5, keyData);
    CHECK((seen.slot == 17 && seen.values[0] == VK_F5 && seen.values[1] == 0xC0000001ll));
    dialog.Send(WM_KEYUP, kHighHalf | VK_ESCAPE, keyData);
    CHECK((seen.slot == 16 && seen.values[0] == VK_ESCAPE && seen.values[1] == 0xC0000001ll));

    CHECK(dialog.Send(WM_PAINT, 0, 0) == 0);
    CHECK((seen.slot == 13 && seen.values[2] != 0 && seen.values[0] == 0 && seen.values[1] == 0));
    HDC dc = GetDC(dialog.window);
    dialog.Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CHECK((seen.slot == 6 && seen.values[0] == CRecordingDialog::Value(dc)));
    ReleaseDC(dialog.window, dc);
}

TEST_CASE("results: OnMouseMove's 1 means default; WM_CLOSE and WM_DESTROY") {
    ModelessDialog dialog;
    dialog.object.overrideMouseMove = true;
    dialog.object.mouseMoveResult = 1;
    CHECK(dialog.Send(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)) ==
          DefWindowProcW(dialog.window, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)));
    for (int result : {0, 7, -3}) {
        dialog.object.mouseMoveResult = result;
        CHECK(dialog.Send(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)) == result);
    }

    // Only a result of 0 lets the dialog manager turn a close into Cancel.
    CHECK(dialog.Send(WM_CLOSE, 0, 0) == 0);
    CHECK(dialog.object.destroyCalls == 1); // the default OnClose calls OnDestroy
    DestroyWindow(dialog.window);
    CHECK(dialog.object.destroyCalls == 2);
}

TEST_CASE("CenterDialogOnScreen centres on the primary screen, even a window wider than it") {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // 81 pixels wider than the screen: (0 - w + screen) / 2 = -81 / 2 = -40 (truncated).
    HWND wide = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 5, 5, screenWidth + 81, 100, nullptr,
                                nullptr, nullptr, nullptr);
    CenterDialogOnScreen(wide);
    RECT rect{};
    GetWindowRect(wide, &rect);
    CHECK(rect.left == -40);
    CHECK(rect.top == (screenHeight - 100) / 2);
    CHECK(rect.right - rect.left == screenWidth + 81);
    DestroyWindow(wide);
}

TEST_CASE("OLE is uninitialised only by a dialog whose OleInitialize succeeded") {
    for (HRESULT result : {S_OK, S_FALSE, RPC_E_CHANGED_MODE}) {
        INFO("OleInitialize answers 0x" << std::hex << result);
        OleHook hook(result);
        { ModelessDialog dialog; }
        CHECK(OleCounters::initializeCalls == 1);
        CHECK(OleCounters::uninitializeCalls == (SUCCEEDED(result) ? 1 : 0));
    }
}
