#include "dialog/MotionBlurDialog.h"

#include "filter/MotionBlurFilter.h"
#include "host/OrvanelBitmap.h"
#include "resources/resource.h"
#include "win32/CommonControls.h"

#include <commctrl.h>

namespace Orvanel::Dialog {

namespace {

const Window::CWindowPlacement kPreviewPlacement{20, 100, 550, 300};

int SliderPosition(HWND dialog, int sliderId) {
    return static_cast<int>(SendDlgItemMessageW(dialog, sliderId, TBM_GETPOS, 0, 0));
}

} // namespace

CMotionBlurDialog::CMotionBlurDialog()
    : sourceBitmap(nullptr), result(0), radius(0.0), sigma(0.0), angle(0.0), radiusPosition(0),
      sigmaPosition(0), anglePosition(0) {
    filter = std::make_unique<Filter::CMotionBlurFilter>();
    filteredPreview = std::make_unique<COrvanelBitmap>();
    unfilteredPreview = std::make_unique<COrvanelBitmap>();
    previewWindow = std::make_unique<Window::CBitmapStaticWindow>();
}

// The child window is already gone with the dialog window; its object, the copies and the
// wrapper go now, in this order.
CMotionBlurDialog::~CMotionBlurDialog() {
    ReleaseInOrder(unfilteredPreview, filteredPreview, previewWindow, filter, hostWindow);
}

int CMotionBlurDialog::Show(HWND owner, COrvanelBitmap* bitmap, double& radius, double& sigma,
                            double& angle) {
    // Without pixels there is nothing to preview: answer Cancel at once.
    if (bitmap == nullptr || bitmap->GetPtBitmap() == nullptr) {
        return 0;
    }
    Win32::RegisterBarControls();
    auto dialog = std::make_unique<CMotionBlurDialog>();
    dialog->sourceBitmap = bitmap;
    dialog->ownerWindow = owner;
    dialog->RunModal(IDD_MOTION_BLUR, owner);
    // The caller's values are written only after OK; they are never read.
    if (dialog->result == 1) {
        angle = dialog->angle;
        radius = dialog->radius;
        sigma = dialog->sigma;
    }
    return dialog->result;
}

void CMotionBlurDialog::CreatePreview() {
    previewWindow->CreateLocalWindow(hostWindow.get(), WS_CHILD | WS_VISIBLE, L"PreviewWindow",
                                     &kPreviewPlacement);
    Window::ShowBitmap(*previewWindow, sourceBitmap);
    Window::CopyPixels(previewWindow->scaledBitmap.get(), unfilteredPreview.get());
    Window::CopyPixels(unfilteredPreview.get(), filteredPreview.get());
}

void CMotionBlurDialog::WriteValueBoxes(HWND dialog) {
    SetDlgItemInt(dialog, IDC_MOTION_BLUR_RADIUS_EDIT, static_cast<UINT>(radiusPosition), TRUE);
    SetDlgItemInt(dialog, IDC_MOTION_BLUR_SIGMA_EDIT, static_cast<UINT>(sigmaPosition), TRUE);
    SetDlgItemInt(dialog, IDC_MOTION_BLUR_ANGLE_EDIT, static_cast<UINT>(anglePosition), TRUE);
}

INT_PTR CMotionBlurDialog::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    hostWindow = std::make_unique<Window::CLocalWindow>(dialog);
    CreatePreview();

    WriteValueBoxes(dialog);

    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_RADIUS, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_SIGMA, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_ANGLE, TBM_SETRANGE, FALSE, MAKELPARAM(0, 360));

    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_RADIUS, TBM_SETPOS, TRUE, radiusPosition);
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_SIGMA, TBM_SETPOS, TRUE, sigmaPosition);
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_ANGLE, TBM_SETPOS, TRUE, anglePosition);
    return 0;
}

INT_PTR CMotionBlurDialog::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    return EndOnOkOrCancel(dialog, LOWORD(wParam), &result) ? 1 : 0;
}

// Page requests and thumb drags re-render the preview; line steps (arrow keys), the final
// thumb position and the end of a scroll do not.
INT_PTR CMotionBlurDialog::OnHScroll(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    const WORD request = LOWORD(wParam);
    if (request != TB_PAGEUP && request != TB_PAGEDOWN && request != TB_THUMBTRACK) {
        return 0;
    }
    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));

    radiusPosition = SliderPosition(dialog, IDC_MOTION_BLUR_RADIUS);
    sigmaPosition = SliderPosition(dialog, IDC_MOTION_BLUR_SIGMA);
    anglePosition = SliderPosition(dialog, IDC_MOTION_BLUR_ANGLE);
    radius = radiusPosition;
    sigma = sigmaPosition;
    angle = anglePosition;

    Window::CopyPixels(unfilteredPreview.get(), filteredPreview.get());
    filter->MotionBlur(filteredPreview.get(), radius, sigma, angle);
    Window::ShowBitmap(*previewWindow, filteredPreview.get());

    WriteValueBoxes(dialog);

    SetCursor(previousCursor);
    previewWindow->Redraw();
    return 0;
}

} // namespace Orvanel::Dialog
