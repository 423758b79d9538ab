#pragma once
#include "dialog/LocalDialog.h"

#include <string>
#include <vector>

namespace Orvanel::Dialog {

// Dialog 102: the host's OpenCL device names in a combo box, in the host's order; the name the
// user confirms is handed back. The library makes no OpenCL call itself.
class COpenCLDialog : public CLocalDialog {
public:
    COpenCLDialog();
    ~COpenCLDialog() override;

    // The confirmed name; the empty string after Cancel, a close, or when nothing in the list
    // is selected (an empty list, or text typed into the box's edit field).
    static std::wstring Show(HWND owner, const std::vector<std::wstring>& names);

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    std::vector<std::wstring> deviceNames;
    int selectedIndex;
    int confirmed;
};

} // namespace Orvanel::Dialog
