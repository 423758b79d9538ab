#include "dialog/OpenCLDialog.h"

#include "dialog/DialogProc.h"
#include "resources/resource.h"
#include "shellplan/DeviceChoice.h"

#include <memory>

namespace Orvanel::Dialog {

COpenCLDialog::COpenCLDialog() : selectedIndex(-1), confirmed(0) {}

COpenCLDialog::~COpenCLDialog() = default;

std::wstring COpenCLDialog::Show(HWND owner, const std::vector<std::wstring>& names) {
    auto dialog = std::make_unique<COpenCLDialog>();
    dialog->deviceNames = names;
    dialog->ownerWindow = owner;
    dialog->RunModal(IDD_OPENCL, owner);
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
    if (LOWORD(wParam) == IDOK) {
        selectedIndex =
            static_cast<int>(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCURSEL, 0, 0));
    }
    return EndOnOkOrCancel(dialog, LOWORD(wParam), &confirmed) ? 1 : 0;
}

} // namespace Orvanel::Dialog
