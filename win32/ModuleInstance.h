#pragma once
#include <windows.h>

namespace Orvanel::Win32 {

// The library's own instance, recorded once on process attach; every dialog template,
// string and window class is looked up in it.
HINSTANCE GetModuleInstance();
void SetModuleInstance(HINSTANCE instance);

} // namespace Orvanel::Win32
