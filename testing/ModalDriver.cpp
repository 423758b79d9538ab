#include "testing/ModalDriver.h"

#include <cstdio>
#include <vector>

namespace QuilletTest {

namespace {

struct DialogSearch {
    HWND found;
};

bool IsVisibleDialog(HWND window) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window);
}

BOOL CALLBACK FindDialogWindow(HWND window, LPARAM context) {
    if (IsVisibleDialog(window)) {
        reinterpret_cast<DialogSearch*>(context)->found = window;
        return FALSE;
    }
    return TRUE;
}

struct OwnedSearch {
    HWND owner, found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedSearch*>(context);
    if (IsVisibleDialog(window) && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

LRESULT CALLBACK DropRealMouse(int code, WPARAM wParam, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message >= WM_MOUSEFIRST &&
        message->message <= WM_MOUSELAST) {
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

HWND FindThreadDialog(DWORD threadId) {
    DialogSearch search{nullptr};
    EnumThreadWindows(threadId, FindDialogWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs) {
    OwnedSearch search{owner, nullptr};
    const DWORD start = GetTickCount();
    while (search.found == nullptr && GetTickCount() - start < timeoutMs) {
        EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            Sleep(10);
        }
    }
    return search.found;
}

std::wstring WindowText(HWND window) {
    std::vector<wchar_t> buffer(1024, L'\0');
    GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data());
}

std::wstring ControlText(HWND dialog, int controlId) {
    return WindowText(GetDlgItem(dialog, controlId));
}

CModalDriver::CModalDriver(std::function<void(HWND)> drive, DWORD timeoutMs)
    : drive_(std::move(drive)), timeoutMs_(timeoutMs), uiThreadId_(GetCurrentThreadId()),
      mutedMouse_(SetWindowsHookExW(WH_GETMESSAGE, DropRealMouse, nullptr, uiThreadId_)) {
    thread_ = std::thread([this] { Run(); });
}

CModalDriver::~CModalDriver() { Join(); }

void CModalDriver::Join() {
    modalReturned_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (mutedMouse_ != nullptr) {
        UnhookWindowsHookEx(mutedMouse_);
        mutedMouse_ = nullptr;
    }
}

void CModalDriver::Run() {
    const DWORD start = GetTickCount();
    HWND dialog = nullptr;
    while (dialog == nullptr && !modalReturned_ && GetTickCount() - start < timeoutMs_) {
        dialog = FindThreadDialog(uiThreadId_);
        if (dialog == nullptr) {
            Sleep(10);
        }
    }
    if (dialog == nullptr) {
        return;
    }
    dialogFound_ = true;
    drive_(dialog);

    const DWORD driven = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - driven < timeoutMs_) {
        Sleep(10);
    }
    if (!IsWindow(dialog)) {
        return;
    }
    watchdogFired_ = true;
    std::fprintf(stderr, "watchdog: dialog still open after %lu ms, closing it\n",
                 static_cast<unsigned long>(timeoutMs_));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    const DWORD closing = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - closing < 5000) {
        Sleep(10);
    }
    if (IsWindow(dialog)) {
        std::fprintf(stderr, "watchdog: dialog does not close, ending the test program\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

} // namespace QuilletTest
