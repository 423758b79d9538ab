#include "dialog/LocalDialog.h"

#include "dialog/DialogProc.h"
#include "win32/ModuleInstance.h"

namespace Orvanel::Dialog {

CLocalDialog::CLocalDialog() : backgroundBrush(nullptr), backgroundColor(0x808080) {
    backgroundBrush = CreateSolidBrush(backgroundColor);
}

CLocalDialog::~CLocalDialog() {
    if (backgroundBrush != nullptr) {
        DeleteObject(backgroundBrush);
        backgroundBrush = nullptr;
    }
}

INT_PTR CLocalDialog::RunModal(int resource, HWND owner) {
    return DialogBoxParamW(Win32::GetModuleInstance(), MAKEINTRESOURCEW(resource), owner,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CLocalDialog::EndOnOkOrCancel(HWND dialog, WORD command, int* result, int cancelResult) {
    if (command != IDOK && command != IDCANCEL) {
        return false;
    }
    const int value = command == IDOK ? 1 : cancelResult;
    if (result != nullptr) {
        *result = value;
    }
    EndDialog(dialog, value);
    return true;
}

} // namespace Orvanel::Dialog
