// ShowColorBox driven as a user would: what the box shows as it opens, picks on the matrix by
// click, drag and notification, the hue slider, what reaches the caller's colour, and the
// matrix and swatch as the screen shows them.
#include "color/ColorFill.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <cwchar>
#include <string>

using namespace QuilletTest;

namespace {

// The six value boxes as "h,s,l,r,g,b", then the hexadecimal box in brackets.
std::wstring Values(HWND dialog) {
    return Texts(dialog, {IDC_COLOR_HUE_EDIT, IDC_COLOR_SATURATION_EDIT, IDC_COLOR_BRIGHTNESS_EDIT,
                          IDC_COLOR_RED_EDIT, IDC_COLOR_GREEN_EDIT, IDC_COLOR_BLUE_EDIT}) +
           L"[" + ControlText(dialog, IDC_COLOR_HEX_EDIT) + L"]";
}

// The 258 x 258 matrix bitmap the dialog paints for a hue; rows run bottom-up.
COrvanelBitmap Matrix(int hue) {
    COrvanelBitmap bitmap(258, 258, 32);
    Orvanel::Color::FillColorMatrix(&bitmap, hue);
    return bitmap;
}

// The matrix window's client area is 258 x 258 (its edge takes a pixel all round): the matrix
// is shown at 252 x 252 at (3, 3) inside the margin, on black, the marker around the pixel
// picked (picture coordinates).
int MatrixMismatches(HWND dialog, int hue, int pickedX, int pickedY) {
    COrvanelBitmap matrix = Matrix(hue);
    const POINT marker{pickedX + 3, pickedY + 3};
    return PictureMismatches(
        Child(dialog, L"ColorMatrix"), Resampled(matrix, 252, 252), 3, 3,
        [](int, int) { return RGB(0, 0, 0); }, &marker);
}

int SwatchMismatches(HWND dialog, unsigned long color) {
    return ScreenMismatches(Child(dialog, L"ColorBox"), [&](int, int) { return color; });
}

} // namespace

TEST_CASE("the box as it opens shows the caller's colour; Cancel and a close keep it") {
    const struct {
        unsigned long color;
        const wchar_t* values;
        LRESULT slider;
        bool viaCancel; // over a host window; else the caption's close, without one
    } cases[] = {
        {0x000000FF, L"0,100,100,255,0,0[#ff 0 0]", 360, true},
        {0x00000000, L"0,0,0,0,0,0[# 0 0 0]", 360, false},
        {0x00030201, L"210,66,1,1,2,3[# 1 2 3]", 150, true},
    };
    CHostWindow host;
    for (const auto& c : cases) {
        CAPTURE(c.color);
        unsigned long color = c.color;
        const int result = RunDialog(
            [&] { return ShowColorBox(c.viaCancel ? HWND(host) : nullptr, color); },
            [&](HWND dialog) {
                CHECK(Values(dialog) == c.values);
                CHECK(SliderRanges(dialog, {IDC_COLOR_HUE_SLIDER}) ==
                      std::vector<LRESULT>{0, 360, c.slider});
                // The slider keeps its width from the template.
                const std::string slider =
                    Placement(dialog, GetDlgItem(dialog, IDC_COLOR_HUE_SLIDER));
                CHECK((slider.rfind("340,40 ", 0) == 0 &&
                       slider.substr(slider.size() - 4) == "x283"));
                CHECK(Placement(dialog, Child(dialog, L"ColorMatrix")) == "8,50 260x260");
                CHECK(Placement(dialog, Child(dialog, L"ColorGradient")) == "297,50 30x260");
                CHECK(Placement(dialog, Child(dialog, L"ColorBox")) == "500,300 50x50");
                CHECK(SwatchMismatches(dialog, c.color) == 0);
                // Option buttons, typing and a pick change nothing for the caller.
                ClickButton(dialog, IDC_COLOR_BLUE_OPTION);
                SetDlgItemTextW(dialog, IDC_COLOR_RED_EDIT, L"12");
                Mouse(Child(dialog, L"ColorMatrix"), WM_LBUTTONDOWN, 100, 100);
                CancelOrClose(dialog, c.viaCancel);
            });
        CHECK(result == 1);
        CHECK(color == c.color);
    }
}

