#include "dialog/ColorBoxPicker.h"

#include "color/ColorFill.h"
#include "host/OrvanelBitmap.h"
#include "resources/resource.h"
#include "win32/CommonControls.h"

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

long long Clamp(long long value, long long lowest, long long highest) {
    return value < lowest ? lowest : (value > highest ? highest : value);
}

} // namespace

CColorBoxPicker::CColorBoxPicker()
    : matrixBitmap(std::make_unique<COrvanelBitmap>(kMatrixSide, kMatrixSide, kBitsPerPixel)),
      gradientBitmap(std::make_unique<COrvanelBitmap>(kGradientWidth, kMatrixSide, kBitsPerPixel)),
      boxBitmap(std::make_unique<COrvanelBitmap>(kBoxSide, kBoxSide, kBitsPerPixel)),
      matrixWindow(std::make_unique<Window::CBitmapStaticWindowSelector>(
          static_cast<Window::CBitmapStaticWindowSelectorInterface*>(this))),
      gradientWindow(std::make_unique<Window::CBitmapStaticWindow>()),
      boxWindow(std::make_unique<Window::CBitmapStaticWindow>()), hsb{0, 0, 0}, color(0),
      result(0) {}

// The child windows went with the dialog window; their objects, the bitmaps they showed and
// the wrapper go now, in this order.
CColorBoxPicker::~CColorBoxPicker() {
    ReleaseInOrder(matrixWindow, gradientWindow, boxWindow, matrixBitmap, gradientBitmap, boxBitmap,
                   hostWindow);
}

int CColorBoxPicker::Show(HWND owner, ColorValue& color) {
    Win32::RegisterBarControls();
    auto dialog = std::make_unique<CColorBoxPicker>();
    dialog->color = color;
    dialog->ownerWindow = owner;
    dialog->RunModal(IDD_COLOR_BOX, owner);
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
    Color::FillColorBox(boxBitmap.get(), color);
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
    hostWindow = std::make_unique<Window::CLocalWindow>(dialog);

    HWND slider = GetDlgItem(dialog, IDC_COLOR_HUE_SLIDER);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kHueSteps));
    RECT sliderClient{};
    GetClientRect(slider, &sliderClient);
    MoveWindow(slider, kSliderX, kSliderY, sliderClient.right, kSliderHeight, FALSE);

    Color::ConvertRGBToHSB(hsb, color);
    Color::FillColorMatrix(matrixBitmap.get(), hsb.hue);
    matrixWindow->CreateLocalWindow(hostWindow.get(), WS_CHILD | WS_VISIBLE, L"ColorMatrix",
                                    &kMatrixPlacement);
    Window::ShowBitmap(*matrixWindow, matrixBitmap.get());
    SendMessageW(slider, TBM_SETPOS, TRUE, kHueSteps - hsb.hue);

    Color::FillColorGradient(gradientBitmap.get());
    gradientWindow->CreateLocalWindow(hostWindow.get(), WS_CHILD | WS_VISIBLE, L"ColorGradient",
                                      &kGradientPlacement);
    Window::ShowBitmap(*gradientWindow, gradientBitmap.get());

    Color::FillColorBox(boxBitmap.get(), color);
    boxWindow->CreateLocalWindow(hostWindow.get(), WS_CHILD | WS_VISIBLE, L"ColorBox",
                                 &kBoxPlacement);
    Window::ShowBitmap(*boxWindow, boxBitmap.get());

    RefreshValueBoxes(dialog);
    return 1;
}

// The value boxes are left as they are: they catch up at the next hue change.
int CColorBoxPicker::SelectPoint(int& x, int& y) {
    TakeColor(MatrixColorAt(x, y));
    Window::ShowBitmap(*matrixWindow, matrixBitmap.get());
    Window::ShowBitmap(*boxWindow, boxBitmap.get());
    return 0;
}

INT_PTR CColorBoxPicker::OnNotify(HWND dialog, UINT, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDN_COLOR_BOX_PICK) {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        TakeColor(MatrixColorAt(x, y));
        Window::ShowBitmap(*boxWindow, boxBitmap.get());
        RefreshValueBoxes(dialog);
    }
    return 0;
}

INT_PTR CColorBoxPicker::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    EndOnOkOrCancel(dialog, LOWORD(wParam), &result);
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
    Color::FillColorMatrix(matrixBitmap.get(), hue);
    TakeColor(MatrixColorAt(matrixWindow->markerPoint.x, matrixWindow->markerPoint.y));
    Window::ShowBitmap(*matrixWindow, matrixBitmap.get());
    Window::ShowBitmap(*boxWindow, boxBitmap.get());
    RefreshValueBoxes(dialog);
    return 1;
}

} // namespace Orvanel::Dialog
