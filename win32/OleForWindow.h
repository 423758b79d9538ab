#pragma once
#include <windows.h>

namespace Orvanel::Win32 {

// OLE is initialised for the lifetime of each dialog and child window. OleInitialize can
// fail, for instance with RPC_E_CHANGED_MODE when the host thread lives in the
// multithreaded apartment; an unconditional OleUninitialize would then tear down the host's
// own COM. So the window remembers (as a window property) whether its OleInitialize
// succeeded, and only such a window uninitialises.
void InitializeOleForWindow(HWND window);
void UninitializeOleForWindow(HWND window);

} // namespace Orvanel::Win32
