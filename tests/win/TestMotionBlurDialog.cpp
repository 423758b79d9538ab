// ShowMotionBlur driven as a user would: sliders by keyboard and by dragging, the edit boxes,
// the preview's pixels on screen, and what reaches the caller's doubles.
#include "filter/MotionBlurFilter.h"
#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"
#include "module/Quillet.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"
#include "support/ScreenMismatches.h"
#include "layout/FitLayout.h"
#include "resources/resource.h"

#include <doctest/doctest.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace QuilletTest;

namespace {

constexpr int kRadius = IDC_MOTION_BLUR_RADIUS, kSigma = IDC_MOTION_BLUR_SIGMA,
              kAngle = IDC_MOTION_BLUR_ANGLE;
constexpr int kRadiusEdit = IDC_MOTION_BLUR_RADIUS_EDIT, kSigmaEdit = IDC_MOTION_BLUR_SIGMA_EDIT,
              kAngleEdit = IDC_MOTION_BLUR_ANGLE_EDIT;

// A picture with detail everywhere, so that any blur changes it.
std::unique_ptr<COrvanelBitmap> Photo() {
    auto bitmap = std::make_unique<COrvanelBitmap>(300, 180, 32);
    for (int y = 0; y < 180; ++y) {
        for (int x = 0; x < 300; ++x) {
            const int stripe = ((x / 3) + (y / 5)) % 2 ? 230 : 20;
            bitmap->SetColorValue(x, y, RGB(stripe, (x * 255) / 299, (y * 255) / 179));
        }
    }
    return bitmap;
}

HWND Preview(HWND dialog) { return FindWindowExW(dialog, nullptr, L"PreviewWindow", nullptr); }

// Number of preview pixels on screen that differ from the picture fitted to the preview's
// client area and blurred, centred on the theme colour.
int PreviewMismatches(HWND dialog, COrvanelBitmap& source, double radius, double sigma,
                      double angle) {
    using namespace Orvanel::Layout;
    RECT client{};
    GetClientRect(Preview(dialog), &client);
    const float ratio = FitRatio(source.GetBitmapWidth(), source.GetBitmapHeight(),
                                 unsigned(client.right), unsigned(client.bottom));
    const int width = ScaledSize(source.GetBitmapWidth(), ratio);
    const int height = ScaledSize(source.GetBitmapHeight(), ratio);
    COrvanelBitmap expected(width, height, 32), *target = &expected;
    CInterpolationBicubic().Execute(&source, target);
    Orvanel::Filter::CMotionBlurFilter().MotionBlur(&expected, radius, sigma, angle);
    const int left = static_cast<int>(CentredOffset(unsigned(client.right), unsigned(width)));
    const int top = static_cast<int>(CentredOffset(unsigned(client.bottom), unsigned(height)));
    return ScreenMismatches(Preview(dialog), [&](int x, int y) {
        const bool inside = x >= left && x < left + width && y >= top && y < top + height;
        return inside ? expected.GetColorValue(x - left, height - 1 - (y - top)) : RGB(4, 0, 0);
    });
}

struct Values {
    double radius = 5.5, sigma = 6.5, angle = 7.5;
    bool Untouched() const { return radius == 5.5 && sigma == 6.5 && angle == 7.5; }
};

// The three edit boxes as "radius,sigma,angle".
std::wstring Edits(HWND dialog) {
    return ControlText(dialog, kRadiusEdit) + L"," + ControlText(dialog, kSigmaEdit) + L"," +
           ControlText(dialog, kAngleEdit);
}

// Shows the dialog, lets `drive` act as the user would and returns ShowMotionBlur's result;
// `shown` says whether a dialog appeared.
int Run(COrvanelBitmap* bitmap, const std::function<void(HWND)>& drive, Values& values,
        bool shown = true) {
    CModalDriver driver(drive);
    const int result = ShowMotionBlur(nullptr, bitmap, values.radius, values.sigma, values.angle);
    driver.Join();
    CHECK(driver.DialogFound() == shown);
    CHECK_FALSE(driver.WatchdogFired());
    return result;
}

} // namespace

