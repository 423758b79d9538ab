#pragma once
#include "dialog/LocalDialog.h"

namespace Orvanel::Dialog {

// The About box (dialog 115): product, author, company and web address from the string table.
class CAboutDialog : public CLocalDialog {
public:
    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace Orvanel::Dialog
