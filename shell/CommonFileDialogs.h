#pragma once
// The system's Open, Save As and folder dialogs with the viewer's filter lists. Each fills one
// system record, shows the dialog and copies the chosen path into the host's buffer of
// MAX_PATH characters.
#include <windows.h>

namespace Orvanel::Shell {

// Open dialogs for an existing image or video file: 1 and the full path in `path`, or 0 with
// `path` untouched.
int ShowImageOpenDialog(wchar_t* path);
int ShowVideoOpenDialog(wchar_t* path);

// Save As, proposing the base name of the name in `path` and its extension as the default
// one: 1 and the chosen full path in `path`, or 0 with the proposed base name left in `path`.
int ShowImageSaveDialog(wchar_t* path);

// The folder browser owned by `owner`: 1 and the folder's path in `path`, or 0 with `path`
// untouched when the user cancels or picks an item that is no folder on disk.
int ShowFolderDialog(wchar_t* path, HWND owner);

} // namespace Orvanel::Shell
