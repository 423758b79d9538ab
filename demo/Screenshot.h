#pragma once
#include <windows.h>

#include <string>

namespace QuilletDemo {

// Copies what the screen shows of the window (frame included) into a PNG file.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

} // namespace QuilletDemo
