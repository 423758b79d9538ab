// quillet-demo: a small image viewer that calls every export of Quillet.dll.
//   quillet-demo.exe [IMAGE]          interactive, on the display
//   quillet-demo.exe --tour FOLDER    opens each dialog, writes FOLDER/<Export>.png, then saves,
//                                     opens and fails to open picture files in FOLDER
#include "demo/DemoTour.h"
#include "demo/PictureTour.h"
#include "demo/DemoWindow.h"
#include "demo/PictureFile.h"
#include "demo/SampleImage.h"
#include "host/OrvanelBitmap.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

int wmain(int argc, wchar_t** argv) {
    std::wstring tourFolder;
    std::wstring imagePath;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--tour" && i + 1 < argc) {
            tourFolder = argv[++i];
        } else if (argument == L"--help") {
            std::printf("usage: quillet-demo.exe [IMAGE] | --tour FOLDER\n");
            return 0;
        } else {
            imagePath = argument;
        }
    }

    std::unique_ptr<COrvanelBitmap> image(QuilletDemo::MakeSampleImage(1200, 800));
    std::wstring error;
    if (!imagePath.empty() && !QuilletDemo::ReadPictureFile(imagePath, *image, error)) {
        std::fwprintf(stderr, L"quillet-demo: %ls\n", error.c_str());
        return 1;
    }

    QuilletDemo::CDemoWindow window(image.get());
    if (!window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL)) {
        std::fprintf(stderr, "quillet-demo: cannot create the main window (no display?)\n");
        return 1;
    }
    if (!tourFolder.empty()) {
        const int failures = QuilletDemo::RunTour(window, tourFolder) +
                             QuilletDemo::RunPictureTour(window, tourFolder);
        return failures == 0 ? 0 : 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
