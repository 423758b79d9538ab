#include "dialog/MotionBlurDialog.h"

#include "filter/MotionBlurFilter.h"
#include "host/OrvanelBitmap.h"
#include "resources/resource.h"
#include "window/BitmapStaticWindow.h"

#include <commctrl.h>

namespace Orvanel::Dialog {

namespace {

const Window::CWindowPlacement kPreviewPlacement{20, 100, 550, 300};

int SliderPosition(HWND dialog, int sliderId) {
    return static_cast<int>(SendDlgItemMessageW(dialog, sliderId, TBM_GETPOS, 0, 0));
}

void CopyPixels(COrvanelBitmap* from, COrvanelBitmap* to) {
    if (from != nullptr && to != nullptr) {
        to->SetBitmap(from->GetPtBitmap(), from->GetBitmapWidth(), from->GetBitmapHeight(), false,
                      true);
    }
}

} // namespace

CMotionBlurDialog::CMotionBlurDialog()
    : sourceBitmap(nullptr), unfilteredPreview(nullptr), filteredPreview(nullptr),
      previewWindow(nullptr), filter(nullptr), hostWindow(nullptr), result(0), radius(0.0),
      sigma(0.0), angle(0.0), radiusPosition(0), sigmaPosition(0), anglePosition(0) {
    filter = new Filter::CMotionBlurFilter();
    filteredPreview = new COrvanelBitmap();
    unfilteredPreview = new COrvanelBitmap();
    previewWindow = new Window::CBitmapStaticWindow();
}

// The child window is already gone with the dialog window; its object, the copies and the
// wrapper go now, in this order.
CMotionBlurDialog::~CMotionBlurDialog() {
    delete unfilteredPreview;
    unfilteredPreview = nullptr;
    delete filteredPreview;
    filteredPreview = nullptr;
    delete previewWindow;
    previewWindow = nullptr;
    delete filter;
    filter = nullptr;
    delete hostWindow;
    hostWindow = nullptr;
}

void CMotionBlurDialog::CreatePreview() {
    previewWindow->CreateLocalWindow(hostWindow, WS_CHILD | WS_VISIBLE, L"PreviewWindow",
                                     &kPreviewPlacement);
    previewWindow->sourceBitmap = sourceBitmap;
    previewWindow->UpdateScaledBitmap();
    previewWindow->Redraw();
    CopyPixels(previewWindow->scaledBitmap, unfilteredPreview);
    CopyPixels(unfilteredPreview, filteredPreview);
}

INT_PTR CMotionBlurDialog::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    hostWindow = new Window::CLocalWindow(dialog);
    CreatePreview();

    SetDlgItemInt(dialog, IDC_MOTION_BLUR_RADIUS_EDIT, static_cast<UINT>(radiusPosition), TRUE);
    SetDlgItemInt(dialog, IDC_MOTION_BLUR_SIGMA_EDIT, static_cast<UINT>(sigmaPosition), TRUE);
    SetDlgItemInt(dialog, IDC_MOTION_BLUR_ANGLE_EDIT, static_cast<UINT>(anglePosition), TRUE);

    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_RADIUS, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_SIGMA, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_ANGLE, TBM_SETRANGE, FALSE, MAKELPARAM(0, 360));

    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_RADIUS, TBM_SETPOS, TRUE, radiusPosition);
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_SIGMA, TBM_SETPOS, TRUE, sigmaPosition);
    SendDlgItemMessageW(dialog, IDC_MOTION_BLUR_ANGLE, TBM_SETPOS, TRUE, anglePosition);
    return 0;
}

INT_PTR CMotionBlurDialog::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK:
        result = 1;
        EndDialog(dialog, 1);
        return 1;
    case IDCANCEL:
        result = 0;
        EndDialog(dialog, 0);
        return 1;
    default:
        return 0;
    }
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

    CopyPixels(unfilteredPreview, filteredPreview);
    filter->MotionBlur(filteredPreview, radius, sigma, angle);
    previewWindow->sourceBitmap = filteredPreview;
    previewWindow->UpdateScaledBitmap();
    previewWindow->Redraw();

    SetDlgItemInt(dialog, IDC_MOTION_BLUR_RADIUS_EDIT, static_cast<UINT>(radiusPosition), TRUE);
    SetDlgItemInt(dialog, IDC_MOTION_BLUR_SIGMA_EDIT, static_cast<UINT>(sigmaPosition), TRUE);
    SetDlgItemInt(dialog, IDC_MOTION_BLUR_ANGLE_EDIT, static_cast<UINT>(anglePosition), TRUE);

    SetCursor(previousCursor);
    previewWindow->Redraw();
    return 0;
}

} // namespace Orvanel::Dialog
