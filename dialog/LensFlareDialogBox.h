#pragma once
#include "color/HSBColor.h"
#include "dialog/LocalDialog.h"
#include "window/BitmapStaticWindow.h"
#include "window/BitmapStaticWindowSelector.h"

#include <memory>

namespace Orvanel::Filter {
class CLensFlareFilter;
}

namespace Orvanel::Dialog {

// Dialog 104: places a lens flare on a preview of the host's image (picked with the mouse) and
// sets its brightness, colour intensity and size with sliders; a click on the swatch opens the
// colour box for the flare's hue. The host's image is never changed: the parameters are
// returned after OK, in the source image's pixels.
class CLensFlareDialogBox : public CLocalDialog,
                            private Window::CBitmapStaticWindowSelectorInterface {
public:
    CLensFlareDialogBox();
    ~CLensFlareDialogBox() override;

    // Runs the dialog over the owner. After OK writes x, y (source pixels, y from the top),
    // size, reserved (0), brightness, hue and intensity; the colour is only read. Answers the
    // dialog's result: 1 after OK, 0 after Cancel or a close (and at once, without a dialog,
    // for a bitmap without pixels), -1 when the dialog could not be shown.
    static int Show(HWND owner, COrvanelBitmap* bitmap, Color::ColorValue& color, int& x, int& y,
                    int& size, int& reserved, int& brightness, int& hue, int& intensity);

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnNotify(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnHScroll(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    int brightness;
    int intensity;
    int size; // in source pixels
    int x;    // preview pixels until OK
    int y;    // preview pixels from the top until OK
    int result;
    Color::HSBColor colorHsb; // only the hue is used
    Color::ColorValue color;
    COrvanelBitmap* sourceBitmap; // the host's, only read
    std::unique_ptr<COrvanelBitmap> swatchBitmap;
    std::unique_ptr<COrvanelBitmap> previewImage; // the scaled copy without flare
    std::unique_ptr<COrvanelBitmap> renderTarget; // reset from previewImage, drawn on each update
    std::unique_ptr<Window::CBitmapStaticWindowSelector> previewWindow;
    std::unique_ptr<Window::CBitmapStaticWindow> swatchWindow;
    std::unique_ptr<Filter::CLensFlareFilter> filter;
    std::unique_ptr<Window::CLocalWindow> hostWindow; // wraps the dialog window

private:
    int SelectPoint(int& pickedX, int& pickedY) override;
    // Source pixels to preview pixels.
    float GetPreviewRatio();
    // The preview image with the flare drawn at the current values, shown.
    void UpdatePreview();
    void ReadSliders(HWND dialog);
    void WriteValueBoxes(HWND dialog);
};

} // namespace Orvanel::Dialog
