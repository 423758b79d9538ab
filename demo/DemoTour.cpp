#include "demo/DemoTour.h"

#include "demo/DemoWindow.h"
#include "demo/Screenshot.h"
#include "resources/resource.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <windows.h>

#include <dlgs.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>

namespace QuilletDemo {

using QuilletTest::Child;
using QuilletTest::ClickButton;
using QuilletTest::CModalDriver;
using QuilletTest::DragSlider;
using QuilletTest::Mouse;

namespace {

struct TourStop {
    const wchar_t* exportName;
    int command;
    // What a user does before the picture is taken (moving sliders...), from a second thread.
    std::function<void(HWND)> prepare;
    // How the dialog is closed afterwards.
    std::function<void(HWND)> close;
};

bool Visit(CDemoWindow& window, const TourStop& stop, const std::wstring& folder) {
    const std::wstring path = folder + L"/" + stop.exportName + L".png";
    bool saved = false;
    CModalDriver driver([&](HWND dialog) {
        bool shown = WaitUntilShown(dialog);
        if (stop.prepare) {
            stop.prepare(dialog);
            shown = WaitUntilShown(dialog);
        }
        saved = shown && SaveWindowScreenshot(dialog, path);
        stop.close(dialog);
    });
    window.RunCommand(stop.command);
    driver.Join();
    const bool passed = saved && driver.DialogFound() && !driver.WatchdogFired();
    std::wprintf(L"%ls: %ls (%ls)\n", stop.exportName, passed ? L"screenshot written" : L"FAILED",
                 window.Status().c_str());
    std::fflush(stdout);
    return passed;
}

} // namespace

int RunTour(CDemoWindow& window, const std::wstring& folder) {
    HWND printerDialog = nullptr;
    const TourStop stops[] = {
        {L"ShowDialogBox", kCommandAbout, nullptr,
         [](HWND dialog) { ClickButton(dialog, IDC_ABOUT_OK); }},
        // A bright point on the matrix, then a sky-blue hue: the marker stays on the point.
        {L"ShowColorBox", kCommandColor,
         [](HWND dialog) {
             HWND matrix = Child(dialog, L"ColorMatrix");
             Mouse(matrix, WM_LBUTTONDOWN, 190, 60);
             Mouse(matrix, WM_LBUTTONUP, 190, 60);
             DragSlider(dialog, IDC_COLOR_HUE_SLIDER, 160);
         },
         [](HWND dialog) { ClickButton(dialog, IDOK); }},
        // The flare dragged to the upper right of the preview, made larger and brighter.
        {L"ShowLensFlareDialogBox", kCommandLensFlare,
         [](HWND dialog) {
             HWND preview = Child(dialog, L"PreviewWindow");
             Mouse(preview, WM_LBUTTONDOWN, 200, 100);
             Mouse(preview, WM_MOUSEMOVE, 330, 60);
             Mouse(preview, WM_LBUTTONUP, 330, 60);
             DragSlider(dialog, IDC_LENS_FLARE_BRIGHTNESS, 60);
             DragSlider(dialog, IDC_LENS_FLARE_SIZE, 180);
         },
         [](HWND dialog) { ClickButton(dialog, IDOK); }},
        {L"ShowMotionBlur", kCommandMotionBlur,
         [](HWND dialog) {
             DragSlider(dialog, IDC_MOTION_BLUR_RADIUS, 25);
             DragSlider(dialog, IDC_MOTION_BLUR_SIGMA, 6);
             DragSlider(dialog, IDC_MOTION_BLUR_ANGLE, 30);
         },
         [](HWND dialog) { ClickButton(dialog, IDOK); }},
        {L"ShowOpenCLDialogBox", kCommandOpenCL,
         [](HWND dialog) { SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, 1, 0); },
         [](HWND dialog) { ClickButton(dialog, IDOK); }},
        // The picture in the middle of the page, a wider left margin.
        {L"ShowPrintPreview", kCommandPrintPreview,
         [](HWND dialog) {
             SendDlgItemMessageW(dialog, IDC_PRINT_POSITION_MIDDLE, BM_CLICK, 0, 0);
             SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_LEFT, L"2");
         },
         [](HWND dialog) { ClickButton(dialog, IDOK); }},
        // The print job's cancel box, held open by the printer dialog (moved out of the way of
        // the picture), then the printer confirmed: one page goes to the default printer.
        {L"PrintDialog", kCommandPrint,
         [&printerDialog](HWND box) {
             printerDialog = QuilletTest::WaitForOwnedDialog(box);
             SetWindowPos(printerDialog, nullptr, 0, 0, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         },
         [&printerDialog](HWND) { PostMessageW(printerDialog, WM_COMMAND, IDOK, 0); }},
        // Two formats unchecked, then Cancel: the tour never registers anything on the machine
        // it runs on.
        {L"ShowAssociateFilesExtension", kCommandAssociate,
         [](HWND dialog) {
             SendDlgItemMessageW(dialog, IDC_ASSOCIATE_PCX, BM_CLICK, 0, 0);
             SendDlgItemMessageW(dialog, IDC_ASSOCIATE_AVCHD, BM_CLICK, 0, 0);
         },
         [](HWND dialog) { ClickButton(dialog, IDCANCEL); }},
    };
    int failures = 0;
    for (const TourStop& stop : stops) {
        if (!Visit(window, stop, folder)) {
            ++failures;
        }
    }

    // The system's file dialogs with the viewer's file types dropped down, and the folder
    // browser on the drive's root; each is cancelled.
    // At the foot of the screen the list opens upwards, over the dialog, into the picture.
    const auto showFileTypes = [](HWND dialog) {
        RECT rect{};
        GetWindowRect(dialog, &rect);
        SetWindowPos(dialog, nullptr, rect.left,
                     GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        SendDlgItemMessageW(dialog, cmb1, CB_SHOWDROPDOWN, TRUE, 0);
    };
    const auto cancelFileDialog = [](HWND dialog) {
        SendDlgItemMessageW(dialog, cmb1, CB_SHOWDROPDOWN, FALSE, 0);
        ClickButton(dialog, IDCANCEL);
    };
    const TourStop fileStops[] = {
        {L"ShowOpenDialogBox", kCommandOpen, showFileTypes, cancelFileDialog},
        {L"ShowSaveDialogBox", kCommandSave, showFileTypes, cancelFileDialog},
        {L"ShowVideoOpenBox", kCommandVideoOpen, showFileTypes, cancelFileDialog},
        {L"ShowFolderSelectDialogBox", kCommandFolder,
         [](HWND dialog) {
             SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(L"C:\\"));
             HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
             SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tree), TRUE);
         },
         [](HWND dialog) { ClickButton(dialog, IDCANCEL); }},
    };
    for (const TourStop& stop : fileStops) {
        if (!Visit(window, stop, folder)) {
            ++failures;
        }
    }
    return failures;
}

} // namespace QuilletDemo
