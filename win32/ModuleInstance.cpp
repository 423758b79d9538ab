#include "win32/ModuleInstance.h"

namespace Orvanel::Win32 {

namespace {
HINSTANCE moduleInstance = nullptr;
}

HINSTANCE GetModuleInstance() { return moduleInstance; }

void SetModuleInstance(HINSTANCE instance) { moduleInstance = instance; }

} // namespace Orvanel::Win32
