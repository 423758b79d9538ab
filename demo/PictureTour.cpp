#include "demo/PictureTour.h"

#include "demo/DemoWindow.h"
#include "demo/Screenshot.h"
#include "host/OrvanelBitmap.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace QuilletDemo {

using QuilletTest::ClickButton;
using QuilletTest::CModalDriver;
using QuilletTest::FindThreadDialog;
using QuilletTest::WindowText;

namespace {

const wchar_t kTitleEnd[] = L" - Quillet demo viewer";

class CPictureTour {
public:
    CPictureTour(CDemoWindow& window, const std::wstring& folder)
        : window_(window), folder_(folder) {
        // The file dialogs are given the names as a user types them.
        std::replace(folder_.begin(), folder_.end(), L'/', L'\\');
    }

    int Run();

private:
    // Chooses the file in the Open or Save As dialog of the menu command. A message box the
    // viewer shows next is photographed as FOLDER/photo when a name is given, and closed; its
    // texts are returned (empty when there was none).
    std::wstring Choose(int command, const std::wstring& path, const std::wstring& photo = L"");
    void Photograph(HWND box, const std::wstring& name);
    void Check(bool holds, const wchar_t* what);
    bool SameColours(const COrvanelBitmap& picture) const;

    CDemoWindow& window_;
    std::wstring folder_;
    int failures_ = 0;
};

std::wstring CPictureTour::Choose(int command, const std::wstring& path,
                                  const std::wstring& photo) {
    std::atomic<bool> returned{false};
    std::wstring message;
    CModalDriver driver([&](HWND dialog) {
        SetDlgItemTextW(dialog, cmb13, path.c_str());
        ClickButton(dialog, IDOK);
        const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
        const DWORD start = GetTickCount();
        while (IsWindow(dialog) && GetTickCount() - start < 10000) {
            Sleep(10);
        }
        HWND box = nullptr;
        while (!box && !returned && GetTickCount() - start < 20000) {
            Sleep(10);
            box = FindThreadDialog(thread);
        }
        if (box != nullptr) {
            Photograph(box, photo);
            for (HWND child = GetWindow(box, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                message += WindowText(child) + L"\n";
            }
            ClickButton(box, IDOK);
        }
    });
    window_.RunCommand(command);
    returned = true;
    driver.Join();
    if (!driver.DialogFound() || driver.WatchdogFired()) {
        Check(false, L"the file dialog opened and closed as driven");
    }
    return message;
}

// The message box moved over the middle of the viewer, and both photographed.
void CPictureTour::Photograph(HWND box, const std::wstring& name) {
    if (name.empty()) {
        return;
    }
    RECT frame{}, rect{};
    GetWindowRect(window_.Handle(), &frame);
    GetWindowRect(box, &rect);
    SetWindowPos(box, nullptr, (frame.left + frame.right - (rect.right - rect.left)) / 2,
                 (frame.top + frame.bottom - (rect.bottom - rect.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    Check(WaitUntilShown(box) && SaveWindowScreenshot(window_.Handle(), folder_ + L"\\" + name),
          L"the message box was photographed over the viewer");
}

void CPictureTour::Check(bool holds, const wchar_t* what) {
    std::wprintf(L"Viewer: %ls: %ls\n", holds ? L"passed" : L"FAILED, not so", what);
    std::fflush(stdout);
    if (!holds) {
        ++failures_;
    }
}

int CPictureTour::Run() {
    HWND viewer = window_.Handle();
    const std::wstring saved = folder_ + L"\\viewer-saved.png";
    const std::wstring other = folder_ + L"\\ShowDialogBox.png";
    const std::wstring text = folder_ + L"\\not-a-picture.png";
    const COrvanelBitmap shown = window_.Picture();
    DeleteFileW(saved.c_str());

    Check(Choose(kCommandSave, saved).empty() &&
              GetFileAttributesW(saved.c_str()) != INVALID_FILE_ATTRIBUTES,
          L"Save As wrote viewer-saved.png");
    Check(WindowText(viewer) == L"viewer-saved.png" + std::wstring(kTitleEnd),
          L"the title names the saved file");

    Check(Choose(kCommandOpen, other).empty() && !SameColours(shown),
          L"Open replaced the picture with the About box's screenshot");
    Check(WindowText(viewer) == L"ShowDialogBox.png" + std::wstring(kTitleEnd),
          L"the title names the opened file");

    Check(Choose(kCommandOpen, saved).empty() && SameColours(shown),
          L"viewer-saved.png read back as the picture that was saved");

    FILE* file = _wfopen(text.c_str(), L"wb");
    if (file != nullptr) {
        std::fputs("These are words, not pixels.\n", file);
        std::fclose(file);
    }
    const COrvanelBitmap before = window_.Picture();
    const std::wstring title = WindowText(viewer);
    const std::wstring message = Choose(kCommandOpen, text, L"ViewerOpenFailed.png");
    Check(message.find(L"\"" + text + L"\"") != std::wstring::npos &&
              message.find(L"no picture") != std::wstring::npos,
          L"the message box names the file that holds no picture");
    const COrvanelBitmap& after = window_.Picture();
    Check(after.GetBitmapWidth() == before.GetBitmapWidth() &&
              after.GetBitmapHeight() == before.GetBitmapHeight() &&
              after.GetFilename() == before.GetFilename() &&
              std::memcmp(after.GetPtBitmap(), before.GetPtBitmap(),
                          before.GetWidthSize() * before.GetBitmapHeight()) == 0 &&
              WindowText(viewer) == title,
          L"the failed read left the picture and the title as they were");
    return failures_;
}

// Files keep red, green and blue; the fourth byte is not compared.
bool CPictureTour::SameColours(const COrvanelBitmap& picture) const {
    const COrvanelBitmap& shown = window_.Picture();
    if (shown.GetBitmapWidth() != picture.GetBitmapWidth() ||
        shown.GetBitmapHeight() != picture.GetBitmapHeight()) {
        return false;
    }
    const std::size_t bytes =
        static_cast<std::size_t>(picture.GetWidthSize()) * picture.GetBitmapHeight();
    for (std::size_t i = 0; i < bytes; ++i) {
        if (i % 4 != 3 && shown.GetPtBitmap()[i] != picture.GetPtBitmap()[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

int RunPictureTour(CDemoWindow& window, const std::wstring& folder) {
    return CPictureTour(window, folder).Run();
}

} // namespace QuilletDemo