TEST_CASE("notified points, a click, a drag and a hue pick from the matrix; OK hands it back") {
    unsigned long color = 0x000000FF;                          // red: the matrix of hue 0
    const COrvanelBitmap red = Matrix(0), green = Matrix(120); // the slider at 240 is hue 120
    // A notified point is kept on the bitmap; y = 0 is the top row.
    const struct {
        short x, y;
        unsigned long want;
    } notes[] = {{10, 0, red.GetColorValue(10, 257)},
                 {300, 10, red.GetColorValue(257, 247)}, // beside the bitmap: its last column
                 {200, -40, red.GetColorValue(200, 257)}};
    const unsigned long picked = green.GetColorValue(57, 257 - 197);
    Orvanel::Color::HSBColor hsb{0, 100, 100};
    unsigned long converted = picked;
    Orvanel::Color::ConvertRGBToHSB(hsb, converted);
    // The saturation and brightness picked stay (near 22 and 23): not the matrix's black corner.
    CHECK((hsb.hue == 120 && hsb.saturation > 15 && hsb.brightness > 15));
    wchar_t afterHue[64];
    swprintf(afterHue, 64, L"%d,%d,%d,%lu,%lu,%lu[#%2lx%2lx%2lx]", hsb.hue, hsb.saturation,
             hsb.brightness, picked & 0xFF, (picked >> 8) & 0xFF, picked >> 16, picked & 0xFF,
             (picked >> 8) & 0xFF, picked >> 16);
    CHECK(RunDialog([&] { return ShowColorBox(nullptr, color); },
                    [&](HWND dialog) {
                        for (const auto& note : notes) {
                            INFO("notified at " << note.x << ", " << note.y);
                            SendMessageW(dialog, WM_NOTIFY, IDN_COLOR_BOX_PICK,
                                         MAKELPARAM(note.x, note.y));
                            // The value boxes follow at once.
                            CHECK(ControlText(dialog, IDC_COLOR_RED_EDIT) ==
                                  std::to_wstring(note.want & 0xFF));
                            CHECK(SwatchMismatches(dialog, note.want) == 0);
                        }
                        const std::wstring notified = Values(dialog);
                        HWND matrix = Child(dialog, L"ColorMatrix");
                        Mouse(matrix, WM_LBUTTONDOWN, 130, 130); // picture pixel (127, 127)
                        CHECK(MatrixMismatches(dialog, 0, 127, 127) == 0);
                        CHECK(SwatchMismatches(dialog, red.GetColorValue(127, 257 - 127)) == 0);
                        // Dragged past the top-right corner (the top row's last pixel), back in,
                        // released.
                        Mouse(matrix, WM_MOUSEMOVE, 257, 1);
                        Mouse(matrix, WM_MOUSEMOVE, 60, 200); // picture pixel (57, 197)
                        Mouse(matrix, WM_LBUTTONUP, 60, 200);
                        Mouse(matrix, WM_MOUSEMOVE, 20, 20); // released: no longer picks
                        CHECK(MatrixMismatches(dialog, 0, 57, 197) == 0);
                        CHECK(SwatchMismatches(dialog, red.GetColorValue(57, 257 - 197)) == 0);
                        // A pick leaves the boxes for the next hue change.
                        CHECK(Values(dialog) == notified);
                        // A new hue repaints the matrix; the colour is read again at the picked
                        // pixel.
                        DragSlider(dialog, IDC_COLOR_HUE_SLIDER, 240);
                        CHECK(Values(dialog) == afterHue);
                        CHECK(MatrixMismatches(dialog, 120, 57, 197) == 0);
                        CHECK(SwatchMismatches(dialog, picked) == 0);
                        ClickButton(dialog, IDOK);
                    }) == 1);
    CHECK(color == picked);
}
