#pragma once
#include <windows.h>

#include <string>

namespace QuilletDemo {

// Waits until the screen shows every window of the window's thread (a dialog, a list dropped
// from one of its boxes) as they drew themselves, with every paint they had pending done;
// false if it did not within 5 s.
bool WaitUntilShown(HWND window);

// Copies what the screen shows of the window (frame included) into a PNG file.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

} // namespace QuilletDemo
