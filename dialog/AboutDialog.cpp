#include "dialog/AboutDialog.h"

#include "dialog/DialogProc.h"
#include "win32/ModuleInstance.h"
#include "resources/resource.h"

#include <memory>

namespace Orvanel::Dialog {

INT_PTR CAboutDialog::Show(HWND owner) {
    return std::make_unique<CAboutDialog>()->RunModal(IDD_ABOUT, owner);
}

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

// The box's own button ends it as Cancel does.
INT_PTR CAboutDialog::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    const WORD command = LOWORD(wParam);
    return EndOnOkOrCancel(dialog, command == IDC_ABOUT_OK ? IDCANCEL : command) ? 1 : 0;
}

} // namespace Orvanel::Dialog
