#include "window/ClickNotifyingHost.h"

#include <commctrl.h>

namespace Orvanel::Window {

CClickNotifyingHost::CClickNotifyingHost(HWND dialog, UINT_PTR notificationId)
    : CLocalWindow(dialog), notificationId(notificationId) {}

LRESULT CClickNotifyingHost::OnLButtonDblClk(unsigned int&, int&, int&) {
    NMHDR header{};
    header.hwndFrom = window;
    header.idFrom = notificationId;
    header.code = NM_CLICK;
    // Sent, not posted: the header lives on this stack, and the dialog reacts before the
    // click's message returns.
    SendMessageW(window, WM_NOTIFY, notificationId, reinterpret_cast<LPARAM>(&header));
    return 0;
}

} // namespace Orvanel::Window
