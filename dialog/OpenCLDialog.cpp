#include "dialog/OpenCLDialog.h"

#include "dialog/DialogProc.h"
#include "resources/resource.h"
#include "shellplan/DeviceChoice.h"
#include "win32/ModuleInstance.h"

#include <memory>

namespace Orvanel::Dialog {

COpenCLDialog::COpenCLDialog() : selectedIndex(-1), confirmed(0) {}

COpenCLDialog::~COpenCLDialog() = default;

std::wstring COpenCLDialog::Show(HWND owner, const std::vector<std::wstring>& names) {
    std::unique_ptr<COpenCLDialog> dialog(new COpenCLDialog());
    dialog->deviceNames = names;
    dialog->ownerWindow = owner;
    DialogBoxParamW(Win32::GetModuleInstance(), MAKEINTRESOURCEW(IDD_OPENCL), owner, DialogProc,
                    reinterpret_cast<LPARAM>(dialog.get()));
    return ShellPlan::ChosenDeviceName(dialog->deviceNames, dialog->confirmed,
                                       dialog->selectedIndex);
}

INT_PTR COpenCLDialog::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    for (const std::wstring& name : deviceNames) {
        SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name.c_str()));
    }
    selectedIndex =
        static_cast<int>(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, 0, 0));
    CenterDialogOnScreen(dialog);
    return 0;
}

INT_PTR COpenCLDialog::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK:
        selectedIndex =
            static_cast<int>(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCURSEL, 0, 0));
        confirmed = 1;
        EndDialog(dialog, 1);
        return 1;
    case IDCANCEL:
        confirmed = 0;
        EndDialog(dialog, 0);
        return 1;
    default:
        return 0;
    }
}

} // namespace Orvanel::Dialog
