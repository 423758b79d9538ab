#pragma once
#include "dialog/LocalDialog.h"

class COrvanelBitmap;

namespace Orvanel::Filter {
class CMotionBlurFilter;
}
namespace Orvanel::Window {
class CBitmapStaticWindow;
class CLocalWindow;
} // namespace Orvanel::Window

namespace Orvanel::Dialog {

// Dialog 303: radius, sigma and angle sliders over a live preview of a scaled copy of the
// host's image. The host's bitmap is never changed; only the three values are returned.
class CMotionBlurDialog : public CLocalDialog {
public:
    CMotionBlurDialog();
    ~CMotionBlurDialog() override;

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnHScroll(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    COrvanelBitmap* sourceBitmap;      // the host's, only read
    COrvanelBitmap* unfilteredPreview; // scaled copy, made once
    COrvanelBitmap* filteredPreview;   // reset and blurred on every update
    Window::CBitmapStaticWindow* previewWindow;
    Filter::CMotionBlurFilter* filter;
    Window::CLocalWindow* hostWindow; // wraps the dialog window
    int result;
    double radius;
    double sigma;
    double angle;
    int radiusPosition;
    int sigmaPosition;
    int anglePosition;

private:
    void CreatePreview();
};

} // namespace Orvanel::Dialog
