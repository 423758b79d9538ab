#include "dialog/ColorBoxPicker.h"

#include "color/ColorFill.h"
#include "dialog/DialogProc.h"
#include "host/OrvanelBitmap.h"
#include "resources/resource.h"
#include "win32/CommonControls.h"
#include "win32/ModuleInstance.h"
#include "window/BitmapStaticWindow.h"
#include "window/BitmapStaticWindowSelector.h"

#include <commctrl.h>

#include <cwchar>
#include <memory>

namespace Orvanel::Dialog {

using Color::ColorValue;

namespace {

const int kMatrixSide = 258;
const int kGradientWidth = 28;
const int kBoxSide = 50;
const int kBitsPerPixel = 32;
const int kHueSteps = 360;

const Window::CWindowPlacement kMatrixPlacement{8, 50, 260, 260};
const Window::CWindowPlacement kGradientPlacement{297, 50, 30, 260};
const Window::CWindowPlacement kBoxPlacement{500, 300, 50, 50};
// The slider's place at run time, in pixels: beside the hue strip, as tall as the matrix.
const int kSliderX = 340;
const int kSliderY = 40;
const int kSliderHeight = 283;

// Shows a bitmap in a window: fitted anew and painted at once.
template <class Window> void ShowBitmap(Window* window, COrvanelBitmap* bitmap) {
    window->sourceBitmap = bitmap;
    window->UpdateScaledBitmap();
    window->Redraw();
}

long long Clamp(long long value, long long lowest, long long highest) {
    return value < lowest ? lowest : (value > highest ? highest : value);
}

} // namespace

CColorBoxPicker::CColorBoxPicker()
    : hostWindow(nullptr), matrixBitmap(nullptr), gradientBitmap(nullptr), boxBitmap(nullptr),
      matrixWindow(nullptr), gradientWindow(nullptr), boxWindow(nullptr), hsb{0, 0, 0}, color(0),
      result(0) {
    matrixBitmap = new COrvanelBitmap(kMatrixSide, kMatrixSide, kBitsPerPixel);
    gradientBitmap = new COrvanelBitmap(kGradientWidth, kMatrixSide, kBitsPerPixel);
    boxBitmap = new COrvanelBitmap(kBoxSide, kBoxSide, kBitsPerPixel);
    matrixWindow = new Window::CBitmapStaticWindowSelector(this);
    gradientWindow = new Window::CBitmapStaticWindow();
    boxWindow = new Window::CBitmapStaticWindow();
}

// The child windows went with the dialog window; their objects, the bitmaps they showed and
// the wrapper go now, in this order.
CColorBoxPicker::~CColorBoxPicker() {
    delete matrixWindow;
    matrixWindow = nullptr;
    delete gradientWindow;
    gradientWindow = nullptr;
    delete boxWindow;
    boxWindow = nullptr;
    delete matrixBitmap;
    matrixBitmap = nullptr;
    delete gradientBitmap;
    gradientBitmap = nullptr;
    delete boxBitmap;
    boxBitmap = nullptr;
    delete hostWindow;
    hostWindow = nullptr;
}

int CColorBoxPicker::Show(HWND owner, ColorValue& color) {
    Win32::RegisterBarControls();
    std::unique_ptr<CColorBoxPicker> dialog(new CColorBoxPicker());
    dialog->color = color;
    dialog->ownerWindow = owner;
    DialogBoxParamW(Win32::GetModuleInstance(), MAKEINTRESOURCEW(IDD_COLOR_BOX), owner, DialogProc,
                    reinterpret_cast<LPARAM>(dialog.get()));
    if (dialog->result == 1) {
        color = dialog->color;
    }
    return 1;
}

ColorValue CColorBoxPicker::MatrixColorAt(int x, int y) {
    // The bitmap's rows run bottom-up. A point from a notification or a stale marker may lie
    // beside the bitmap; the nearest edge pixel is read instead of memory beside the pixels.
    const long long width = matrixBitmap->GetBitmapWidth();
    const long long height = matrixBitmap->GetBitmapHeight();
    if (width == 0 || height == 0) {
        return 0;
    }
    const int column = static_cast<int>(Clamp(x, 0, width - 1));
    const int row = static_cast<int>(Clamp(height - 1 - y, 0, height - 1));
    return matrixBitmap->GetColorValue(column, row);
}

void CColorBoxPicker::TakeColor(ColorValue picked) {
    color = picked;
    Color::FillColorBox(boxBitmap, color);
    Color::ConvertRGBToHSB(hsb, color);
}

void CColorBoxPicker::RefreshValueBoxes(HWND dialog) {
    const unsigned int red = color & 0xFF;
    const unsigned int green = (color >> 8) & 0xFF;
    const unsigned int blue = (color >> 16) & 0xFF;
    SetDlgItemInt(dialog, IDC_COLOR_HUE_EDIT, static_cast<UINT>(hsb.hue), TRUE);
    SetDlgItemInt(dialog, IDC_COLOR_SATURATION_EDIT, static_cast<UINT>(hsb.saturation), TRUE);
    SetDlgItemInt(dialog, IDC_COLOR_BRIGHTNESS_EDIT, static_cast<UINT>(hsb.brightness), TRUE);
    SetDlgItemInt(dialog, IDC_COLOR_RED_EDIT, red, TRUE);
    SetDlgItemInt(dialog, IDC_COLOR_GREEN_EDIT, green, TRUE);
    SetDlgItemInt(dialog, IDC_COLOR_BLUE_EDIT, blue, TRUE);
    // Each component padded with a space, not a zero: (1, 2, 3) reads "# 1 2 3".
    wchar_t hexadecimal[20];
    swprintf_s(hexadecimal, 20, L"#%2x%2x%2x", red, green, blue);
    SetDlgItemTextW(dialog, IDC_COLOR_HEX_EDIT, hexadecimal);
}

INT_PTR CColorBoxPicker::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    hostWindow = new Window::CLocalWindow(dialog);

