#pragma once
// Quillet.dll: modal dialogs for the image viewer. Hosts include this header and link the
// import library libQuillet.dll.a; each function shows one dialog owned by the given window
// and hands the result back through its return value and reference parameters.
//
// The owner window may be null (the dialog then has no owner) or belong to another thread of
// the process that serves its messages (its input is attached for the dialog's lifetime; it is
// enabled again afterwards). An owner window that no longer exists makes the system refuse the
// dialog: nothing shows and the export answers as after Cancel, except where said otherwise.
// The print dialogs and the Open, video Open and Save As dialogs do not use the owner.
// A dialog that is not confirmed leaves the caller's references and bitmaps as they were.
#include <windows.h>

#include <string>
#include <vector>

class COrvanelBitmap;
class CMargeData;

#if defined(QUILLET_BUILDING)
#define QUILLET_API
#else
#define QUILLET_API __declspec(dllimport)
#endif

class QUILLET_API CQuillet {
public:
    CQuillet();
    CQuillet& operator=(const CQuillet& other);
};

extern QUILLET_API int nQuillet;

QUILLET_API int fnQuillet();

// About box. 1 after OK, 0 after its button or a close, and 0 without showing when the owner
// window no longer exists (the system's answer for a dead owner); -1 when it cannot be shown.
QUILLET_API __int64 ShowDialogBox(HWND owner);
// Registers the viewer for the checked formats after OK. 1 however it ended, also when the
// owner window no longer exists (nothing shown, nothing registered).
QUILLET_API int ShowAssociateFilesExtension(HWND owner);
// 1 always. The colour (0x00BBGGRR) changes only when the user confirms.
QUILLET_API int ShowColorBox(HWND owner, unsigned long& color);
// The confirmed device's name exactly as the host gave it, embedded NULs and any length
// included; the empty string after Cancel, with no item selected, for an empty list, or when
// the owner window no longer exists. The list shows every name, each up to its first NUL.
QUILLET_API std::wstring ShowOpenCLDialogBox(HWND owner, std::vector<std::wstring> deviceNames);
// The path buffers hold MAX_PATH wide characters; nothing is ever written past them. 1 when
// something was chosen (its path then in the buffer), else 0. A null buffer gives 0 and shows
// nothing. The Open dialogs and the folder browser never read the buffer and leave it as it
// was unless something is chosen. Save As proposes the base name of the string in the buffer;
// a buffer without a terminator within MAX_PATH characters proposes nothing and is left
// holding the empty string. The folder browser gives 0 and leaves the buffer when its owner
// window no longer exists.
QUILLET_API int ShowOpenDialogBox(wchar_t* path, HWND owner);
QUILLET_API int ShowSaveDialogBox(wchar_t* path, HWND owner);
QUILLET_API int ShowVideoOpenBox(wchar_t* path, HWND owner);
QUILLET_API int ShowFolderSelectDialogBox(wchar_t* path, HWND owner);
// Print setup: 1 after "Imprimer", 0 after "Annuler" or a close, and 0 without showing for a
// null record or bitmap, a bitmap without pixels, or no default printer whose paper is known.
// However it ends, the record then holds: the margins as their boxes show them with six
// decimals, read back (negative and huge ones as they are; one that is no finite number shows
// as the runtime prints it, "1.#QNAN0", "1.#INF00" or "-1.#INF00", and reads back as 1 or -1);
// horizontalPlacement 1 for a picture taller than wide, else 0, whatever it held; rotate and
// position as given or as the user set them (a position other than 0 to 2 checks no button).
// A record with rotate set turns the bitmap a quarter turn in place as the dialog opens.
QUILLET_API int ShowPrintPreview(HWND owner, CMargeData* layout, COrvanelBitmap* bitmap);
// Print job: 0 always. A null record or bitmap, or a bitmap without pixels, prints nothing and
// shows nothing; so does a call while another job runs. The record and the bitmap are only
// read: margins that leave no room, negative, huge, infinite or NaN ones print a page without
// the picture; placement, rotation and position are not read. A bitmap of any size prints.
QUILLET_API int PrintDialog(HWND owner, CMargeData* layout, COrvanelBitmap* bitmap,
                            const bool& showPrinterDialog);
// The effect dialogs never change the bitmap; they preview a scaled copy of it, of any size
// from 1 x 1 up, any shape included. A null bitmap or one without pixels gives 0 and shows
// nothing.
// Motion blur: 1 after OK, else 0. Radius, sigma (pixels) and angle (degrees) are written only
// when the user confirms.
QUILLET_API int ShowMotionBlur(HWND owner, COrvanelBitmap* bitmap, double& radius, double& sigma,
                               double& angle);
// Lens flare: 1 after OK, 0 after Cancel or a close, and 0 without showing when the owner window
// no longer exists; -1 when it cannot be shown. The references are written only after OK.
QUILLET_API int ShowLensFlareDialogBox(HWND owner, COrvanelBitmap* bitmap, unsigned long& color,
                                       int& x, int& y, int& size, int& reserved, int& brightness,
                                       int& hue, int& intensity);
