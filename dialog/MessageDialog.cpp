#include "dialog/MessageDialog.h"

namespace Orvanel::Dialog {

CMessageDialog::CMessageDialog() : ownerWindow(nullptr), width(0), height(0) {}

CMessageDialog::~CMessageDialog() = default;

INT_PTR CMessageDialog::OnGetDlgCode(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnActivate(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnShowWindow(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnSysCommand(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnInitDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnEraseBackground(HDC) { return 0; }
INT_PTR CMessageDialog::OnTimer(unsigned int*) { return 0; }
INT_PTR CMessageDialog::OnNotify(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnCommand(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnContextMenu(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnReserved(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnSetFocus(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnPaint(CPaintScratch**) { return 0; }
INT_PTR CMessageDialog::OnMeasureItem(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnDrawItem(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnKeyUp(unsigned int*, unsigned int*) { return 0; }
INT_PTR CMessageDialog::OnKeyDown(unsigned int*, unsigned int*) { return 0; }
INT_PTR CMessageDialog::OnSize(unsigned int*, unsigned int*, unsigned int*) { return 1; }
INT_PTR CMessageDialog::OnLButtonDblClk(unsigned int*, int*, int*) { return 0; }

// A close takes the dialog manager's default path (WM_COMMAND with IDCANCEL), so every
// dialog sees a close as Cancel.
INT_PTR CMessageDialog::OnClose() {
    OnDestroy();
    return 0;
}

INT_PTR CMessageDialog::OnDestroy() { return 0; }
INT_PTR CMessageDialog::OnLButtonDown(unsigned int*, int*, int*) { return 0; }
INT_PTR CMessageDialog::OnLButtonUp(unsigned int*, int*, int*) { return 0; }
int CMessageDialog::OnMouseMove(unsigned int*, int*, int*) { return 0; }
INT_PTR CMessageDialog::OnMouseHover(unsigned int*, int*, int*) { return 0; }
INT_PTR CMessageDialog::OnMouseLeave() { return 0; }
INT_PTR CMessageDialog::OnNcMouseMove(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnMove(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnMouseWheel(unsigned short*, short*, int*, int*) { return 0; }
INT_PTR CMessageDialog::OnHScroll(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnVScroll(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CMessageDialog::OnRButtonDown(unsigned int*, int*, int*) { return 0; }
INT_PTR CMessageDialog::OnRButtonUp(unsigned int*, int*, int*) { return 0; }

} // namespace Orvanel::Dialog
