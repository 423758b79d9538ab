#pragma once
#include <string>

namespace QuilletDemo {

class CDemoWindow;

// The viewer's own file handling, driven through its menu and the system's file dialogs: saves
// the picture on show as FOLDER/viewer-saved.png, opens another picture, opens the saved one
// again and compares it with what was saved, then opens a file that holds no picture and
// photographs the message box over the viewer (FOLDER/ViewerOpenFailed.png). Each check that
// does not hold is printed; returns their number.
int RunPictureTour(CDemoWindow& window, const std::wstring& folder);

} // namespace QuilletDemo
