// The exported functions. module/Quillet.def maps each onto its decorated Microsoft name.
#include "module/Quillet.h"

#include "dialog/AboutDialog.h"
#include "dialog/Association.h"
#include "dialog/ColorBoxPicker.h"
#include "dialog/LensFlareDialogBox.h"
#include "dialog/MotionBlurDialog.h"
#include "dialog/OpenCLDialog.h"
#include "dialog/PrintPreviewDialog.h"
#include "dialog/PrintDialog.h"
#include "shell/CommonFileDialogs.h"

using namespace Orvanel::Dialog;
using namespace Orvanel::Shell;

int nQuillet = 0;

CQuillet::CQuillet() = default;

// The class has no state: assignment only hands the object back.
CQuillet& CQuillet::operator=(const CQuillet&) { return *this; }

int fnQuillet() { return 42; }

__int64 ShowDialogBox(HWND owner) { return CAboutDialog::Show(owner); }

int ShowMotionBlur(HWND owner, COrvanelBitmap* bitmap, double& radius, double& sigma,
                   double& angle) {
    return CMotionBlurDialog::Show(owner, bitmap, radius, sigma, angle);
}

int ShowColorBox(HWND owner, unsigned long& color) { return CColorBoxPicker::Show(owner, color); }

int ShowLensFlareDialogBox(HWND owner, COrvanelBitmap* bitmap, unsigned long& color, int& x, int& y,
                           int& size, int& reserved, int& brightness, int& hue, int& intensity) {
    return CLensFlareDialogBox::Show(owner, bitmap, color, x, y, size, reserved, brightness, hue,
                                     intensity);
}

// The owner is not used: the print setup dialog has no owner window.
int ShowPrintPreview(HWND, CMargeData* layout, COrvanelBitmap* bitmap) {
    return CPrintPreviewDialog::Show(layout, bitmap);
}

std::wstring ShowOpenCLDialogBox(HWND owner, std::vector<std::wstring> deviceNames) {
    return COpenCLDialog::Show(owner, deviceNames);
}

// Registers the viewer for the checked formats after OK; 1 however the dialog ended.
int ShowAssociateFilesExtension(HWND owner) { return CAssociation::Show(owner); }

// The job's outcome is never reported: always 0.
int PrintDialog(HWND owner, CMargeData* margins, COrvanelBitmap* bitmap,
                const bool& showPrinterDialog) {
    return CPrintDialog::Show(owner, margins, bitmap, showPrinterDialog);
}

// The system's file dialogs show no owner window: the host's is not used. Without a buffer
// to hand the path back in there is nothing to ask the user for.
int ShowOpenDialogBox(wchar_t* path, HWND) {
    return path != nullptr ? ShowImageOpenDialog(path) : 0;
}

int ShowSaveDialogBox(wchar_t* path, HWND) {
    return path != nullptr ? ShowImageSaveDialog(path) : 0;
}

int ShowVideoOpenBox(wchar_t* path, HWND) {
    return path != nullptr ? ShowVideoOpenDialog(path) : 0;
}

int ShowFolderSelectDialogBox(wchar_t* path, HWND owner) {
    return path != nullptr ? ShowFolderDialog(path, owner) : 0;
}
