// ShowLensFlareDialogBox driven as a user would: the preview's pixels on screen against the
// renderer's output for each point and slider, the nested colour box opened from the swatch,
// and what reaches the caller's references.
#include "color/HSBColor.h"
#include "filter/LensFlareFilter.h"
#include "filter/RuntimeRandom.h"
#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/RealMouseMuted.h"
#include "support/ScreenMismatches.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace QuilletTest;
using Orvanel::Filter::CLensFlareFilter;

namespace {

// The preview window's client area is 498 x 198 (its edge takes a pixel all round), 492 x 192
// inside the margin: a 600 x 300 picture is shown at 0.64, 384 x 192 at (57, 3).
constexpr int kWidth = 600, kHeight = 300, kShownWidth = 384, kShownHeight = 192;
constexpr int kLeft = 57, kTop = 3;
constexpr float kRatio = 0.64f;
// Each render takes this many numbers from the thread's generator, for the rays.
constexpr int kNumbersPerRender = 722;
constexpr unsigned int kSeed = 20261207;

std::unique_ptr<COrvanelBitmap> Photo() {
    auto bitmap = std::make_unique<COrvanelBitmap>(kWidth, kHeight, 32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int stripe = ((x / 7) + (y / 9)) % 2 ? 150 : 40;
            bitmap->SetColorValue(x, y, RGB(stripe, (x * 255) / (kWidth - 1), (y * 200) / kHeight));
        }
    }
    return bitmap;
}

// What the dialog draws for its n-th render (0 is the one it opens with): the picture fitted
// as the preview fits it, the flare at (x, y from the top) in preview pixels, with the rays the
// generator gives after n renders from the seed.
struct Flare {
    int x = 100, y = 100, size = 100, brightness = 25, hue = 120, intensity = 30;
};

std::unique_ptr<COrvanelBitmap> Render(COrvanelBitmap& photo, const Flare& flare, int n) {
    auto shown = std::make_unique<COrvanelBitmap>(kShownWidth, kShownHeight, 32);
    COrvanelBitmap* target = shown.get();
    CInterpolationBicubic().Execute(&photo, target);
    Orvanel::Filter::SeedRuntimeRand(kSeed);
    for (int i = 0; i < n * kNumbersPerRender; ++i) {
        Orvanel::Filter::RuntimeRand();
    }
    const int row = kShownHeight - flare.y - 1;
    const int size = static_cast<int>(kRatio * static_cast<float>(flare.size));
    CLensFlareFilter().LensFlare(shown.get(), flare.x, row, size, flare.brightness, flare.hue,
                                 flare.intensity);
    return shown;
}

HWND Child(HWND dialog, const wchar_t* name) {
    return FindWindowExW(dialog, nullptr, name, nullptr);
}

// Pixels of the preview on screen that differ from the n-th render with its marker on the
// flare's source, on black.
int PreviewMismatches(HWND dialog, COrvanelBitmap& photo, const Flare& flare, int n) {
    const auto expected = Render(photo, flare, n);
    const int cx = kLeft + flare.x, cy = kTop + flare.y;
    return ScreenMismatches(Child(dialog, L"PreviewWindow"), [&](int x, int y) {
        const bool outline = ((x == cx - 3 || x == cx + 3) && y >= cy - 3 && y <= cy + 3) ||
                             ((y == cy - 3 || y == cy + 3) && x >= cx - 3 && x <= cx + 3);
        const bool inside =
            x >= kLeft && x < kLeft + kShownWidth && y >= kTop && y < kTop + kShownHeight;
        return outline || !inside
                   ? RGB(0, 0, 0)
                   : expected->GetColorValue(x - kLeft, kShownHeight - 1 - (y - kTop));
    });
}

// Pixels of the swatch on screen that are not the colour. The swatch's placement overlaps the
// intensity slider's last rows (and, with wine's wider stand-in for the dialog font, the
// label beside it); the dialog's controls do not clip their siblings, so whichever paints last
// shows there. Pixels under another control are left out.
int SwatchMismatches(HWND dialog, COLORREF color) {
    HWND swatch = Child(dialog, L"ColorBox");
    std::vector<RECT> others;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        if (child != swatch) {
            others.push_back(r);
        }
    }
    RECT window{};
    GetWindowRect(swatch, &window);
    return ScreenMismatches(swatch, [&](int x, int y) -> COLORREF {
        const POINT onScreen{window.left + 1 + x, window.top + 1 + y}; // inside the edge
        for (const RECT& r : others) {
            if (PtInRect(&r, onScreen)) {
                return CLR_INVALID;
            }
        }
        return color;
    });
}

