#include "win32/OleForWindow.h"

#include <ole2.h>

namespace Orvanel::Win32 {

namespace {
const wchar_t kOleInitializedProperty[] = L"Quillet.OleInitialized";
}

void InitializeOleForWindow(HWND window) {
    const HRESULT result = OleInitialize(nullptr);
    // S_FALSE (already initialised on this thread) still counts and must be balanced.
    if (SUCCEEDED(result) && window != nullptr) {
        if (!SetPropW(window, kOleInitializedProperty, reinterpret_cast<HANDLE>(1))) {
            OleUninitialize();
        }
    } else if (SUCCEEDED(result)) {
        OleUninitialize();
    }
}

void UninitializeOleForWindow(HWND window) {
    if (window != nullptr && RemovePropW(window, kOleInitializedProperty) != nullptr) {
        OleUninitialize();
    }
}

} // namespace Orvanel::Win32
