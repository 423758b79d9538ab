#pragma once
#include <windows.h>

#include "host/MargeData.h"

#include <string>

class COrvanelBitmap;

namespace QuilletDemo {

// Menu command ids, one per export of Quillet.dll.
enum DemoCommand : int {
    kCommandAbout = 100,
    kCommandAssociate,
    kCommandColor,
    kCommandOpenCL,
    kCommandOpen,
    kCommandSave,
    kCommandVideoOpen,
    kCommandFolder,
    kCommandPrintPreview,
    kCommandPrint,
    kCommandMotionBlur,
    kCommandLensFlare,
};

// The demo viewer's main window: shows the host image fitted into its client area, with a
// status line that reports what the last dialog returned, and the picture's file name in the
// title. Open replaces the picture with the file chosen, Save As writes it in the format the
// chosen name's extension names; a file that cannot be read or written is reported in a message
// box and leaves the picture as it was.
class CDemoWindow {
public:
    explicit CDemoWindow(COrvanelBitmap* image);
    ~CDemoWindow();

    CDemoWindow(const CDemoWindow&) = delete;
    CDemoWindow& operator=(const CDemoWindow&) = delete;

    bool Create(HINSTANCE instance, int showCommand);
    HWND Handle() const { return window_; }
    // Calls the export behind a menu command, as the viewer would, and reports the result.
    void RunCommand(int command);
    const std::wstring& Status() const { return status_; }
    const COrvanelBitmap& Picture() const { return *image_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void SetStatus(const std::wstring& status);
    void OpenPicture(const std::wstring& path);
    void SavePicture(const std::wstring& path);
    void ShowFileName();

    HWND window_ = nullptr;
    COrvanelBitmap* image_;
    std::wstring status_;
    unsigned long color_ = 0x0000A0FF;
    // The page layout the host keeps for the print setup and the print job: 1.5 cm all round (top,
    // bottom, right, left).
    CMargeData margins_{1.5f, 1.5f, 1.5f, 1.5f, 0, false, 0};
};

} // namespace QuilletDemo