// "size,brightness,intensity" as the value boxes show them.
std::wstring Values(HWND dialog) {
    return ControlText(dialog, IDC_LENS_FLARE_SIZE_EDIT) + L"," +
           ControlText(dialog, IDC_LENS_FLARE_BRIGHTNESS_EDIT) + L"," +
           ControlText(dialog, IDC_LENS_FLARE_INTENSITY_EDIT);
}

void Mouse(HWND dialog, UINT message, int x, int y) {
    SendMessageW(Child(dialog, L"PreviewWindow"), message, MK_LBUTTON,
                 MAKELPARAM(kLeft + x, kTop + y));
}

// The caller's nine references, set apart from anything the dialog gives back.
struct References {
    unsigned long color = 0x0000FF00; // green: hue 120
    int x = -1, y = -2, size = -3, reserved = -4, brightness = -5, hue = -6, intensity = -7;
    std::vector<int> Ints() const { return {x, y, size, reserved, brightness, hue, intensity}; }
};

int Run(COrvanelBitmap* photo, References& refs, const std::function<void(HWND)>& drive,
        bool shown = true) {
    Orvanel::Filter::SeedRuntimeRand(kSeed); // this thread runs the dialog and its renders
    CRealMouseMuted muted;
    CModalDriver driver(drive);
    const int result =
        ShowLensFlareDialogBox(nullptr, photo, refs.color, refs.x, refs.y, refs.size, refs.reserved,
                               refs.brightness, refs.hue, refs.intensity);
    driver.Join();
    CHECK(driver.DialogFound() == shown);
    CHECK_FALSE(driver.WatchdogFired());
    return result;
}

} // namespace

TEST_CASE("the dialog as it opens, and OK without a change: the defaults in source pixels") {
    auto photo = Photo();
    References refs;
    std::wstring values;
    std::vector<LRESULT> sliders; // minimum, maximum, position of each
    int opened = -1;
    const int result = Run(photo.get(), refs, [&](HWND dialog) {
        values = Values(dialog);
        for (int slider :
             {IDC_LENS_FLARE_BRIGHTNESS, IDC_LENS_FLARE_INTENSITY, IDC_LENS_FLARE_SIZE}) {
            for (UINT query : {TBM_GETRANGEMIN, TBM_GETRANGEMAX, TBM_GETPOS}) {
                sliders.push_back(SendDlgItemMessageW(dialog, slider, query, 0, 0));
            }
        }
        opened = PreviewMismatches(dialog, *photo, Flare{}, 0);
        ClickButton(dialog, IDOK);
    });
    CHECK(result == 1);
    CHECK(values == L"100,25,30");
    CHECK(sliders == std::vector<LRESULT>{0, 100, 25, 0, 100, 30, 0, kHeight, 100});
    CHECK(opened == 0);
    // 100 preview pixels at 0.64 are 156 source pixels; the hue is the caller's colour's.
    CHECK(refs.Ints() == std::vector<int>{156, 156, 100, 0, 25, 120, 30});
    CHECK(refs.color == 0x0000FF00);
}

TEST_CASE("a press and a drag on the preview move the flare; OK gives the point in source pixels") {
    auto photo = Photo();
    References refs;
    int pressed = -1, dragged = -1;
    const int result = Run(photo.get(), refs, [&](HWND dialog) {
        Mouse(dialog, WM_LBUTTONDOWN, 200, 50); // render 1
        pressed = PreviewMismatches(dialog, *photo, Flare{200, 50}, 1);
        Mouse(dialog, WM_MOUSEMOVE, 250, 120); // render 2
        Mouse(dialog, WM_MOUSEMOVE, 300, 0);   // render 3: the top row
        Mouse(dialog, WM_LBUTTONUP, 300, 0);
        Mouse(dialog, WM_MOUSEMOVE, 10, 10); // released: no render
        dragged = PreviewMismatches(dialog, *photo, Flare{300, 0}, 3);
        ClickButton(dialog, IDOK);
    });
    CHECK(result == 1);
    CHECK(pressed == 0);
    CHECK(dragged == 0);
    CHECK((refs.x == 468 && refs.y == 0)); // 300 / 0.64
}

