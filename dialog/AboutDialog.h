#pragma once
#include "dialog/LocalDialog.h"

namespace Orvanel::Dialog {

// The About box (dialog 115): product, author, company and web address from the string table.
class CAboutDialog : public CLocalDialog {
public:
    // Shows the box owned by `owner`: 1 after OK, 0 after its button or a close, -1 when it
    // cannot be shown.
    static INT_PTR Show(HWND owner);

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace Orvanel::Dialog
