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

// The wheel's message: 16-bit key state and signed delta, the position as for the others.
struct WheelArguments {
    unsigned short keyState;
    short delta;
    int x;
    int y;
};

inline WheelArguments DecodeWheel(WPARAM wParam, LPARAM lParam) {
    const MouseArguments mouse = DecodeMouse(wParam, lParam);
    return {LOWORD(wParam), static_cast<short>(HIWORD(wParam)), mouse.x, mouse.y};
}

// The key messages hand their handlers 32-bit copies of both arguments.
struct KeyArguments {
    unsigned int keyCode;
    unsigned int keyData;
};

inline KeyArguments DecodeKey(WPARAM wParam, LPARAM lParam) {
    return {static_cast<unsigned int>(wParam), static_cast<unsigned int>(lParam)};
}

} // namespace Orvanel::Win32
