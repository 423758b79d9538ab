#pragma once
#include "dialog/LocalDialog.h"
#include "window/BitmapStaticWindow.h"

#include <memory>

namespace Orvanel::Filter {
class CMotionBlurFilter;
}

namespace Orvanel::Dialog {

// Dialog 303: radius, sigma and angle sliders over a live preview of a scaled copy of the
// host's image. The host's bitmap is never changed; only the three values are returned.
class CMotionBlurDialog : public CLocalDialog {
public:
    CMotionBlurDialog();
    ~CMotionBlurDialog() override;

    // Runs the dialog over the owner; after OK writes the three values and answers 1, else
    // leaves them and answers 0 (at once, without a dialog, for a bitmap without pixels).
    static int Show(HWND owner, COrvanelBitmap* bitmap, double& radius, double& sigma,
                    double& angle);

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnHScroll(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    COrvanelBitmap* sourceBitmap;                      // the host's, only read
    std::unique_ptr<COrvanelBitmap> unfilteredPreview; // scaled copy, made once
    std::unique_ptr<COrvanelBitmap> filteredPreview;   // reset and blurred on every update
    std::unique_ptr<Window::CBitmapStaticWindow> previewWindow;
    std::unique_ptr<Filter::CMotionBlurFilter> filter;
    std::unique_ptr<Window::CLocalWindow> hostWindow; // wraps the dialog window
    int result;
    double radius;
    double sigma;
    double angle;
    int radiusPosition;
    int sigmaPosition;
    int anglePosition;

private:
    void CreatePreview();
    void WriteValueBoxes(HWND dialog);
};

} // namespace Orvanel::Dialog
