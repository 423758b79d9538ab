// ShowLensFlareDialogBox driven as a user would: the preview's pixels on screen against the
// renderer's output for each point and slider, the nested colour box opened from the swatch,
// and what reaches the caller's references. And the renderer's bytes with this runtime.
#include "color/HSBColor.h"
#include "filter/LensFlareFilter.h"
#include "filter/RuntimeRandom.h"
#include "module/Quillet.h"
#include "native/LensFlareOracle.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"
#include "support/FlareDigests.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace QuilletTest;

namespace {

// The preview window's client area is 498 x 198 (its edge takes a pixel all round), 492 x 192
// inside the margin: a 600 x 300 picture is shown at 0.64, 384 x 192 at (57, 3).
constexpr int kLeft = 57, kTop = 3;
// Each render takes this many numbers from the thread's generator, for the rays.
constexpr int kNumbersPerRender = 722;
constexpr unsigned int kSeed = 20261207;

struct Flare {
    int x = 100, y = 100, size = 100, brightness = 25, hue = 120, intensity = 30;
};

// Pixels of the preview on screen that differ from the dialog's n-th render (0 is the one it
// opens with): the picture fitted as the preview fits it, the flare at (x, y from the top) in
// preview pixels with the rays the generator gives after n renders from the seed, the marker
// on the flare's source, black around.
int PreviewMismatches(HWND dialog, COrvanelBitmap& photo, const Flare& f, int n) {
    COrvanelBitmap shown = Resampled(photo, 384, 192);
    Orvanel::Filter::SeedRuntimeRand(kSeed);
    for (int i = 0; i < n * kNumbersPerRender; ++i)
        Orvanel::Filter::RuntimeRand();
    Orvanel::Filter::CLensFlareFilter().LensFlare(
        &shown, f.x, 191 - f.y, int(0.64f * float(f.size)), f.brightness, f.hue, f.intensity);
    const POINT marker{kLeft + f.x, kTop + f.y};
    return PictureMismatches(
        Child(dialog, L"PreviewWindow"), shown, kLeft, kTop, [](int, int) { return RGB(0, 0, 0); },
        &marker);
}

// Pixels of the swatch on screen that are not the colour. The swatch's placement overlaps the
// intensity slider's last rows (and, with wine's wider stand-in for the dialog font, the label
// beside it); the dialog's controls do not clip their siblings, so whichever paints last shows
// there. Pixels under another control are left out.
int SwatchMismatches(HWND dialog, COLORREF color) {
    HWND swatch = Child(dialog, L"ColorBox");
    RECT window{};
    GetWindowRect(swatch, &window);
    return ScreenMismatches(swatch, [&](int x, int y) -> COLORREF {
        const POINT onScreen{window.left + 1 + x, window.top + 1 + y}; // inside the edge
        for (HWND other = GetWindow(dialog, GW_CHILD); other;
             other = GetWindow(other, GW_HWNDNEXT)) {
            RECT r{};
            if (other != swatch && GetWindowRect(other, &r) && PtInRect(&r, onScreen))
                return CLR_INVALID;
        }
        return color;
    });
}

// "size,brightness,intensity" as the value boxes show them.
std::wstring Values(HWND dialog) {
    return Texts(dialog, {IDC_LENS_FLARE_SIZE_EDIT, IDC_LENS_FLARE_BRIGHTNESS_EDIT,
                          IDC_LENS_FLARE_INTENSITY_EDIT});
}

// At (x, y) of the picture in the preview.
void Point(HWND dialog, UINT message, int x, int y) {
    Mouse(Child(dialog, L"PreviewWindow"), message, kLeft + x, kTop + y);
}

// The caller's nine references, set apart from anything the dialog gives back.
struct References {
    unsigned long color = 0x0000FF00; // green: hue 120
    int x = -1, y = -2, size = -3, reserved = -4, brightness = -5, hue = -6, intensity = -7;
    std::vector<int> Ints() const { return {x, y, size, reserved, brightness, hue, intensity}; }
};

int Run(COrvanelBitmap* photo, References& r, const std::function<void(HWND)>& drive,
        bool shown = true) {
    Orvanel::Filter::SeedRuntimeRand(kSeed); // this thread runs the dialog and its renders
    return RunDialog(
        [&] {
            return ShowLensFlareDialogBox(nullptr, photo, r.color, r.x, r.y, r.size, r.reserved,
                                          r.brightness, r.hue, r.intensity);
        },
        drive, shown);
}

} // namespace

