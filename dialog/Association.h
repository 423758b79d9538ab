#pragma once
#include "dialog/LocalDialog.h"

namespace Orvanel::Dialog {

// The file association (dialog 101): one check box per format, all checked when it opens; OK
// registers the viewer for the checked formats, Cancel writes nothing.
class CAssociation : public CLocalDialog {
public:
    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Shows the dialog owned by `owner`; 1 however it ended.
    static int Show(HWND owner);
};

} // namespace Orvanel::Dialog
