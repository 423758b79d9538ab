#include "window/Message.h"

namespace Orvanel::Window {

#define RAW_DEFAULT(name)                                                                          \
    LRESULT CMessage::name(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {              \
        return DefWindowProcW(window, message, wParam, lParam);                                    \
    }

RAW_DEFAULT(OnNcCreate)
RAW_DEFAULT(OnCtlColorStatic)
RAW_DEFAULT(OnCtlColorEdit)
RAW_DEFAULT(OnNcDestroy)
RAW_DEFAULT(OnKillFocus)
RAW_DEFAULT(OnClipboardUpdate)
RAW_DEFAULT(OnDestroyClipboard)
RAW_DEFAULT(OnActivate)
RAW_DEFAULT(OnSysCommand)
RAW_DEFAULT(OnReservedA)
RAW_DEFAULT(OnNotify)
RAW_DEFAULT(OnContextMenu)
RAW_DEFAULT(OnSetFocus)
RAW_DEFAULT(OnMeasureItem)
RAW_DEFAULT(OnDrawItem)
RAW_DEFAULT(OnCtlColorScrollBar)
RAW_DEFAULT(OnNcMouseMove)
RAW_DEFAULT(OnMove)
RAW_DEFAULT(OnHScroll)
RAW_DEFAULT(OnVScroll)
RAW_DEFAULT(OnGetDlgCode)
RAW_DEFAULT(OnChar)
RAW_DEFAULT(OnReservedB)
RAW_DEFAULT(OnWindowPosChanging)

#undef RAW_DEFAULT

LRESULT CMessage::OnShowWindow(bool&, unsigned int&) { return 1; }
LRESULT CMessage::OnEraseBackground(HDC) { return 1; }
LRESULT CMessage::OnTimer(unsigned int&) { return 1; }
LRESULT CMessage::OnCommand(unsigned int&, unsigned int&, HWND) { return 1; }
LRESULT CMessage::OnCreate() { return 1; }
LRESULT CMessage::OnPaint(CDrawContext*) { return 1; }
LRESULT CMessage::OnKeyUp(unsigned int&, unsigned int&) { return 1; }
LRESULT CMessage::OnKeyDown(unsigned int&, unsigned int&) { return 1; }
LRESULT CMessage::OnSize(unsigned int&, unsigned int&, unsigned int&) { return 1; }
LRESULT CMessage::OnClose() { return 1; }
LRESULT CMessage::OnDestroy() { return 1; }
LRESULT CMessage::OnLButtonDown(unsigned int&, int&, int&) { return 1; }
LRESULT CMessage::OnLButtonUp(unsigned int&, int&, int&) { return 1; }
LRESULT CMessage::OnMouseMove(unsigned int&, int&, int&) { return 1; }
LRESULT CMessage::OnMouseHover(unsigned int&, int&, int&) { return 1; }
LRESULT CMessage::OnMouseLeave() { return 1; }
LRESULT CMessage::OnLButtonDblClk(unsigned int&, int&, int&) { return 1; }
LRESULT CMessage::OnMouseWheel(unsigned short&, short&, int&, int&) { return 1; }
LRESULT CMessage::OnRButtonDown(unsigned int&, int&, int&) { return 1; }
LRESULT CMessage::OnRButtonUp(unsigned int&, int&, int&) { return 1; }

CMessage::~CMessage() = default;

} // namespace Orvanel::Window