TEST_CASE("the preview follows the sliders and the pointer; OK gives source pixels") {
    COrvanelBitmap photo = Pattern(600, 300);
    References refs;
    CHECK(Run(&photo, refs, [&](HWND dialog) {
              CHECK(Values(dialog) == L"100,25,30");
              CHECK(SliderRanges(dialog, {IDC_LENS_FLARE_BRIGHTNESS, IDC_LENS_FLARE_INTENSITY,
                                          IDC_LENS_FLARE_SIZE}) ==
                    std::vector<LRESULT>{0, 100, 25, 0, 100, 30, 0, 300, 100});
              // An arrow key moves the intensity slider but renders nothing: the preview is
              // still the one it opened with.
              PressKey(GetDlgItem(dialog, IDC_LENS_FLARE_INTENSITY), VK_RIGHT);
              CHECK(Values(dialog) == L"100,25,30");
              CHECK(PreviewMismatches(dialog, photo, Flare{}, 0) == 0);
              // A drag reads all three sliders; brightness is never below 3 on screen.
              DragSlider(dialog, IDC_LENS_FLARE_BRIGHTNESS, 1); // render 1
              CHECK(Values(dialog) == L"100,3,31");
              CHECK(PreviewMismatches(dialog, photo, Flare{100, 100, 100, 3, 120, 31}, 1) == 0);
              DragSlider(dialog, IDC_LENS_FLARE_SIZE, 250); // render 2: 160 preview pixels
              CHECK(Values(dialog) == L"250,3,31");
              CHECK(PreviewMismatches(dialog, photo, Flare{100, 100, 250, 3, 120, 31}, 2) == 0);
              Point(dialog, WM_LBUTTONDOWN, 200, 50); // render 3
              CHECK(PreviewMismatches(dialog, photo, Flare{200, 50, 250, 3, 120, 31}, 3) == 0);
              Point(dialog, WM_MOUSEMOVE, 250, 120); // render 4
              Point(dialog, WM_MOUSEMOVE, 300, 0);   // render 5: the top row
              Point(dialog, WM_LBUTTONUP, 300, 0);
              Point(dialog, WM_MOUSEMOVE, 10, 10); // released: no render
              CHECK(PreviewMismatches(dialog, photo, Flare{300, 0, 250, 3, 120, 31}, 5) == 0);
              ClickButton(dialog, IDOK);
          }) == 1);
    // OK reads the sliders again, without the floor; 300 preview pixels at 0.64 are 468.
    CHECK(refs.Ints() == std::vector<int>{468, 0, 250, 0, 1, 120, 31});
    CHECK(refs.color == 0x0000FF00);
}

TEST_CASE("a click on the swatch opens the colour box; its colour gives the hue, not the colour") {
    COrvanelBitmap photo = Pattern(600, 300);
    for (bool confirm : {true, false}) {
        CAPTURE(confirm);
        References refs;
        Orvanel::Color::HSBColor hsb{0, 0, 0};
        CHECK(Run(&photo, refs, [&](HWND dialog) {
                  // Not waited for: the colour box runs its own modal loop inside the click.
                  SendNotifyMessageW(Child(dialog, L"ColorBox"), WM_LBUTTONDOWN, MK_LBUTTON,
                                     MAKELPARAM(5, 5));
                  HWND box = WaitForOwnedDialog(dialog);
                  CHECK_MESSAGE(WindowText(box) == L"Color Box", "no colour box over the dialog");
                  HWND matrix = Child(box, L"ColorMatrix");
                  SendMessageW(matrix, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 40));
                  SendMessageW(matrix, WM_LBUTTONUP, 0, MAKELPARAM(200, 40));
                  DragSlider(box, IDC_COLOR_HUE_SLIDER, 100); // hue 260
                  unsigned long now = 0x0000FF00;
                  if (confirm) {
                      now = GetDlgItemInt(box, IDC_COLOR_RED_EDIT, nullptr, FALSE) |
                            GetDlgItemInt(box, IDC_COLOR_GREEN_EDIT, nullptr, FALSE) << 8 |
                            GetDlgItemInt(box, IDC_COLOR_BLUE_EDIT, nullptr, FALSE) << 16;
                  }
                  ClickButton(box, confirm ? IDOK : IDCANCEL);
                  CHECK_MESSAGE(WaitFor([&] { return !IsWindow(box); }), "the colour box stays");
                  Orvanel::Color::ConvertRGBToHSB(hsb, now);
                  CHECK(SwatchMismatches(dialog, now) == 0);
                  Flare flare;
                  flare.hue = hsb.hue;
                  CHECK(PreviewMismatches(dialog, photo, flare, 1) == 0); // a render after it
                  ClickButton(dialog, IDOK);
              }) == 1);
        CHECK((refs.hue == hsb.hue && (!confirm || refs.hue != 120)));
        CHECK(refs.color == 0x0000FF00);
    }
}

TEST_CASE("Cancel and a close leave the nine references; a bitmap without pixels shows nothing") {
    COrvanelBitmap photo = Pattern(600, 300), empty;
    for (bool viaCancel : {true, false}) {
        References refs;
        CHECK(Run(&photo, refs, [&](HWND dialog) {
                  Point(dialog, WM_LBUTTONDOWN, 10, 10);
                  DragSlider(dialog, IDC_LENS_FLARE_SIZE, 20);
                  CancelOrClose(dialog, viaCancel);
              }) == 0);
        CHECK((refs.Ints() == References().Ints() && refs.color == 0x0000FF00));
    }
    for (COrvanelBitmap* bitmap : {&empty, static_cast<COrvanelBitmap*>(nullptr)}) {
        References refs;
        CHECK(Run(
                  bitmap, refs, [](HWND) {}, false) == 0);
        CHECK(refs.Ints() == References().Ints());
    }
}

// The flare's bytes depend on the runtime: its rand places the rays (from state 1 on a new
// thread), its sqrt, asin, exp, sin and cos shape the discs and rings. The renderer and the
// ring factors built for Windows must come to the native build's digests and bits.
TEST_CASE("with this runtime the renderer and the ring factors give the native build's bytes") {
    for (int k = 0; k <= 100; ++k) {
        const float a = LensFlareOracle::RingSaturation(k);
        std::uint32_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        CHECK_MESSAGE(bits == FlareDigests::kRingSaturationBits[k], k);
    }
    std::thread([] { // a new thread, so that the rays start from the generator's first state
        for (const FlareDigests::Case& c : FlareDigests::kCases) {
            COrvanelBitmap bitmap = FlareDigests::Pattern(c.width, c.height);
            Orvanel::Filter::CLensFlareFilter().LensFlare(&bitmap, c.x, c.y, c.size, c.brightness,
                                                          c.hue, c.intensity);
            CHECK_MESSAGE(FlareDigests::Digest(bitmap) == c.digest, c.name);
        }
    })
        .join();
}
