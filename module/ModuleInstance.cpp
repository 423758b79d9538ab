#include "module/ModuleInstance.h"

namespace Orvanel {

namespace {
HINSTANCE moduleInstance = nullptr;
}

HINSTANCE GetModuleInstance() { return moduleInstance; }

void SetModuleInstance(HINSTANCE instance) { moduleInstance = instance; }

} // namespace Orvanel
