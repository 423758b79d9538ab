#include "demo/DemoWindow.h"

#include "demo/PictureFile.h"
#include "filter/LensFlareFilter.h"
#include "filter/MotionBlurFilter.h"
#include "host/OrvanelBitmap.h"
#include "module/Quillet.h"

#include <cwchar>
#include <string>
#include <vector>

namespace QuilletDemo {

namespace {

const wchar_t kClassName[] = L"QuilletDemoViewer";
const wchar_t kTitle[] = L"Quillet demo viewer";
constexpr int kStatusHeight = 24;

HMENU BuildMenu() {
    HMENU dialogs = CreatePopupMenu();
    AppendMenuW(dialogs, MF_STRING, kCommandAbout, L"About... (ShowDialogBox)");
    AppendMenuW(dialogs, MF_STRING, kCommandAssociate,
                L"File association (ShowAssociateFilesExtension)");
    AppendMenuW(dialogs, MF_STRING, kCommandColor, L"Colour (ShowColorBox)");
    AppendMenuW(dialogs, MF_STRING, kCommandOpenCL, L"OpenCL device (ShowOpenCLDialogBox)");
    AppendMenuW(dialogs, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(dialogs, MF_STRING, kCommandOpen, L"Open image (ShowOpenDialogBox)");
    AppendMenuW(dialogs, MF_STRING, kCommandSave, L"Save as (ShowSaveDialogBox)");
    AppendMenuW(dialogs, MF_STRING, kCommandVideoOpen, L"Open video (ShowVideoOpenBox)");
    AppendMenuW(dialogs, MF_STRING, kCommandFolder, L"Choose folder (ShowFolderSelectDialogBox)");
    AppendMenuW(dialogs, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(dialogs, MF_STRING, kCommandPrintPreview, L"Print setup (ShowPrintPreview)");
    AppendMenuW(dialogs, MF_STRING, kCommandPrint, L"Print (PrintDialog)");
    AppendMenuW(dialogs, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(dialogs, MF_STRING, kCommandMotionBlur, L"Motion blur (ShowMotionBlur)");
    AppendMenuW(dialogs, MF_STRING, kCommandLensFlare, L"Lens flare (ShowLensFlareDialogBox)");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(dialogs), L"&Dialogs");
    return bar;
}

std::wstring Format(const wchar_t* format, long long value) {
    wchar_t buffer[256];
    std::swprintf(buffer, 256, format, value);
    return buffer;
}

} // namespace

CDemoWindow::CDemoWindow(COrvanelBitmap* image)
    : image_(image), status_(L"Choose a dialog from the Dialogs menu.") {}

CDemoWindow::~CDemoWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool CDemoWindow::Create(HINSTANCE instance, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 40, 40, 900, 700, nullptr,
                              BuildMenu(), instance, this);
    if (window_ == nullptr) {
        return false;
    }
    ShowFileName();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    return true;
}

void CDemoWindow::RunCommand(int command) {
    switch (command) {
    case kCommandAbout:
        SetStatus(Format(L"ShowDialogBox returned %lld", ShowDialogBox(window_)));
        break;
    case kCommandAssociate:
        SetStatus(Format(L"ShowAssociateFilesExtension returned %lld",
                         ShowAssociateFilesExtension(window_)));
        break;
    case kCommandColor: {
        const int result = ShowColorBox(window_, color_);
        SetStatus(Format(L"ShowColorBox returned %lld, colour ", result) +
                  Format(L"0x%06llX", static_cast<long long>(color_)));
        break;
    }
    case kCommandOpenCL: {
        const std::wstring device =
            ShowOpenCLDialogBox(window_, {L"Demo CPU device", L"Demo GPU device"});
        SetStatus(L"ShowOpenCLDialogBox returned \"" + device + L"\"");
        break;
    }
    case kCommandOpen: {
        std::vector<wchar_t> path(MAX_PATH, L'\0');
        const int result = ShowOpenDialogBox(path.data(), window_);
        SetStatus(Format(L"ShowOpenDialogBox returned %lld, path \"", result) + path.data() +
                  L"\"");
        if (result == 1) {
            OpenPicture(path.data());
        }
        break;
    }
    case kCommandSave: {
        // Save As proposes the name of the picture on show, with its extension as the default.
        std::vector<wchar_t> path(MAX_PATH, L'\0');
        const std::wstring name = image_->GetFilename();
        lstrcpynW(path.data(), name.empty() ? L"sample.png" : name.c_str(), MAX_PATH);
        const int result = ShowSaveDialogBox(path.data(), window_);
        SetStatus(Format(L"ShowSaveDialogBox returned %lld, path \"", result) + path.data() +
                  L"\"");
        if (result == 1) {
            SavePicture(path.data());
        }
        break;
    }
    case kCommandVideoOpen:
    case kCommandFolder: {
        std::vector<wchar_t> path(MAX_PATH, L'\0');
        const int result = command == kCommandVideoOpen
                               ? ShowVideoOpenBox(path.data(), window_)
                               : ShowFolderSelectDialogBox(path.data(), window_);
        SetStatus(Format(L"returned %lld, path \"", result) + path.data() + L"\"");
        break;
    }
    case kCommandPrintPreview: {
        const int result = ShowPrintPreview(window_, &margins_, image_);
        wchar_t text[200];
        std::swprintf(text, 200,
                      L"ShowPrintPreview returned %d (margins %g, %g, %g, %g cm, position %d%ls)",
                      result, margins_.marginTop, margins_.marginBottom, margins_.marginRight,
                      margins_.marginLeft, margins_.position, margins_.rotate ? L", turned" : L"");
        SetStatus(text);
        // The dialog may have turned the image itself.
        InvalidateRect(window_, nullptr, TRUE);
        break;
    }
    case kCommandPrint: {
        const bool askPrinter = true;
        SetStatus(Format(L"PrintDialog returned %lld",
                         PrintDialog(window_, &margins_, image_, askPrinter)));
        break;
    }
    case kCommandMotionBlur: {
        double radius = 0, sigma = 0, angle = 0;
        const int result = ShowMotionBlur(window_, image_, radius, sigma, angle);
        wchar_t text[160];
        std::swprintf(text, 160, L"ShowMotionBlur returned %d (radius %g, sigma %g, angle %g)",
                      result, radius, sigma, angle);
        if (result == 1) {
            // The dialog only chose the values: the host blurs its own image with them.
            Orvanel::Filter::CMotionBlurFilter().MotionBlur(image_, radius, sigma, angle);
        }
        SetStatus(text);
        break;
    }
    case kCommandLensFlare: {
        int x = 0, y = 0, size = 0, reserved = 0, brightness = 0, hue = 0, intensity = 0;
        const int result = ShowLensFlareDialogBox(window_, image_, color_, x, y, size, reserved,
                                                  brightness, hue, intensity);
        wchar_t text[200];
        std::swprintf(text, 200,
                      L"ShowLensFlareDialogBox returned %d (x %d, y %d, size %d, brightness %d, "
                      L"hue %d, intensity %d)",
                      result, x, y, size, brightness, hue, intensity);
        if (result == 1) {
            // The dialog only chose the values: the host draws the flare on its own image. The
            // renderer counts rows from the bottom, the dialog from the top.
            const int row = static_cast<int>(image_->GetBitmapHeight()) - y - 1;
            Orvanel::Filter::CLensFlareFilter().LensFlare(image_, x, row, size, brightness, hue,
                                                          intensity);
        }
        SetStatus(text);
        break;
    }
    default:
        break;
    }
}

void CDemoWindow::SetStatus(const std::wstring& status) {
    status_ = status;
    InvalidateRect(window_, nullptr, TRUE);
}

void CDemoWindow::OpenPicture(const std::wstring& path) {
    std::wstring error;
    if (!ReadPictureFile(path, *image_, error)) {
        MessageBoxW(window_, error.c_str(), kTitle, MB_OK | MB_ICONERROR);
        return;
    }
    ShowFileName();
    InvalidateRect(window_, nullptr, TRUE);
}

void CDemoWindow::SavePicture(const std::wstring& path) {
    std::wstring error;
    if (!WritePictureFile(*image_, path, error)) {
        MessageBoxW(window_, error.c_str(), kTitle, MB_OK | MB_ICONERROR);
        return;
    }
    // From now on the picture on show is that file's.
    image_->SetFilename(path);
    ShowFileName();
}

// "name.png - Quillet demo viewer", or the bare title for the built-in picture.
void CDemoWindow::ShowFileName() {
    const std::wstring path = image_->GetFilename();
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    SetWindowTextW(window_, name.empty() ? kTitle : (name + L" - " + kTitle).c_str());
}

void CDemoWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    const int areaWidth = client.right;
    const int areaHeight = client.bottom - kStatusHeight;
    if (image_ != nullptr && image_->GetPtBitmap() != nullptr && areaWidth > 0 && areaHeight > 0) {
        // Fit the picture, proportions kept.
        const double scaleX = static_cast<double>(areaWidth) / image_->GetBitmapWidth();
        const double scaleY = static_cast<double>(areaHeight) / image_->GetBitmapHeight();
        const double scale = scaleX < scaleY ? scaleX : scaleY;
        const int width = static_cast<int>(image_->GetBitmapWidth() * scale);
        const int height = static_cast<int>(image_->GetBitmapHeight() * scale);
        SetStretchBltMode(dc, HALFTONE);
        StretchDIBits(dc, (areaWidth - width) / 2, (areaHeight - height) / 2, width, height, 0, 0,
                      static_cast<int>(image_->GetBitmapWidth()),
                      static_cast<int>(image_->GetBitmapHeight()), image_->GetPtBitmap(),
                      reinterpret_cast<const BITMAPINFO*>(&image_->bitmapInfo), DIB_RGB_COLORS,
                      SRCCOPY);
    }
    RECT status{0, areaHeight, client.right, client.bottom};
    FillRect(dc, &status, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    SetBkMode(dc, TRANSPARENT);
    status.left += 6;
    DrawTextW(dc, status_.c_str(), -1, &status, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    EndPaint(window_, &paint);
}

LRESULT CALLBACK CDemoWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CDemoWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_COMMAND:
        self->RunCommand(LOWORD(wParam));
        return 0;
    case WM_PAINT:
        self->window_ = window;
        self->Paint();
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        return 1;
    }
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_DESTROY:
        self->window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace QuilletDemo
