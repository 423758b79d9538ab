#include "demo/DemoTour.h"

#include "demo/DemoWindow.h"
#include "demo/Screenshot.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

namespace QuilletDemo {

namespace {

struct TourStop {
    const wchar_t* exportName;
    int command;
    // What a user does before the picture is taken (moving sliders...), from a second thread.
    std::function<void(HWND)> prepare;
    // How the dialog is closed afterwards.
    std::function<void(HWND)> close;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog(DWORD threadId, const std::atomic<bool>& returned) {
    for (int waited = 0; waited < 15000 && !returned; waited += 20) {
        HWND dialog = nullptr;
        EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog != nullptr) {
            return dialog;
        }
        Sleep(20);
    }
    return nullptr;
}

// Lets the dialog's thread finish painting: a message sent to it returns only once every
// message queued before it has been handled.
void Settle(HWND dialog) {
    DWORD_PTR ignored;
    SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
}

bool Visit(CDemoWindow& window, const TourStop& stop, const std::wstring& folder) {
    const std::wstring path = folder + L"/" + stop.exportName + L".png";
    std::atomic<bool> returned{false};
    bool saved = false;
    const DWORD threadId = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = WaitForDialog(threadId, returned);
        if (dialog == nullptr) {
            return;
        }
        Settle(dialog);
        if (stop.prepare) {
            stop.prepare(dialog);
            Settle(dialog);
        }
        saved = SaveWindowScreenshot(dialog, path);
        stop.close(dialog);
        for (int waited = 0; IsWindow(dialog) && waited < 10000; waited += 20) {
            Sleep(20);
        }
        if (IsWindow(dialog)) {
            // Never leave the tour hanging on a dialog that ignores its closing command.
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    window.RunCommand(stop.command);
    returned = true;
    driver.join();
    std::wprintf(L"%ls: %ls (%ls)\n", stop.exportName, saved ? L"screenshot written" : L"FAILED",
                 window.Status().c_str());
    std::fflush(stdout);
    return saved;
}

void ClickButton(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// What a trackbar sends while its thumb is dragged to a position.
void DragSlider(HWND dialog, int id, int position) {
    HWND slider = GetDlgItem(dialog, id);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
                 reinterpret_cast<LPARAM>(slider));
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

} // namespace

int RunTour(CDemoWindow& window, const std::wstring& folder) {
    const TourStop stops[] = {
        {L"ShowDialogBox", kCommandAbout, nullptr, [](HWND dialog) { ClickButton(dialog, 1000); }},
        {L"ShowMotionBlur", kCommandMotionBlur,
         [](HWND dialog) {
             DragSlider(dialog, 1226, 25); // radius
             DragSlider(dialog, 1225, 6);  // sigma
             DragSlider(dialog, 1222, 30); // angle
         },
         [](HWND dialog) { ClickButton(dialog, IDOK); }},
    };
    int failures = 0;
    for (const TourStop& stop : stops) {
        if (!Visit(window, stop, folder)) {
            ++failures;
        }
    }
    return failures;
}

} // namespace QuilletDemo
