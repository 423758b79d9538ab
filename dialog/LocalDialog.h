#pragma once
#include "dialog/MessageDialog.h"

namespace Orvanel::Dialog {

// Base of every concrete dialog: adds the grey background brush and colour, and the one way a
// dialog object is shown and ended.
class CLocalDialog : public CMessageDialog {
public:
    CLocalDialog();
    ~CLocalDialog() override;

    CLocalDialog(const CLocalDialog&) = delete;
    CLocalDialog& operator=(const CLocalDialog&) = delete;

    // Shows the library's dialog template `resource` modally over `owner`, this object
    // handling its messages. Returns the value the dialog was ended with, or -1 when it could
    // not be shown.
    INT_PTR RunModal(int resource, HWND owner);
    // Ends the dialog on OK with 1 and on Cancel (also a close) with `cancelResult`, keeping
    // the value in `*result` when one is given. False, and nothing done, for other commands.
    static bool EndOnOkOrCancel(HWND dialog, WORD command, int* result = nullptr,
                                int cancelResult = 0);

    HBRUSH backgroundBrush;
    COLORREF backgroundColor;
};

// Frees owned objects one after another in the order given, which is the order a dialog's
// destructor must keep.
template <class... Owned> void ReleaseInOrder(Owned&... owned) { (owned.reset(), ...); }

} // namespace Orvanel::Dialog