TEST_CASE("the dialog as it opens; page and drag requests re-render it, arrow keys do not") {
    auto photo = Photo();
    std::wstring afterArrow, afterPage, afterDrag;
    std::vector<LRESULT> sliders; // minimum, maximum, position of each
    RECT previewRect{};
    int unchangedByArrow = -2, blurredByPage = -2, blurredByDrag = -2;
    LRESULT pagedRadius = 0;
    Values values;
    const int result = Run(
        photo.get(),
        [&](HWND dialog) {
            for (int slider : {kRadius, kSigma, kAngle}) {
                for (UINT query : {TBM_GETRANGEMIN, TBM_GETRANGEMAX, TBM_GETPOS}) {
                    sliders.push_back(SendDlgItemMessageW(dialog, slider, query, 0, 0));
                }
            }
            GetWindowRect(Preview(dialog), &previewRect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&previewRect), 2);
            // Arrow key: the sigma slider moves to 1, the edit boxes and the preview stay as they
            // opened (zeros, the unblurred scaled copy).
            PressKey(GetDlgItem(dialog, kSigma), VK_RIGHT);
            afterArrow = Edits(dialog);
            unchangedByArrow = PreviewMismatches(dialog, *photo, 0, 0, 0);
            // Page Down on the radius slider: all three positions are read, the keyboard's too.
            PressKey(GetDlgItem(dialog, kRadius), VK_NEXT);
            afterPage = Edits(dialog);
            pagedRadius = SendDlgItemMessageW(dialog, kRadius, TBM_GETPOS, 0, 0);
            blurredByPage = PreviewMismatches(dialog, *photo, double(pagedRadius), 1, 0);
            // Dragging the angle to its end.
            DragSlider(dialog, kAngle, 360);
            afterDrag = Edits(dialog);
            blurredByDrag = PreviewMismatches(dialog, *photo, double(pagedRadius), 1, 360);
            ClickButton(dialog, IDOK);
        },
        values);

    CHECK(sliders == std::vector<LRESULT>{0, 100, 0, 0, 100, 0, 0, 360, 0}); // radius, sigma, angle
    CHECK((previewRect.left == 20 && previewRect.top == 100));
    CHECK((previewRect.right - previewRect.left == 550 &&
           previewRect.bottom - previewRect.top == 300));
    CHECK((afterArrow == L"0,0,0" && unchangedByArrow == 0));
    CHECK(pagedRadius > 0);
    const std::wstring radius = std::to_wstring(pagedRadius);
    CHECK((afterPage == radius + L",1,0" && blurredByPage == 0));
    CHECK((afterDrag == radius + L",1,360" && blurredByDrag == 0));
    CHECK(result == 1);
    CHECK((values.radius == double(pagedRadius) && values.sigma == 1.0 && values.angle == 360.0));
}

TEST_CASE("Cancel, a close, or typing in the edit boxes change nothing for the caller") {
    auto photo = Photo();
    // Sliders moved, then Cancel or the caption's close.
    const std::pair<UINT, WPARAM> closes[] = {{WM_COMMAND, IDCANCEL}, {WM_SYSCOMMAND, SC_CLOSE}};
    for (const auto& close : closes) {
        Values values;
        const auto moveThenClose = [=](HWND dialog) {
            DragSlider(dialog, kSigma, 30);
            DragSlider(dialog, kAngle, 90);
            PostMessageW(dialog, close.first, close.second, 0);
        };
        CHECK(Run(photo.get(), moveThenClose, values) == 0);
        CHECK(values.Untouched());
    }

    Values typed;
    const auto typeThenOk = [](HWND dialog) {
        SetDlgItemTextW(dialog, kRadiusEdit, L"55");
        SetDlgItemTextW(dialog, kSigmaEdit, L"9");
        ClickButton(dialog, IDOK);
    };
    CHECK(Run(photo.get(), typeThenOk, typed) == 1); // OK without a slider moved gives zeros
    CHECK((typed.radius == 0.0 && typed.sigma == 0.0 && typed.angle == 0.0));

    // Nothing to preview: not shown, Cancel at once.
    COrvanelBitmap noPixels;
    Values empty;
    const auto nothing = [](HWND) {};
    for (COrvanelBitmap* bitmap : {&noPixels, static_cast<COrvanelBitmap*>(nullptr)}) {
        CHECK(Run(bitmap, nothing, empty, false) == 0);
    }
    CHECK(empty.Untouched());
}