TEST_CASE("sliders: page and drag requests read all three, brightness never below 3 on screen") {
    auto photo = Photo();
    References refs;
    std::wstring afterArrow, afterDim, afterSize;
    int unchanged = -1, dim = -1, large = -1;
    const int result = Run(photo.get(), refs, [&](HWND dialog) {
        // An arrow key moves the intensity slider but renders nothing.
        PressKey(GetDlgItem(dialog, IDC_LENS_FLARE_INTENSITY), VK_RIGHT);
        afterArrow = Values(dialog);
        unchanged = PreviewMismatches(dialog, *photo, Flare{}, 0);
        DragSlider(dialog, IDC_LENS_FLARE_BRIGHTNESS, 1); // render 1, with 3 and intensity 31
        afterDim = Values(dialog);
        dim = PreviewMismatches(dialog, *photo, Flare{100, 100, 100, 3, 120, 31}, 1);
        DragSlider(dialog, IDC_LENS_FLARE_SIZE, 250); // render 2: 160 preview pixels
        afterSize = Values(dialog);
        large = PreviewMismatches(dialog, *photo, Flare{100, 100, 250, 3, 120, 31}, 2);
        ClickButton(dialog, IDOK);
    });
    CHECK(result == 1);
    CHECK((afterArrow == L"100,25,30" && unchanged == 0));
    CHECK((afterDim == L"100,3,31" && dim == 0));
    CHECK((afterSize == L"250,3,31" && large == 0));
    // OK reads the sliders again, without the floor.
    CHECK(refs.Ints() == std::vector<int>{156, 156, 250, 0, 1, 120, 31});
}

TEST_CASE("a click on the swatch opens the colour box; its colour gives the hue, not the colour") {
    auto photo = Photo();
    for (bool confirm : {true, false}) {
        CAPTURE(confirm);
        References refs;
        HWND colorBox = nullptr;
        int swatch = -1, redrawn = -1;
        unsigned long picked = 0;
        const int result = Run(photo.get(), refs, [&](HWND dialog) {
            // Not waited for: the colour box runs its own modal loop inside the click.
            SendNotifyMessageW(Child(dialog, L"ColorBox"), WM_LBUTTONDOWN, MK_LBUTTON,
                               MAKELPARAM(5, 5));
            for (int i = 0; i < 500 && colorBox == nullptr; ++i, Sleep(10)) {
                colorBox = FindWindowW(L"#32770", L"Color Box");
            }
            if (colorBox == nullptr) {
                return;
            }
            HWND matrix = Child(colorBox, L"ColorMatrix");
            SendMessageW(matrix, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 40));
            SendMessageW(matrix, WM_LBUTTONUP, 0, MAKELPARAM(200, 40));
            DragSlider(colorBox, IDC_COLOR_HUE_SLIDER, 100); // hue 260
            picked = static_cast<unsigned long>(
                GetDlgItemInt(colorBox, IDC_COLOR_RED_EDIT, nullptr, FALSE) |
                GetDlgItemInt(colorBox, IDC_COLOR_GREEN_EDIT, nullptr, FALSE) << 8 |
                GetDlgItemInt(colorBox, IDC_COLOR_BLUE_EDIT, nullptr, FALSE) << 16);
            ClickButton(colorBox, confirm ? IDOK : IDCANCEL);
            for (int i = 0; i < 500 && IsWindow(colorBox); ++i) {
                Sleep(10);
            }
            Orvanel::Color::HSBColor hsb{0, 0, 0};
            unsigned long now = confirm ? picked : 0x0000FF00;
            Orvanel::Color::ConvertRGBToHSB(hsb, now);
            swatch = SwatchMismatches(dialog, now);
            Flare flare;
            flare.hue = hsb.hue;
            redrawn = PreviewMismatches(dialog, *photo, flare, 1); // a render after the box
            ClickButton(dialog, IDOK);
        });
        REQUIRE(colorBox != nullptr);
        CHECK(result == 1);
        CHECK(swatch == 0);
        CHECK(redrawn == 0);
        Orvanel::Color::HSBColor hsb{0, 0, 0};
        unsigned long chosen = confirm ? picked : 0x0000FF00;
        Orvanel::Color::ConvertRGBToHSB(hsb, chosen);
        CHECK(refs.hue == hsb.hue);
        CHECK((!confirm || refs.hue != 120));
        CHECK(refs.color == 0x0000FF00);
    }
}

TEST_CASE("Cancel and a close leave the nine references; a bitmap without pixels shows nothing") {
    auto photo = Photo();
    for (bool viaCancel : {true, false}) {
        References refs;
        const int result = Run(photo.get(), refs, [&](HWND dialog) {
            Mouse(dialog, WM_LBUTTONDOWN, 10, 10);
            DragSlider(dialog, IDC_LENS_FLARE_SIZE, 20);
            PostMessageW(dialog, viaCancel ? WM_COMMAND : WM_SYSCOMMAND,
                         viaCancel ? IDCANCEL : SC_CLOSE, 0);
        });
        CHECK(result == 0);
        CHECK((refs.Ints() == References().Ints() && refs.color == 0x0000FF00));
    }
    COrvanelBitmap empty;
    for (COrvanelBitmap* bitmap : {&empty, static_cast<COrvanelBitmap*>(nullptr)}) {
        References refs;
        CHECK(Run(
                  bitmap, refs, [](HWND) {}, false) == 0);
        CHECK(refs.Ints() == References().Ints());
    }
}
