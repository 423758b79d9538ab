// ShowColorBox driven as a user would: what the box shows as it opens, picks on the matrix by
// click and drag, the hue slider, what reaches the caller's colour, and the matrix and swatch
// as the screen shows them.
#include "color/ColorFill.h"
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
#include <string>
#include <vector>

using namespace QuilletTest;
using Orvanel::Color::FillColorMatrix;

namespace {

const int kValueBoxes[] = {IDC_COLOR_HUE_EDIT, IDC_COLOR_SATURATION_EDIT, IDC_COLOR_BRIGHTNESS_EDIT,
                           IDC_COLOR_RED_EDIT, IDC_COLOR_GREEN_EDIT,      IDC_COLOR_BLUE_EDIT};

// The six value boxes as "h,s,l,r,g,b", then the hexadecimal box in brackets.
std::wstring Values(HWND dialog) {
    std::wstring values;
    for (int box : kValueBoxes) {
        values += (values.empty() ? L"" : L",") + ControlText(dialog, box);
    }
    return values + L"[" + ControlText(dialog, IDC_COLOR_HEX_EDIT) + L"]";
}

HWND Child(HWND dialog, const wchar_t* name) {
    return FindWindowExW(dialog, nullptr, name, nullptr);
}

// The matrix bitmap as the dialog paints it for a hue: read with the rows bottom-up.
struct Matrix {
    COrvanelBitmap bitmap{258, 258, 32};
    explicit Matrix(int hue) { FillColorMatrix(&bitmap, hue); }
    // The colour under a point picked on the picture as shown (origin top-left).
    unsigned long At(int x, int y) const { return bitmap.GetColorValue(x, 257 - y); }
};

// Pixels of the matrix window on screen that differ from the matrix of the hue, fitted inside
// the margin of the window's client area (260 less the edge, 258, less the margin: 252 at
// (3, 3)), with the marker's outline around the picked point.
int MatrixMismatches(HWND dialog, int hue, int pickedX, int pickedY) {
    Matrix matrix(hue);
    COrvanelBitmap fitted(252, 252, 32), *target = &fitted;
    CInterpolationBicubic().Execute(&matrix.bitmap, target);
    const int left = pickedX, top = pickedY, right = pickedX + 6, bottom = pickedY + 6;
    return ScreenMismatches(Child(dialog, L"ColorMatrix"), [&](int x, int y) {
        const bool outline = ((x == left || x == right) && y >= top && y <= bottom) ||
                             ((y == top || y == bottom) && x >= left && x <= right);
        const bool inside = x >= 3 && x < 255 && y >= 3 && y < 255;
        return outline || !inside ? RGB(0, 0, 0) : fitted.GetColorValue(x - 3, 251 - (y - 3));
    });
}

// Pixels of the swatch on screen that are not the colour.
int SwatchMismatches(HWND dialog, unsigned long color) {
    return ScreenMismatches(Child(dialog, L"ColorBox"), [&](int, int) { return color; });
}

// A mouse message to the matrix window, in its client coordinates, from the driving thread.
void Mouse(HWND dialog, UINT message, int x, int y) {
    SendMessageW(Child(dialog, L"ColorMatrix"), message, MK_LBUTTON, MAKELPARAM(x, y));
}

// Shows the box over `owner` with the colour, lets `drive` act as the user would; returns
// ShowColorBox's answer.
int Run(unsigned long& color, const std::function<void(HWND)>& drive, HWND owner = nullptr) {
    CRealMouseMuted muted;
    CModalDriver driver(drive);
    const int result = ShowColorBox(owner, color);
    driver.Join();
    CHECK(driver.DialogFound());
    CHECK_FALSE(driver.WatchdogFired());
    return result;
}

// "x,y wxh" of a window in the dialog's client coordinates, its edges included.
std::string Placement(HWND dialog, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

} // namespace

TEST_CASE("the box as it opens shows the caller's colour; Cancel and a close keep it") {
    const struct {
        unsigned long color;
        const wchar_t* values;
        LRESULT slider;
    } cases[] = {
        {0x000000FF, L"0,100,100,255,0,0[#ff 0 0]", 360},
        {0x00000000, L"0,0,0,0,0,0[# 0 0 0]", 360},
        {0x00030201, L"210,66,1,1,2,3[# 1 2 3]", 150},
    };
    HWND owner = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    for (const auto& c : cases) {
        for (int way = 0; way < 2; ++way) { // Cancel over an owner, the caption's close without
            CAPTURE(c.color);
            CAPTURE(way);
            std::wstring values;
            std::vector<std::string> placements;
            std::vector<LRESULT> slider; // minimum, maximum, position
            int swatch = -1;
            unsigned long color = c.color;
            const auto drive = [&](HWND dialog) {
                values = Values(dialog);
                HWND hue = GetDlgItem(dialog, IDC_COLOR_HUE_SLIDER);
                for (UINT query : {TBM_GETRANGEMIN, TBM_GETRANGEMAX, TBM_GETPOS}) {
                    slider.push_back(SendMessageW(hue, query, 0, 0));
                }
                placements.push_back(Placement(dialog, hue));
                for (const wchar_t* name : {L"ColorMatrix", L"ColorGradient", L"ColorBox"}) {
                    placements.push_back(Placement(dialog, Child(dialog, name)));
                }
                swatch = SwatchMismatches(dialog, c.color);
                // Option buttons, typing and a pick change nothing for the caller before OK.
                ClickButton(dialog, IDC_COLOR_BLUE_OPTION);
                SetDlgItemTextW(dialog, IDC_COLOR_RED_EDIT, L"12");
                Mouse(dialog, WM_LBUTTONDOWN, 100, 100);
                PostMessageW(dialog, way == 0 ? WM_COMMAND : WM_SYSCOMMAND,
                             way == 0 ? IDCANCEL : SC_CLOSE, 0);
            };
            CHECK(Run(color, drive, way == 0 ? owner : nullptr) == 1);
            CHECK(color == c.color);
            CHECK(values == c.values);
            CHECK(slider == std::vector<LRESULT>{0, 360, c.slider});
            // The slider keeps its width from the template.
            CHECK(placements.size() == 4);
            CHECK(placements[0].rfind("340,40 ", 0) == 0);
            CHECK(placements[0].substr(placements[0].size() - 4) == "x283");
            CHECK(placements[1] == "8,50 260x260");
            CHECK(placements[2] == "297,50 30x260");
            CHECK(placements[3] == "500,300 50x50");
            CHECK(swatch == 0);
        }
    }
    DestroyWindow(owner);
}

TEST_CASE("a click, a drag and a hue pick the matrix pixel under the pointer; OK hands it back") {
    unsigned long color = 0x000000FF; // red: the matrix of hue 0
    const Matrix red(0), green(120);  // the slider at 240 is hue 120
    std::wstring opened, afterPick, afterHue;
    int clickMatrix = -1, clickSwatch = -1, dragMatrix = -1, dragSwatch = -1, hueMatrix = -1,
        hueSwatch = -1;
    const int result = Run(color, [&](HWND dialog) {
        opened = Values(dialog);
        Mouse(dialog, WM_LBUTTONDOWN, 130, 130); // picture pixel (127, 127)
        clickMatrix = MatrixMismatches(dialog, 0, 127, 127);
        clickSwatch = SwatchMismatches(dialog, red.At(127, 127));
        // Dragged past the top-right corner (the top row's last pixel), back in, released.
        Mouse(dialog, WM_MOUSEMOVE, 257, 1);
        Mouse(dialog, WM_MOUSEMOVE, 60, 200); // picture pixel (57, 197)
        Mouse(dialog, WM_LBUTTONUP, 60, 200);
        Mouse(dialog, WM_MOUSEMOVE, 20, 20); // released: no longer picks
        dragMatrix = MatrixMismatches(dialog, 0, 57, 197);
        dragSwatch = SwatchMismatches(dialog, red.At(57, 197));
        afterPick = Values(dialog); // a pick leaves the value boxes for the next hue change
        // A new hue repaints the matrix; the colour is read again at the picked pixel.
        DragSlider(dialog, IDC_COLOR_HUE_SLIDER, 240);
        afterHue = Values(dialog);
        hueMatrix = MatrixMismatches(dialog, 120, 57, 197);
        hueSwatch = SwatchMismatches(dialog, green.At(57, 197));
        ClickButton(dialog, IDOK);
    });
    CHECK(result == 1);
    CHECK((clickMatrix == 0 && clickSwatch == 0));
    CHECK((dragMatrix == 0 && dragSwatch == 0 && afterPick == opened));
    CHECK((hueMatrix == 0 && hueSwatch == 0));
    const unsigned long picked = green.bitmap.GetColorValue(57, 257 - 197); // rows run bottom-up
    CHECK(color == picked);
    Orvanel::Color::HSBColor hsb{0, 100, 100};
    Orvanel::Color::ConvertRGBToHSB(hsb, color);
    wchar_t expected[64];
    swprintf(expected, 64, L"%d,%d,%d,%lu,%lu,%lu[#%2lx%2lx%2lx]", hsb.hue, hsb.saturation,
             hsb.brightness, picked & 0xFF, (picked >> 8) & 0xFF, picked >> 16, picked & 0xFF,
             (picked >> 8) & 0xFF, picked >> 16);
    CHECK(afterHue == expected);
    // The saturation and brightness picked stay (near 22 and 23): not the matrix's black corner.
    CHECK((hsb.hue == 120 && hsb.saturation > 15 && hsb.brightness > 15));
}

TEST_CASE("a pick notification reads the matrix at its point, kept on the bitmap") {
    const Matrix red(0);
    const struct {
        short x, y;
        unsigned long want;
    } notes[] = {
        {10, 0, red.bitmap.GetColorValue(10, 257)}, // y = 0 is the top row
        {10, 10, red.bitmap.GetColorValue(10, 247)},
        {300, 10, red.bitmap.GetColorValue(257, 247)}, // beside the bitmap: its last column
        {200, -40, red.bitmap.GetColorValue(200, 257)},
    };
    for (const auto& note : notes) {
        CAPTURE(note.x);
        CAPTURE(note.y);
        unsigned long color = 0x000000FF;
        std::wstring shown;
        int swatch = -1;
        Run(color, [&](HWND dialog) {
            SendMessageW(dialog, WM_NOTIFY, IDN_COLOR_BOX_PICK, MAKELPARAM(note.x, note.y));
            shown = ControlText(dialog, IDC_COLOR_RED_EDIT);
            swatch = SwatchMismatches(dialog, note.want);
            ClickButton(dialog, IDOK);
        });
        CHECK(color == note.want);
        CHECK(shown == std::to_wstring(note.want & 0xFF)); // the value boxes follow at once
        CHECK(swatch == 0);
    }
}
