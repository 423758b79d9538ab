#pragma once
#include <windows.h>

namespace Orvanel::Win32 {

// The key state and position of a mouse message. Positions left of or above the client area
// arrive as negative 16-bit values and are sign-extended.
struct MouseArguments {
    unsigned int keyState;
    int x;
    int y;
};

inline MouseArguments DecodeMouse(WPARAM wParam, LPARAM lParam) {
    return {static_cast<unsigned int>(wParam), static_cast<short>(LOWORD(lParam)),
            static_cast<short>(HIWORD(lParam))};
}

} // namespace Orvanel::Win32
