#pragma once
// Quillet.dll: modal dialogs for the image viewer. Hosts include this header and link the
// import library libQuillet.dll.a; each function shows one dialog owned by the given window
// and hands the result back through its return value and reference parameters.
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

// About box. 1 after OK, 0 after its button or a close, -1 when it cannot be shown.
QUILLET_API __int64 ShowDialogBox(HWND owner);
QUILLET_API int ShowAssociateFilesExtension(HWND owner);
// The colour (0x00BBGGRR) changes only when the user confirms.
QUILLET_API int ShowColorBox(HWND owner, unsigned long& color);
// The chosen device name, or the empty string.
QUILLET_API std::wstring ShowOpenCLDialogBox(HWND owner, std::vector<std::wstring> deviceNames);
// The path buffers hold MAX_PATH wide characters. 1 when something was chosen, else 0.
QUILLET_API int ShowOpenDialogBox(wchar_t* path, HWND owner);
QUILLET_API int ShowSaveDialogBox(wchar_t* path, HWND owner);
QUILLET_API int ShowVideoOpenBox(wchar_t* path, HWND owner);
QUILLET_API int ShowFolderSelectDialogBox(wchar_t* path, HWND owner);
QUILLET_API int ShowPrintPreview(HWND owner, CMargeData* layout, COrvanelBitmap* bitmap);
QUILLET_API int PrintDialog(HWND owner, CMargeData* layout, COrvanelBitmap* bitmap,
                            const bool& showPrinterDialog);
// Radius, sigma (pixels) and angle (degrees) are written only when the user confirms.
QUILLET_API int ShowMotionBlur(HWND owner, COrvanelBitmap* bitmap, double& radius, double& sigma,
                               double& angle);
QUILLET_API int ShowLensFlareDialogBox(HWND owner, COrvanelBitmap* bitmap, unsigned long& color,
                                       int& x, int& y, int& size, int& reserved, int& brightness,
                                       int& hue, int& intensity);
