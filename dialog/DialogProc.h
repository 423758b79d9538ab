#pragma once
#include <windows.h>

namespace Orvanel::Dialog {

// The one dialog procedure of every dialog of the library. The dialog object arrives as the
// WM_INITDIALOG parameter, is kept in the window's user data and receives every routed
// message through its virtual handlers.
INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Centres the window on the primary screen (not on its owner).
void CenterDialogOnScreen(HWND window);

} // namespace Orvanel::Dialog
