// ShowMotionBlur driven as a user would: sliders by keyboard and by dragging, the edit boxes,
// the preview's pixels on screen, and what reaches the caller's doubles.
#include "filter/MotionBlurFilter.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <string>

using namespace QuilletTest;

namespace {

constexpr int kRadius = IDC_MOTION_BLUR_RADIUS, kSigma = IDC_MOTION_BLUR_SIGMA,
              kAngle = IDC_MOTION_BLUR_ANGLE;

// The preview's client area is 548 x 298 (its edge takes a pixel all round): this picture
// fits at exactly twice its size, 548 x 200, centred at (0, 49), on the theme's background.
int PreviewMismatches(HWND dialog, COrvanelBitmap& photo, double radius, double sigma,
                      double angle) {
    COrvanelBitmap expected = Resampled(photo, 548, 200);
    Orvanel::Filter::CMotionBlurFilter().MotionBlur(&expected, radius, sigma, angle);
    return PictureMismatches(Child(dialog, L"PreviewWindow"), expected, 0, 49,
                             [](int, int) { return RGB(4, 0, 0); });
}

std::wstring Edits(HWND dialog) {
    return Texts(dialog, {IDC_MOTION_BLUR_RADIUS_EDIT, IDC_MOTION_BLUR_SIGMA_EDIT,
                          IDC_MOTION_BLUR_ANGLE_EDIT});
}

struct Values {
    double radius = 5.5, sigma = 6.5, angle = 7.5;
};

int Run(COrvanelBitmap* photo, Values& v, const std::function<void(HWND)>& drive,
        bool shown = true) {
    return RunDialog([&] { return ShowMotionBlur(nullptr, photo, v.radius, v.sigma, v.angle); },
                     drive, shown);
}

} // namespace

TEST_CASE("the dialog as it opens; page and drag requests re-render it, arrow keys do not") {
    COrvanelBitmap photo = Pattern(274, 100);
    Values values;
    LRESULT radius = 0;
    CHECK(Run(&photo, values, [&](HWND dialog) {
              CHECK(SliderRanges(dialog, {kRadius, kSigma, kAngle}) ==
                    std::vector<LRESULT>{0, 100, 0, 0, 100, 0, 0, 360, 0});
              CHECK(Placement(dialog, Child(dialog, L"PreviewWindow")) == "20,100 550x300");
              // An arrow key moves the sigma slider to 1; the edit boxes and the preview stay
              // as they opened (zeros, the unblurred scaled copy).
              PressKey(GetDlgItem(dialog, kSigma), VK_RIGHT);
              CHECK(Edits(dialog) == L"0,0,0");
              CHECK(PreviewMismatches(dialog, photo, 0, 0, 0) == 0);
              // Page Down on the radius slider: all three positions are read, the keyboard's too.
              PressKey(GetDlgItem(dialog, kRadius), VK_NEXT);
              radius = SendDlgItemMessageW(dialog, kRadius, TBM_GETPOS, 0, 0);
              CHECK(radius > 0);
              CHECK(Edits(dialog) == std::to_wstring(radius) + L",1,0");
              CHECK(PreviewMismatches(dialog, photo, double(radius), 1, 0) == 0);
              DragSlider(dialog, kAngle, 360);
              CHECK(Edits(dialog) == std::to_wstring(radius) + L",1,360");
              CHECK(PreviewMismatches(dialog, photo, double(radius), 1, 360) == 0);
              ClickButton(dialog, IDOK);
          }) == 1);
    CHECK((values.radius == double(radius) && values.sigma == 1.0 && values.angle == 360.0));
}

TEST_CASE("Cancel, a close, or typing in the edit boxes change nothing for the caller") {
    COrvanelBitmap photo = Pattern(274, 100);
    for (bool viaCancel : {true, false}) { // sliders moved, then Cancel or the caption's close
        Values values;
        CHECK(Run(&photo, values, [&](HWND dialog) {
                  DragSlider(dialog, kSigma, 30);
                  DragSlider(dialog, kAngle, 90);
                  CancelOrClose(dialog, viaCancel);
              }) == 0);
        CHECK((values.radius == 5.5 && values.sigma == 6.5 && values.angle == 7.5));
    }
    Values typed; // OK without a slider moved gives zeros, whatever was typed
    CHECK(Run(&photo, typed, [](HWND dialog) {
              SetDlgItemTextW(dialog, IDC_MOTION_BLUR_RADIUS_EDIT, L"55");
              SetDlgItemTextW(dialog, IDC_MOTION_BLUR_SIGMA_EDIT, L"9");
              ClickButton(dialog, IDOK);
          }) == 1);
    CHECK((typed.radius == 0.0 && typed.sigma == 0.0 && typed.angle == 0.0));
    // Nothing to preview: not shown, Cancel at once.
    COrvanelBitmap noPixels;
    for (COrvanelBitmap* bitmap : {&noPixels, static_cast<COrvanelBitmap*>(nullptr)}) {
        Values untouched;
        CHECK(Run(
                  bitmap, untouched, [](HWND) {}, false) == 0);
        CHECK((untouched.radius == 5.5 && untouched.sigma == 6.5 && untouched.angle == 7.5));
    }
}
