#include "print/PrintJob.h"

#include "host/InterpolationBicubic.h"
#include "host/MargeData.h"
#include "host/OrvanelBitmap.h"
#include "layout/PrintedPageLayout.h"
#include "print/DefaultPrinter.h"
#include "resources/resource.h"

#include <commdlg.h>

#include <memory>
#include <new>
#include <string>
#include <utility>

namespace Orvanel::Print {

static_assert(sizeof(void*) != 8 || sizeof(PRINTDLGW) == 120, "the print dialog's record");
static_assert(sizeof(void*) != 8 || sizeof(DOCINFOW) == 40, "the document's description");

namespace {

std::atomic<int> abortFlag{0};
std::atomic<HWND> cancelBox{nullptr};
std::atomic<bool> jobRunning{false};

bool Aborted() { return abortFlag.load() != 0; }

// The copies, each its own document of one page. A copy whose document or page cannot start
// is skipped; a document left open by a failed page is abandoned, so the next copy can start.
void PrintCopies(const PrintRequest& request, HDC printer, int copies) {
    // The document's name must live until the last document has ended.
    const std::wstring documentName = request.bitmap->GetFilename();
    DOCINFOW document{};
    document.cbSize = sizeof(DOCINFOW);
    document.lpszDocName = documentName.c_str();
    SetAbortProc(printer, PrintAbortProc);
    for (int copy = 0; copy < copies; ++copy) {
        if (Aborted()) {
            return;
        }
        if (StartDocW(printer, &document) <= 0) {
            continue;
        }
        if (StartPage(printer) <= 0) {
            AbortDoc(printer);
            continue;
        }
        DrawImageOnPage(*request.margins, *request.bitmap, printer);
        if (EndPage(printer) > 0) {
            EndDoc(printer);
        } else {
            AbortDoc(printer);
        }
    }
}

// An empty bitmap of the printed size, or null when memory runs short: an exception must not
// leave the print thread, which would end the host's process.
std::unique_ptr<COrvanelBitmap> PrintedCopy(int width, int height) {
    try {
        return std::make_unique<COrvanelBitmap>(width, height, 32);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

std::atomic<int>& AbortFlag() { return abortFlag; }

std::atomic<HWND>& CancelBox() { return cancelBox; }

bool ClaimPrintJob() {
    bool idle = false;
    return jobRunning.compare_exchange_strong(idle, true);
}

void ReleasePrintJob() { jobRunning.store(false); }

unsigned __stdcall PrintThreadProc(void* argument) {
    const PrintRequest& request = *static_cast<const PrintRequest*>(argument);
    PrintImage(request);
    // The only way the box closes: sent on every path, also when nothing could be printed.
    SendMessageW(request.cancelBox, WM_COMMAND, IDC_PRINT_JOB_DONE, 0);
    return 0;
}

int PrintImage(const PrintRequest& request) {
    auto* record =
        static_cast<PRINTDLGW*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(PRINTDLGW)));
    if (record == nullptr) {
        return E_OUTOFMEMORY;
    }
    record->lStructSize = sizeof(PRINTDLGW);
    record->hwndOwner = request.cancelBox;
    record->Flags = PD_RETURNDC | PD_COLLATE;
    record->nMinPage = 1;
    record->nMaxPage = 1000;
    record->nCopies = 1;

    int result = 1;
    if (request.showPrinterDialog) {
        // Cancelled or failed: nothing to print, and nothing returned to free.
        if (!PrintDlgW(record)) {
            record->hDC = nullptr;
        }
    } else {
        CDefaultPrinter printer;
        if (GetDefaultPrinterOrientation(printer) == 0) {
            record->hDC = std::exchange(printer.deviceContext, nullptr);
        }
        result = record->hDC != nullptr ? 1 : 0;
    }

    if (record->hDC != nullptr) {
        PrintCopies(request, record->hDC, record->nCopies);
        DeleteDC(record->hDC);
    }
    // The dialog hands its settings and the printer's names back as movable global memory.
    if (record->hDevMode != nullptr) {
        GlobalFree(record->hDevMode);
    }
    if (record->hDevNames != nullptr) {
        GlobalFree(record->hDevNames);
    }
    HeapFree(GetProcessHeap(), 0, record);
    return result;
}

int DrawImageOnPage(const CMargeData& margins, COrvanelBitmap& bitmap, HDC printer,
                    long long maxCopyPixels) {
    const Layout::PrintedPlacement placement = Layout::PlaceImageOnPage(
        margins.marginLeft, margins.marginTop, margins.marginRight, margins.marginBottom,
        GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES),
        GetDeviceCaps(printer, HORZSIZE), GetDeviceCaps(printer, VERTSIZE), bitmap.GetBitmapWidth(),
        bitmap.GetBitmapHeight());
    // Margins that leave no room, or make no sense, draw nothing; the page still ends.
    if (Aborted() || !placement.drawable) {
        return 1;
    }
    // A copy of the printed size, or of the largest size of its shape that stays bounded: a page
    // at the printer's highest resolutions would otherwise need gigabytes.
    const Layout::CopySize copy =
        Layout::BoundedCopySize(placement.width, placement.height, maxCopyPixels);
    std::unique_ptr<COrvanelBitmap> resampled = PrintedCopy(copy.width, copy.height);
    if (resampled == nullptr || resampled->GetPtBitmap() == nullptr || Aborted()) {
        return 1;
    }
    COrvanelBitmap* target = resampled.get();
    CInterpolationBicubic().Execute(&bitmap, target);
    SetStretchBltMode(printer, COLORONCOLOR);
    // A copy of the printed size is copied as it is; a bounded one is stretched over it.
    StretchDIBits(printer, placement.left, placement.top, placement.width, placement.height, 0, 0,
                  static_cast<int>(resampled->GetBitmapWidth()),
                  static_cast<int>(resampled->GetBitmapHeight()), resampled->GetPtBitmap(),
                  reinterpret_cast<const BITMAPINFO*>(&resampled->bitmapInfo), DIB_RGB_COLORS,
                  SRCCOPY);
    return 1;
}

BOOL CALLBACK PrintAbortProc(HDC, int) {
    if (Aborted()) {
        return FALSE;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        HWND box = cancelBox.load();
        if (box == nullptr || !IsDialogMessageW(box, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (Aborted()) {
            return FALSE;
        }
    }
    return TRUE;
}

} // namespace Orvanel::Print
