#include "dialog/AboutDialog.h"

#include "dialog/DialogProc.h"
#include "win32/ModuleInstance.h"
#include "resources/resource.h"

namespace Orvanel::Dialog {

INT_PTR CAboutDialog::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    struct TextLine {
        UINT stringId;
        int controlId;
    };
    // Top to bottom: product with version, author, company, web address.
    static const TextLine lines[] = {
        {IDS_ABOUT_PRODUCT, IDC_ABOUT_LINE1},
        {IDS_ABOUT_AUTHOR, IDC_ABOUT_LINE2},
        {IDS_ABOUT_COMPANY, IDC_ABOUT_LINE3},
        {IDS_ABOUT_WEB, IDC_ABOUT_LINE4},
    };
    wchar_t buffer[256];
    for (const TextLine& line : lines) {
        buffer[0] = L'\0';
        LoadStringW(Orvanel::Win32::GetModuleInstance(), line.stringId, buffer, 255);
        SendDlgItemMessageW(dialog, line.controlId, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(buffer));
    }
    CenterDialogOnScreen(dialog);
    return 0;
}

INT_PTR CAboutDialog::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK:
        EndDialog(dialog, 1);
        return 1;
    case IDCANCEL:
    case IDC_ABOUT_OK:
        EndDialog(dialog, 0);
        return 1;
    default:
        return 0;
    }
}

} // namespace Orvanel::Dialog
