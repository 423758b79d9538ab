#include "win32/CommonControls.h"

#include <windows.h>

#include <commctrl.h>

namespace Orvanel::Win32 {

void RegisterBarControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);
}

} // namespace Orvanel::Win32
