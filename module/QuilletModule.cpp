#include "module/ModuleInstance.h"

// Only the instance is needed; thread attach/detach and process detach have nothing to do.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        Orvanel::SetModuleInstance(instance);
    }
    return TRUE;
}
