#pragma once
#include <windows.h>

namespace Orvanel::Window {

// What OnPaint draws on: a device context, and the off-screen bitmap selected into it when
// the paint is double-buffered (null otherwise).
struct CDrawContext {
    HBITMAP bitmap;
    HDC deviceContext;
};

} // namespace Orvanel::Window
