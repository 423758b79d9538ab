#include "dialog/LensFlareDialogBox.h"

#include "dialog/ColorBoxPicker.h"
#include "filter/LensFlareFilter.h"
#include "host/OrvanelBitmap.h"
#include "layout/FitLayout.h"
#include "resources/resource.h"
#include "win32/CommonControls.h"
#include "window/ClickNotifyingHost.h"

#include <commctrl.h>

namespace Orvanel::Dialog {

namespace {

const Window::CWindowPlacement kPreviewPlacement{10, 200, 500, 200};
const Window::CWindowPlacement kSwatchPlacement{468, 70, 40, 40};
const int kSwatchSide = 40;
const int kBitsPerPixel = 32;
// Below this the source is too faint to see; the slider may still stand lower.
const int kLowestBrightness = 3;

int SliderPosition(HWND dialog, int sliderId) {
    return static_cast<int>(SendDlgItemMessageW(dialog, sliderId, TBM_GETPOS, 0, 0));
}

} // namespace

CLensFlareDialogBox::CLensFlareDialogBox()
    : brightness(25), intensity(30), size(100), x(100), y(100), result(0), colorHsb{0, 0, 0},
      color(0), sourceBitmap(nullptr) {
    renderTarget = std::make_unique<COrvanelBitmap>();
    previewImage = std::make_unique<COrvanelBitmap>();
    previewWindow = std::make_unique<Window::CBitmapStaticWindowSelector>(
        static_cast<Window::CBitmapStaticWindowSelectorInterface*>(this));
    swatchWindow = std::make_unique<Window::CBitmapStaticWindow>();
    // The marker starts on the flare's default position.
    previewWindow->markerPoint = POINT{x, y};
    filter = std::make_unique<Filter::CLensFlareFilter>();
    swatchBitmap = std::make_unique<COrvanelBitmap>(kSwatchSide, kSwatchSide, kBitsPerPixel);
}

// The child windows went with the dialog window; their objects, the bitmaps, the renderer and
// the wrapper go now, in this order.
CLensFlareDialogBox::~CLensFlareDialogBox() {
    ReleaseInOrder(swatchBitmap, renderTarget, previewImage, previewWindow, filter, swatchWindow,
                   hostWindow);
}

int CLensFlareDialogBox::Show(HWND owner, COrvanelBitmap* bitmap, Color::ColorValue& color, int& x,
                              int& y, int& size, int& reserved, int& brightness, int& hue,
                              int& intensity) {
    // Without pixels there is nothing to preview: answer Cancel at once.
    if (!Window::HasPixels(bitmap)) {
        return 0;
    }
    Win32::RegisterBarControls();
    auto dialog = std::make_unique<CLensFlareDialogBox>();
    dialog->sourceBitmap = bitmap;
    dialog->color = color;
    Color::ConvertRGBToHSB(dialog->colorHsb, dialog->color);
    dialog->ownerWindow = owner;
    const INT_PTR answer = dialog->RunModal(IDD_LENS_FLARE, owner);
    // Every call starts from the defaults: the caller's values are written, never read.
    if (answer == 1) {
        x = dialog->x;
        y = dialog->y;
        size = dialog->size;
        reserved = 0;
        brightness = dialog->brightness;
        hue = dialog->colorHsb.hue;
        intensity = dialog->intensity;
    }
    return static_cast<int>(answer);
}

float CLensFlareDialogBox::GetPreviewRatio() {
    return Layout::FitRatio(sourceBitmap->GetBitmapWidth(), sourceBitmap->GetBitmapHeight(),
                            previewImage->GetBitmapWidth(), previewImage->GetBitmapHeight());
}

void CLensFlareDialogBox::UpdatePreview() {
    if (!Window::HasPixels(previewImage.get())) {
        return;
    }
    Window::CopyPixels(previewImage.get(), renderTarget.get());
    // The render target's rows run bottom-up; the picked row is counted from the top.
    const int flareY = static_cast<int>(previewImage->GetBitmapHeight()) - y - 1;
    const int previewSize = static_cast<int>(GetPreviewRatio() * static_cast<float>(size));
    filter->LensFlare(renderTarget.get(), x, flareY, previewSize, brightness, colorHsb.hue,
                      intensity);
    Window::ShowBitmap(*previewWindow, renderTarget.get());
}

void CLensFlareDialogBox::ReadSliders(HWND dialog) {
    brightness = SliderPosition(dialog, IDC_LENS_FLARE_BRIGHTNESS);
    intensity = SliderPosition(dialog, IDC_LENS_FLARE_INTENSITY);
    size = SliderPosition(dialog, IDC_LENS_FLARE_SIZE);
}

void CLensFlareDialogBox::WriteValueBoxes(HWND dialog) {
    SetDlgItemInt(dialog, IDC_LENS_FLARE_SIZE_EDIT, static_cast<UINT>(size), TRUE);
    SetDlgItemInt(dialog, IDC_LENS_FLARE_BRIGHTNESS_EDIT, static_cast<UINT>(brightness), TRUE);
    SetDlgItemInt(dialog, IDC_LENS_FLARE_INTENSITY_EDIT, static_cast<UINT>(intensity), TRUE);
}

INT_PTR CLensFlareDialogBox::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    // A click on the swatch reaches the wrapper, which asks this dialog for the colour box.
    hostWindow = std::make_unique<Window::CClickNotifyingHost>(dialog, IDN_LENS_FLARE_CHOOSE_COLOR);

