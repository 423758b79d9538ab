#include "support/RandomUse.h"

#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace QuilletTest {

namespace {

struct KeyStroke {
    UINT key;
    wchar_t character; // 0: a key that types nothing
};
const KeyStroke kKeys[] = {
    {VK_TAB, 0},          {VK_LEFT, 0},          {VK_RIGHT, 0}, {VK_UP, 0},      {VK_DOWN, 0},
    {VK_PRIOR, 0},        {VK_NEXT, 0},          {VK_HOME, 0},  {VK_END, 0},     {VK_SPACE, L' '},
    {'0', L'0'},          {'4', L'4'},           {'9', L'9'},   {'A', L'a'},     {'Q', L'q'},
    {VK_OEM_MINUS, L'-'}, {VK_OEM_PERIOD, L'.'}, {'E', L'e'},   {VK_BACK, L'\b'}};

const std::wstring kTexts[] = {L"0",
                               L"1",
                               L"42",
                               L"255",
                               L"-7",
                               L"3.5",
                               L"",
                               L"nan",
                               L"1e39",
                               L"-1e39",
                               L"#12ab9F",
                               L"99999999999999999999",
                               std::wstring(300, L'8')};

BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool WaitGone(HWND window) {
    for (const DWORD start = GetTickCount(); IsWindow(window) && GetTickCount() - start < 10000;)
        Sleep(10);
    return !IsWindow(window);
}

} // namespace

bool CRandomUse::Use(HWND dialog, const DialogSurface& surface, int count,
                     const DialogSurface& nested) {
    std::vector<HWND> windows{dialog};
    EnumChildWindows(dialog, AddWindow, reinterpret_cast<LPARAM>(&windows));
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [&](HWND w) {
                                     const auto& c = surface.closers;
                                     return GetParent(w) == dialog &&
                                            std::count(c.begin(), c.end(), GetDlgCtrlID(w)) > 0;
                                 }),
                  windows.end());
    bool fine = true;
    for (int i = 0; i < count && fine && IsWindow(dialog); ++i, ++events_) {
        HWND window = windows[Below(windows.size())];
        const std::wstring kind = ClassOf(window);
        const bool own = Below(2) == 0; // what this kind of window is for, or any event
        if (own && kind == L"Edit") {
            Text(window);
        } else if (own && kind == L"Button") {
            SendMessageW(window, BM_CLICK, 0, 0);
        } else if (own && kind == TRACKBAR_CLASSW) {
            const int low = int(SendMessageW(window, TBM_GETRANGEMIN, 0, 0));
            const int high = int(SendMessageW(window, TBM_GETRANGEMAX, 0, 0));
            DragSlider(GetParent(window), GetDlgCtrlID(window), low - 10 + Below(high - low + 21));
        } else if (Below(2) == 0) {
            Key(window, dialog);
        } else {
            Gesture(window, dialog, surface, nested, fine);
        }
    }
    return fine && IsWindow(dialog);
}

// A move, a press, a drag through a few points and a release, anywhere in the window and a
// little beyond its edges.
void CRandomUse::Gesture(HWND window, HWND dialog, const DialogSurface& surface,
                         const DialogSurface& nested, bool& fine) {
    RECT client{};
    GetClientRect(window, &client);
    const auto point = [&] {
        return MAKELPARAM(Below(client.right + 17) - 8, Below(client.bottom + 17) - 8);
    };
    SendMessageW(window, WM_MOUSEMOVE, 0, point());
    if (surface.opener != nullptr && ClassOf(window) == surface.opener) {
        // Not waited for: the box runs its own modal loop inside the press.
        SendNotifyMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point());
        HWND box = WaitForOwnedDialog(dialog);
        fine = box != nullptr && Use(box, nested, 1 + Below(30));
        if (box != nullptr) {
            ++boxesOpened_;
            Close(box, IDCANCEL, true);
            fine = WaitGone(box) && fine;
        }
    } else {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point());
    }
    for (int moves = Below(5); moves > 0; --moves)
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, point());
    SendMessageW(window, WM_LBUTTONUP, 0, point());
}

void CRandomUse::Key(HWND window, HWND dialog) {
    const KeyStroke& stroke = kKeys[Below(std::size(kKeys))];
    if (stroke.key == VK_TAB) { // what the dialog manager does with Tab and Shift+Tab
        SendMessageW(dialog, WM_NEXTDLGCTL, Below(2), FALSE);
        return;
    }
    SendMessageW(window, WM_KEYDOWN, stroke.key, 1);
    if (stroke.character != 0)
        SendMessageW(window, WM_CHAR, stroke.character, 1);
    SendMessageW(window, WM_KEYUP, stroke.key, static_cast<LPARAM>(0xC0000001u));
}

// A text set at once (the box notifies its change) or typed over a selection of all.
void CRandomUse::Text(HWND edit) {
    std::wstring text = kTexts[Below(std::size(kTexts))];
    // Wine 8.0's edit control crashes when a key reaches a box without automatic horizontal
    // scrolling (the device chooser's combo) whose text is wider than the box: such a box
    // gets only texts that fit.
    if ((GetWindowLongPtrW(edit, GWL_STYLE) & ES_AUTOHSCROLL) == 0 && text.size() > 20)
        text = L"12";
    if (text.size() > 20 || Below(2) == 0) {
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t c : text.empty() ? std::wstring(1, L'\b') : text)
        SendMessageW(edit, WM_CHAR, c, 1);
}

bool CRandomUse::Close(HWND dialog, int cancelId, bool okAllowed) {
    switch (Below(okAllowed ? 4 : 3)) {
    case 0:
        ClickButton(dialog, cancelId);
        return false;
    case 1: // through the dialog manager's keyboard handling in the modal loop
        PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
        return false;
    case 2:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return false;
    default:
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    }
}

} // namespace QuilletTest
