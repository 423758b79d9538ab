#include "win32/ModuleInstance.h"

// Only the instance is needed; thread attach/detach and process detach have nothing to do.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        Orvanel::Win32::SetModuleInstance(instance);
    }
    return TRUE;
}