    previewWindow->CreateLocalWindow(hostWindow.get(), WS_CHILD | WS_VISIBLE, L"PreviewWindow",
                                     &kPreviewPlacement);
    Window::ShowBitmap(*previewWindow, sourceBitmap);
    if (Window::HasPixels(previewWindow->scaledBitmap.get())) {
        Window::CopyPixels(previewWindow->scaledBitmap.get(), previewImage.get());
        Window::CopyPixels(previewImage.get(), renderTarget.get());
    }

    swatchBitmap->SetBackgroundColor(color, 0);
    swatchWindow->CreateLocalWindow(hostWindow.get(), WS_CHILD | WS_VISIBLE, L"ColorBox",
                                    &kSwatchPlacement);
    Window::ShowBitmap(*swatchWindow, swatchBitmap.get());

    UpdatePreview();

    SendDlgItemMessageW(dialog, IDC_LENS_FLARE_BRIGHTNESS, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_LENS_FLARE_INTENSITY, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    // The size goes up to the image's height (its low 16 bits: the range is packed in words).
    SendDlgItemMessageW(dialog, IDC_LENS_FLARE_SIZE, TBM_SETRANGE, FALSE,
                        MAKELPARAM(0, sourceBitmap->GetBitmapHeight()));
    WriteValueBoxes(dialog);
    SendDlgItemMessageW(dialog, IDC_LENS_FLARE_BRIGHTNESS, TBM_SETPOS, TRUE, brightness);
    SendDlgItemMessageW(dialog, IDC_LENS_FLARE_INTENSITY, TBM_SETPOS, TRUE, intensity);
    SendDlgItemMessageW(dialog, IDC_LENS_FLARE_SIZE, TBM_SETPOS, TRUE, size);
    return 0;
}

int CLensFlareDialogBox::SelectPoint(int& pickedX, int& pickedY) {
    x = pickedX;
    y = pickedY;
    UpdatePreview();
    return 0;
}

// Page requests and thumb drags of any slider re-render with all three positions; line steps
// (arrow keys) and the end of a drag do not.
INT_PTR CLensFlareDialogBox::OnHScroll(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    const WORD request = LOWORD(wParam);
    if (request != TB_PAGEUP && request != TB_PAGEDOWN && request != TB_THUMBTRACK) {
        return 1;
    }
    ReadSliders(dialog);
    if (brightness < kLowestBrightness) {
        brightness = kLowestBrightness;
    }
    UpdatePreview();
    WriteValueBoxes(dialog);
    return 1;
}

// The colour box, nested on this thread; its colour gives the flare's hue.
INT_PTR CLensFlareDialogBox::OnNotify(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) != IDN_LENS_FLARE_CHOOSE_COLOR) {
        return 0;
    }
    if (CColorBoxPicker::Show(dialog, color) == 0) {
        return 0;
    }
    Color::ConvertRGBToHSB(colorHsb, color);
    swatchBitmap->SetBackgroundColor(color, 0);
    Window::ShowBitmap(*swatchWindow, swatchBitmap.get());
    UpdatePreview();
    return 0;
}

// OK reads the sliders again (without the brightness floor) and turns the point into source
// pixels.
INT_PTR CLensFlareDialogBox::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == IDOK) {
        ReadSliders(dialog);
        x = static_cast<int>(static_cast<float>(x) / GetPreviewRatio());
        y = static_cast<int>(static_cast<float>(y) / GetPreviewRatio());
    }
    EndOnOkOrCancel(dialog, LOWORD(wParam), &result);
    return 1;
}

} // namespace Orvanel::Dialog
