#include "dialog/Association.h"

#include "shell/RegistryWriter.h"
#include "shellplan/AssociationPlan.h"
#include "resources/resource.h"

#include <memory>
#include <string>
#include <vector>

namespace Orvanel::Dialog {

namespace {

// The running program's full path. Read whole, however long: a path cut short would name a
// viewer that does not exist.
std::wstring RunningProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer.data(),
                                                static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        if (buffer.size() >= 32768) {
            return std::wstring();
        }
        buffer.resize(buffer.size() * 4);
    }
}

} // namespace

INT_PTR CAssociation::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    for (int box : Orvanel::ShellPlan::DialogBoxIds()) {
        CheckDlgButton(dialog, box, BST_CHECKED);
    }
    return 0;
}

INT_PTR CAssociation::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == IDOK) {
        // A program not named as the association program gives no viewer path: nothing is
        // registered, and the dialog ends as it would have.
        Orvanel::Shell::CRegistryWriter writer;
        Orvanel::ShellPlan::CAssociationRegistration(writer).Register(
            RunningProgramPath(),
            [dialog](int box) { return IsDlgButtonChecked(dialog, box) == BST_CHECKED; });
    }
    EndOnOkOrCancel(dialog, LOWORD(wParam), nullptr, 2);
    return 0;
}

int CAssociation::Show(HWND owner) {
    auto dialog = std::make_unique<CAssociation>();
    dialog->ownerWindow = owner;
    dialog->RunModal(IDD_ASSOCIATION, owner);
    return 1;
}

} // namespace Orvanel::Dialog
