#include "dialog/PrintDialog.h"

#include "host/OrvanelBitmap.h"
#include "resources/resource.h"

#include <process.h>

#include <memory>

namespace Orvanel::Dialog {

namespace {

// Waits for the thread while still answering messages sent to this thread's windows: a thread
// that sends to them must not wait on a caller that no longer listens.
void WaitAnsweringSentMessages(HANDLE thread) {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// A user holding the box by its caption or edge has this thread in the system's move or size
// loop, which waits for a button release that a destroyed box never gets. Cancelling the mode
// ends the loop where it watches the capture; where it does not (wine's), only a release does,
// posted to the thread so that it outlives the box.
void EndMoveOrSize(HWND dialog) {
    GUITHREADINFO input{};
    input.cbSize = sizeof input;
    const bool moving =
        GetGUIThreadInfo(GetCurrentThreadId(), &input) && input.hwndMoveSize == dialog;
    SendMessageW(dialog, WM_CANCELMODE, 0, 0);
    if (moving) {
        PostThreadMessageW(GetCurrentThreadId(), WM_LBUTTONUP, 0, 0);
    }
}

} // namespace

CPrintDialog::CPrintDialog()
    : threadId(0), thread(nullptr), margins(nullptr), bitmap(nullptr), showPrinterDialog(false),
      cancelBox(nullptr), owner(nullptr), request_{} {}

CPrintDialog::~CPrintDialog() {
    if (thread != nullptr) {
        WaitAnsweringSentMessages(thread);
        CloseHandle(thread);
        thread = nullptr;
    }
}

int CPrintDialog::Show(HWND owner, CMargeData* margins, COrvanelBitmap* bitmap,
                       bool showPrinterDialog) {
    if (margins == nullptr || bitmap == nullptr || bitmap->GetPtBitmap() == nullptr) {
        return 0;
    }
    if (!Print::ClaimPrintJob()) {
        return 0;
    }
    {
        auto dialog = std::make_unique<CPrintDialog>();
        dialog->owner = owner;
        dialog->margins = margins;
        dialog->bitmap = bitmap;
        dialog->showPrinterDialog = showPrinterDialog;
        dialog->ownerWindow = nullptr;
        // The box stays open until the print thread has ended the job.
        dialog->RunModal(IDD_PRINT_JOB, nullptr);
    }
    Print::ReleasePrintJob();
    return 0;
}

HANDLE CPrintDialog::StartPrintThread(unsigned& id) {
    return reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, Print::PrintThreadProc, &request_, 0, &id));
}

INT_PTR CPrintDialog::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    cancelBox = dialog;
    Print::CancelBox().store(dialog);
    Print::AbortFlag().store(0);
    SetWindowTextW(dialog, L"Impression ...");
    EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_GRAYED);
    request_ = Print::PrintRequest{dialog, margins, bitmap, showPrinterDialog};
    thread = StartPrintThread(threadId);
    if (thread == nullptr) {
        // No thread will ever close the box: close it now, before it shows.
        Print::CancelBox().store(nullptr);
        cancelBox = nullptr;
        EndDialog(dialog, 0);
    }
    return 0;
}

INT_PTR CPrintDialog::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDCANCEL: // "Annuler" or Escape: the thread stops at its next check
        Print::AbortFlag().store(1);
        break;
    case IDC_PRINT_JOB_DONE:
        if (owner != nullptr) {
            EnableWindow(owner, TRUE);
        }
        EndMoveOrSize(dialog);
        DestroyWindow(dialog);
        Print::CancelBox().store(nullptr);
        cancelBox = nullptr;
        // Some modal loops notice their destroyed dialog only at the next message.
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        break;
    default:
        break;
    }
    return 0;
}

} // namespace Orvanel::Dialog
