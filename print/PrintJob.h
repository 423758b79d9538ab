#pragma once
// The print job: a printer chosen with the system's print dialog or the default printer taken
// as it is, then one document of one page per copy with the host's image laid out by its
// margins. It runs on a thread of its own while the cancel box runs on the caller's thread;
// the two share the abort flag and the box's handle.
#include "layout/PrintedPageLayout.h"

#include <windows.h>

#include <atomic>

class CMargeData;
class COrvanelBitmap;

namespace Orvanel::Print {

// What the print thread needs; it must outlive the thread.
struct PrintRequest {
    HWND cancelBox;         // owns the printer dialog; told with IDC_PRINT_JOB_DONE when done
    CMargeData* margins;    // centimetres
    COrvanelBitmap* bitmap; // printed unchanged
    bool showPrinterDialog;
};

// Raised (1) by the cancel box; the print thread stops at its next check.
std::atomic<int>& AbortFlag();
// The open cancel box, null when none; the abort procedure pumps its messages.
std::atomic<HWND>& CancelBox();

// One job per process at a time, since the two values above are process-wide. True when the
// caller may run one; it must then call ReleasePrintJob once the job's thread has ended.
bool ClaimPrintJob();
void ReleasePrintJob();

// Thread entry (for _beginthreadex) given a PrintRequest: prints, then sends the end-of-job
// command to the cancel box, whatever happened.
unsigned __stdcall PrintThreadProc(void* request);

// 1 once the printer was asked for (whether anything printed or not), 0 when the default
// printer could not be used, E_OUTOFMEMORY when the print dialog's record could not be made.
int PrintImage(const PrintRequest& request);

// Draws the bitmap at the top left of the area the margins leave free on the printer's page;
// draws nothing when nothing fits or the job was aborted. Always 1. The picture is resampled
// to its printed size, or to the largest of that shape within `maxCopyPixels`, which the
// printer then stretches.
int DrawImageOnPage(const CMargeData& margins, COrvanelBitmap& bitmap, HDC printer,
                    long long maxCopyPixels = Layout::kMaxCopyPixels);

// Registered with SetAbortProc: keeps the thread's messages moving while the spooler works,
// and tells it to abandon the document once the flag is raised.
BOOL CALLBACK PrintAbortProc(HDC printer, int error);

} // namespace Orvanel::Print