    HWND slider = GetDlgItem(dialog, IDC_COLOR_HUE_SLIDER);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kHueSteps));
    RECT sliderClient{};
    GetClientRect(slider, &sliderClient);
    MoveWindow(slider, kSliderX, kSliderY, sliderClient.right, kSliderHeight, FALSE);

    Color::ConvertRGBToHSB(hsb, color);
    Color::FillColorMatrix(matrixBitmap, hsb.hue);
    matrixWindow->CreateLocalWindow(hostWindow, WS_CHILD | WS_VISIBLE, L"ColorMatrix",
                                    &kMatrixPlacement);
    ShowBitmap(matrixWindow, matrixBitmap);
    SendMessageW(slider, TBM_SETPOS, TRUE, kHueSteps - hsb.hue);

    Color::FillColorGradient(gradientBitmap);
    gradientWindow->CreateLocalWindow(hostWindow, WS_CHILD | WS_VISIBLE, L"ColorGradient",
                                      &kGradientPlacement);
    ShowBitmap(gradientWindow, gradientBitmap);

    Color::FillColorBox(boxBitmap, color);
    boxWindow->CreateLocalWindow(hostWindow, WS_CHILD | WS_VISIBLE, L"ColorBox", &kBoxPlacement);
    ShowBitmap(boxWindow, boxBitmap);

    RefreshValueBoxes(dialog);
    return 1;
}

// The value boxes are left as they are: they catch up at the next hue change.
int CColorBoxPicker::SelectPoint(int& x, int& y) {
    TakeColor(MatrixColorAt(x, y));
    ShowBitmap(matrixWindow, matrixBitmap);
    ShowBitmap(boxWindow, boxBitmap);
    return 0;
}

INT_PTR CColorBoxPicker::OnNotify(HWND dialog, UINT, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDN_COLOR_BOX_PICK) {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        TakeColor(MatrixColorAt(x, y));
        ShowBitmap(boxWindow, boxBitmap);
        RefreshValueBoxes(dialog);
    }
    return 0;
}

INT_PTR CColorBoxPicker::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK:
        result = 1;
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        result = 0;
        EndDialog(dialog, 0);
        break;
    default:
        break;
    }
    return 1;
}

// Page requests and thumb drags repaint the matrix in the new hue; the colour is read again at
// the picked point, so the chosen saturation and brightness stay and only the hue changes.
INT_PTR CColorBoxPicker::OnVScroll(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    const WORD request = LOWORD(wParam);
    if (request != TB_PAGEUP && request != TB_PAGEDOWN && request != TB_THUMBTRACK) {
        return 1;
    }
    int hue = kHueSteps -
              static_cast<int>(SendDlgItemMessageW(dialog, IDC_COLOR_HUE_SLIDER, TBM_GETPOS, 0, 0));
    Color::FillColorMatrix(matrixBitmap, hue);
    TakeColor(MatrixColorAt(matrixWindow->markerPoint.x, matrixWindow->markerPoint.y));
    ShowBitmap(matrixWindow, matrixBitmap);
    ShowBitmap(boxWindow, boxBitmap);
    RefreshValueBoxes(dialog);
    return 1;
}

} // namespace Orvanel::Dialog
