#pragma once
#include "window/LocalWindow.h"

namespace Orvanel::Window {

// The wrapper around a dialog window, as the parent of its picture windows, that turns a click
// forwarded by one of them into a notification to the dialog: WM_NOTIFY with the given id in
// the low word of wParam (and in the header's idFrom), code NM_CLICK. Bitmap windows forward
// their clicks and double clicks to their parent's OnLButtonDblClk.
class CClickNotifyingHost : public CLocalWindow {
public:
    CClickNotifyingHost(HWND dialog, UINT_PTR notificationId);

    LRESULT OnLButtonDblClk(unsigned int& keyState, int& x, int& y) override;

    UINT_PTR notificationId;
};

} // namespace Orvanel::Window
