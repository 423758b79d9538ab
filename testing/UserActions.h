#pragma once
// What a user's actions send to a dialog, sent from a second thread: shared by the tests and
// the demo's tour so that both act on the dialogs the same way.
#include <windows.h>

namespace QuilletTest {

// A click on a push button, posted: the button's command may end the modal loop, which must
// not wait on this thread.
void ClickButton(HWND dialog, int buttonId);

// The first child window of the class: the dialogs' own windows ("ColorMatrix"...).
HWND Child(HWND dialog, const wchar_t* className);

// A mouse message with the left button held at client point (x, y), sent; its result. A press,
// a drag and a release on a picking window.
LRESULT Mouse(HWND window, UINT message, int x, int y);

// A key pressed and released over a control (arrow keys and page keys on a trackbar).
void PressKey(HWND control, UINT key);

// What a trackbar (horizontal or vertical) sends while its thumb is dragged to a position and
// released.
void DragSlider(HWND dialog, int sliderId, int position);

} // namespace QuilletTest
