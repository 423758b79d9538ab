#pragma once
#include "dialog/LocalDialog.h"
#include "print/PrintJob.h"

class CMargeData;
class COrvanelBitmap;

namespace Orvanel::Dialog {

// Dialog 211: the cancel box shown while the print thread prints the host's image. Its
// "Annuler" raises the abort flag; the thread closes the box when the job is over.
class CPrintDialog : public CLocalDialog {
public:
    CPrintDialog();
    // Waits for the print thread (it reads this object) before closing its handle.
    ~CPrintDialog() override;

    // Prints the bitmap laid out by the margins behind the cancel box; always 0. Shows
    // nothing for a bitmap without pixels, no margins, or while another job runs.
    static int Show(HWND owner, CMargeData* margins, COrvanelBitmap* bitmap,
                    bool showPrinterDialog);

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    unsigned threadId;
    HANDLE thread;
    CMargeData* margins;    // the host's, only read
    COrvanelBitmap* bitmap; // the host's, only read
    bool showPrinterDialog;
    HWND cancelBox;
    HWND owner; // enabled again when the job ends

protected:
    // Starts the print thread on `request`; null when it cannot start.
    virtual HANDLE StartPrintThread(unsigned& id);

private:
    Print::PrintRequest request_;
};

} // namespace Orvanel::Dialog
