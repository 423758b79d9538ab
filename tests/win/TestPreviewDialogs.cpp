// The dialogs that show pictures, driven as a user would through their exports: the motion blur
// and lens flare previews, the colour box's matrix and swatch and the print setup's page
// miniature on screen against what the filters, the colour model and the page layout (their
// objects linked into this program) make of the same input, the sliders, the pointer, and what
// reaches the caller's references after OK (the leak soak checks them after Cancel and a close).
#include "color/ColorFill.h"
#include "color/HSBColor.h"
#include "filter/LensFlareFilter.h"
#include "filter/MotionBlurFilter.h"
#include "filter/RuntimeRandom.h"
#include "host/MargeData.h"
#include "layout/PrintPreviewLayout.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

using namespace QuilletTest;

namespace {

// The motion blur preview's client area is 548 x 298 (its edge takes a pixel all round): a
// 274 x 100 picture fits at exactly twice its size, 548 x 200, centred at (0, 49), on the
// theme's background.
int BlurMismatches(HWND dialog, COrvanelBitmap& photo, double radius, double sigma, double angle) {
    COrvanelBitmap expected = Resampled(photo, 548, 200);
    Orvanel::Filter::CMotionBlurFilter().MotionBlur(&expected, radius, sigma, angle);
    return PictureMismatches(Child(dialog, L"PreviewWindow"), expected, 0, 49,
                             [](int, int) { return RGB(4, 0, 0); });
}

} // namespace

TEST_CASE("motion blur: page and drag requests re-render the preview, arrow keys and typing not") {
    constexpr int kRadius = IDC_MOTION_BLUR_RADIUS, kSigma = IDC_MOTION_BLUR_SIGMA,
                  kAngle = IDC_MOTION_BLUR_ANGLE;
    const auto edits = [](HWND dialog) {
        return Texts(dialog, {IDC_MOTION_BLUR_RADIUS_EDIT, IDC_MOTION_BLUR_SIGMA_EDIT,
                              IDC_MOTION_BLUR_ANGLE_EDIT});
    };
    COrvanelBitmap photo = Pattern(274, 100);
    double radius = 5.5, sigma = 6.5, angle = 7.5;
    LRESULT position = 0; // the radius slider's
    CHECK(RunDialog([&] { return ShowMotionBlur(nullptr, &photo, radius, sigma, angle); },
                    [&](HWND dialog) {
                        CHECK(SliderRanges(dialog, {kRadius, kSigma, kAngle}) ==
                              std::vector<LRESULT>{0, 100, 0, 0, 100, 0, 0, 360, 0});
                        CHECK(Placement(dialog, Child(dialog, L"PreviewWindow")) ==
                              "20,100 550x300");
                        // An arrow key moves the sigma slider to 1; the edit boxes and the preview
                        // stay as they opened (zeros, the unblurred scaled copy).
                        PressKey(GetDlgItem(dialog, kSigma), VK_RIGHT);
                        CHECK(edits(dialog) == L"0,0,0");
                        CHECK(BlurMismatches(dialog, photo, 0, 0, 0) == 0);
                        // Page Down on the radius slider: all three positions are read, the
                        // keyboard's too.
                        PressKey(GetDlgItem(dialog, kRadius), VK_NEXT);
                        position = SendDlgItemMessageW(dialog, kRadius, TBM_GETPOS, 0, 0);
                        CHECK(position > 0);
                        CHECK(edits(dialog) == std::to_wstring(position) + L",1,0");
                        CHECK(BlurMismatches(dialog, photo, double(position), 1, 0) == 0);
                        DragSlider(dialog, kAngle, 360);
                        CHECK(edits(dialog) == std::to_wstring(position) + L",1,360");
                        CHECK(BlurMismatches(dialog, photo, double(position), 1, 360) == 0);
                        // What is typed into the edit boxes reaches neither the preview nor the
                        // caller.
                        SetDlgItemTextW(dialog, IDC_MOTION_BLUR_RADIUS_EDIT, L"55");
                        SetDlgItemTextW(dialog, IDC_MOTION_BLUR_SIGMA_EDIT, L"9");
                        ClickButton(dialog, IDOK);
                    }) == 1);
    CHECK((radius == double(position) && sigma == 1.0 && angle == 360.0));
}

namespace {

// The colour box's six value boxes as "h,s,l,r,g,b", then the hexadecimal box in brackets.
std::wstring ColorValues(HWND dialog) {
    return Texts(dialog, {IDC_COLOR_HUE_EDIT, IDC_COLOR_SATURATION_EDIT, IDC_COLOR_BRIGHTNESS_EDIT,
                          IDC_COLOR_RED_EDIT, IDC_COLOR_GREEN_EDIT, IDC_COLOR_BLUE_EDIT}) +
           L"[" + ControlText(dialog, IDC_COLOR_HEX_EDIT) + L"]";
}

// Pixels of the colour box's swatch on screen that are not the colour.
int SwatchMismatches(HWND dialog, COLORREF color) {
    return ScreenMismatches(Child(dialog, L"ColorBox"), [=](int, int) { return color; });
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

} // namespace

TEST_CASE("colour box: the caller's colour, notified points, a click, a drag and a hue pick") {
    unsigned long color = 0x00030201;                               // hue 210
    const COrvanelBitmap opened = Matrix(210), green = Matrix(120); // the slider at 240: hue 120
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
                        CHECK(ColorValues(dialog) == L"210,66,1,1,2,3[# 1 2 3]");
                        CHECK(SliderRanges(dialog, {IDC_COLOR_HUE_SLIDER}) ==
                              std::vector<LRESULT>{0, 360, 150});
                        CHECK(SwatchMismatches(dialog, 0x00030201) == 0);
                        // The slider keeps its width from the template.
                        const std::string slider =
                            Placement(dialog, GetDlgItem(dialog, IDC_COLOR_HUE_SLIDER));
                        CHECK((slider.rfind("340,40 ", 0) == 0 &&
                               slider.substr(slider.size() - 4) == "x283"));
                        // A notified point is kept on the bitmap: beside it and above it (y = 0
                        // is the top row), its top-right pixel. The value boxes follow at once.
                        SendMessageW(dialog, WM_NOTIFY, IDN_COLOR_BOX_PICK, MAKELPARAM(300, -40));
                        const unsigned long notified = opened.GetColorValue(257, 257);
                        CHECK(ControlText(dialog, IDC_COLOR_RED_EDIT) ==
                              std::to_wstring(notified & 0xFF));
                        CHECK(SwatchMismatches(dialog, notified) == 0);
                        const std::wstring boxes = ColorValues(dialog);
                        HWND matrix = Child(dialog, L"ColorMatrix");
                        Mouse(matrix, WM_LBUTTONDOWN, 130, 130); // picture pixel (127, 127)
                        CHECK(MatrixMismatches(dialog, 210, 127, 127) == 0);
                        CHECK(SwatchMismatches(dialog, opened.GetColorValue(127, 257 - 127)) == 0);
                        // Dragged past the top-right corner (the top row's last pixel), back in,
                        // released.
                        Mouse(matrix, WM_MOUSEMOVE, 257, 1);
                        Mouse(matrix, WM_MOUSEMOVE, 60, 200); // picture pixel (57, 197)
                        Mouse(matrix, WM_LBUTTONUP, 60, 200);
                        Mouse(matrix, WM_MOUSEMOVE, 20, 20); // released: no longer picks
                        CHECK(MatrixMismatches(dialog, 210, 57, 197) == 0);
                        CHECK(SwatchMismatches(dialog, opened.GetColorValue(57, 257 - 197)) == 0);
                        // A pick leaves the boxes for the next hue change.
                        CHECK(ColorValues(dialog) == boxes);
                        // A new hue repaints the matrix; the colour is read again at the picked
                        // pixel.
                        DragSlider(dialog, IDC_COLOR_HUE_SLIDER, 240);
                        CHECK(ColorValues(dialog) == afterHue);
                        CHECK(MatrixMismatches(dialog, 120, 57, 197) == 0);
                        CHECK(SwatchMismatches(dialog, picked) == 0);
                        ClickButton(dialog, IDOK);
                    }) == 1);
    CHECK(color == picked);
}

namespace {

// The lens flare preview's client area is 498 x 198 (its edge takes a pixel all round),
// 492 x 192 inside the margin: a 600 x 300 picture is shown at 0.64, 384 x 192 at (57, 3).
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
int FlareMismatches(HWND dialog, COrvanelBitmap& photo, const Flare& f, int n) {
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

// "size,brightness,intensity" as the value boxes show them.
std::wstring FlareValues(HWND dialog) {
    return Texts(dialog, {IDC_LENS_FLARE_SIZE_EDIT, IDC_LENS_FLARE_BRIGHTNESS_EDIT,
                          IDC_LENS_FLARE_INTENSITY_EDIT});
}

// At (x, y) of the picture in the preview.
void Point(HWND dialog, UINT message, int x, int y) {
    Mouse(Child(dialog, L"PreviewWindow"), message, kLeft + x, kTop + y);
}

} // namespace

TEST_CASE("lens flare: the preview follows the sliders, the pointer and the colour box's colour") {
    COrvanelBitmap photo = Pattern(600, 300);
    unsigned long color = 0x0000FF00; // green: hue 120
    // x, y, size, reserved, brightness, hue, intensity: apart from anything handed back
    int refs[7] = {-1, -2, -3, -4, -5, -6, -7};
    // The swatch opens the colour box over the dialog; its colour, if confirmed, gives the hue.
    const auto pickColor = [&](HWND dialog, bool confirm) {
        // Not waited for: the colour box runs its own modal loop inside the click.
        SendNotifyMessageW(Child(dialog, L"ColorBox"), WM_LBUTTONDOWN, MK_LBUTTON,
                           MAKELPARAM(5, 5));
        HWND box = WaitForOwnedDialog(dialog);
        CHECK_MESSAGE(WindowText(box) == L"Color Box", "no colour box over the dialog");
        Mouse(Child(box, L"ColorMatrix"), WM_LBUTTONDOWN, 200, 40);
        DragSlider(box, IDC_COLOR_HUE_SLIDER, 100); // hue 260
        unsigned long color = GetDlgItemInt(box, IDC_COLOR_RED_EDIT, nullptr, FALSE) |
                              GetDlgItemInt(box, IDC_COLOR_GREEN_EDIT, nullptr, FALSE) << 8 |
                              GetDlgItemInt(box, IDC_COLOR_BLUE_EDIT, nullptr, FALSE) << 16;
        ClickButton(box, confirm ? IDOK : IDCANCEL);
        for (const DWORD start = GetTickCount(); IsWindow(box) && GetTickCount() - start < 10000;)
            Sleep(10);
        CHECK_MESSAGE(!IsWindow(box), "the colour box stays");
        Orvanel::Color::HSBColor hsb{0, 0, 0};
        Orvanel::Color::ConvertRGBToHSB(hsb, color);
        CHECK(hsb.hue > 200);
        return hsb.hue;
    };
    int hue = 0;
    Orvanel::Filter::SeedRuntimeRand(kSeed); // this thread runs the dialog and its renders
    CHECK(RunDialog(
              [&] {
                  return ShowLensFlareDialogBox(nullptr, &photo, color, refs[0], refs[1], refs[2],
                                                refs[3], refs[4], refs[5], refs[6]);
              },
              [&](HWND dialog) {
                  CHECK(FlareValues(dialog) == L"100,25,30");
                  CHECK(SliderRanges(dialog, {IDC_LENS_FLARE_BRIGHTNESS, IDC_LENS_FLARE_INTENSITY,
                                              IDC_LENS_FLARE_SIZE}) ==
                        std::vector<LRESULT>{0, 100, 25, 0, 100, 30, 0, 300, 100});
                  // An arrow key moves the intensity slider but renders nothing: the preview is
                  // still the one it opened with.
                  PressKey(GetDlgItem(dialog, IDC_LENS_FLARE_INTENSITY), VK_RIGHT);
                  CHECK(FlareValues(dialog) == L"100,25,30");
                  CHECK(FlareMismatches(dialog, photo, Flare{}, 0) == 0);
                  // A drag reads all three sliders; brightness is never below 3 on screen.
                  DragSlider(dialog, IDC_LENS_FLARE_BRIGHTNESS, 1); // render 1
                  CHECK(FlareValues(dialog) == L"100,3,31");
                  CHECK(FlareMismatches(dialog, photo, Flare{100, 100, 100, 3, 120, 31}, 1) == 0);
                  DragSlider(dialog, IDC_LENS_FLARE_SIZE, 250); // render 2: 160 preview pixels
                  CHECK(FlareValues(dialog) == L"250,3,31");
                  CHECK(FlareMismatches(dialog, photo, Flare{100, 100, 250, 3, 120, 31}, 2) == 0);
                  Point(dialog, WM_LBUTTONDOWN, 200, 50); // render 3
                  CHECK(FlareMismatches(dialog, photo, Flare{200, 50, 250, 3, 120, 31}, 3) == 0);
                  Point(dialog, WM_MOUSEMOVE, 250, 120); // render 4
                  Point(dialog, WM_MOUSEMOVE, 300, 0);   // render 5: the top row
                  Point(dialog, WM_LBUTTONUP, 300, 0);
                  Point(dialog, WM_MOUSEMOVE, 10, 10); // released: no render
                  CHECK(FlareMismatches(dialog, photo, Flare{300, 0, 250, 3, 120, 31}, 5) == 0);
                  // Each colour box renders once it closes: cancelled, the hue stays.
                  pickColor(dialog, false); // render 6
                  CHECK(FlareMismatches(dialog, photo, Flare{300, 0, 250, 3, 120, 31}, 6) == 0);
                  hue = pickColor(dialog, true); // render 7
                  CHECK(FlareMismatches(dialog, photo, Flare{300, 0, 250, 3, hue, 31}, 7) == 0);
                  ClickButton(dialog, IDOK);
              }) == 1);
    // OK reads the sliders again, without the floor; 300 preview pixels at 0.64 are 468. The
    // colour itself is not handed back.
    CHECK(std::vector<int>(refs, refs + 7) == std::vector<int>{468, 0, 250, 0, 1, hue, 31});
    CHECK(color == 0x0000FF00);
}

// The print setup dialog against the session's A4 printer: the margin edits, the position buttons
// and the quarter turn of the host's bitmap, what the miniature shows and what the host's layout
// record holds. The page arithmetic itself is pinned by the native layout tests; here it only
// says what the screen must show.

namespace {

using namespace Orvanel::Layout;

constexpr COLORREF kSurround = RGB(161, 157, 157), kPage = RGB(255, 255, 255);

// The paper of the session's queue, A4 portrait, in millimetres as wine reports it.
constexpr int kPaperWidth = 209, kPaperHeight = 297;

// Miniature pixels on screen that differ from the page: the surround, the white sheet (in the
// miniature's 256 x 256 client area) and the picture resampled to fit the area that the margins
// leave free, in its top-left corner. The margins are the texts the dialog wrote, read back.
int MiniatureMismatches(HWND dialog, COrvanelBitmap& picture) {
    static const PixelRect page = PageRectangle(256, 256, kPaperWidth, kPaperHeight, 1);
    const auto px = [&](int id, int extent, int mm) {
        return TypedMarginPixels(extent, float(_wtof(ControlText(dialog, id).c_str())), mm);
    };
    const int w = page.right - page.left, h = page.bottom - page.top;
    const PixelRect area = FreeArea(
        page, px(IDC_PRINT_MARGIN_LEFT, w, kPaperWidth), px(IDC_PRINT_MARGIN_TOP, h, kPaperHeight),
        px(IDC_PRINT_MARGIN_RIGHT, w, kPaperWidth), px(IDC_PRINT_MARGIN_BOTTOM, h, kPaperHeight));
    COrvanelBitmap copy;
    if (MiniatureAreaUsable(area)) {
        const float ratio =
            MiniatureRatio(picture.GetBitmapWidth(), picture.GetBitmapHeight(), area);
        copy = Resampled(picture, int(float(picture.GetBitmapWidth()) * ratio),
                         int(float(picture.GetBitmapHeight()) * ratio));
    }
    return PictureMismatches(
        Child(dialog, L"PreviewPrint"), copy, area.left, area.top, [](int x, int y) {
            const PixelRect& p = page;
            return x >= p.left && x < p.right && y >= p.top && y < p.bottom ? kPage : kSurround;
        });
}

int Run(CMargeData& layout, COrvanelBitmap& picture, const std::function<void(HWND)>& drive) {
    return RunDialog([&] { return ShowPrintPreview(nullptr, &layout, &picture); }, drive);
}

// A click on a radio button or the check box, answered before the next action.
void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

std::wstring Labels(HWND dialog) {
    return Texts(dialog,
                 {IDC_PRINT_POSITION_START, IDC_PRINT_POSITION_MIDDLE, IDC_PRINT_POSITION_END});
}

std::wstring MarginTexts(HWND dialog) {
    return Texts(dialog, {IDC_PRINT_MARGIN_TOP, IDC_PRINT_MARGIN_BOTTOM, IDC_PRINT_MARGIN_RIGHT,
                          IDC_PRINT_MARGIN_LEFT});
}

} // namespace

TEST_CASE("print setup: the page, the quarter turn, the positions, margin edits; opened turned") {
    COrvanelBitmap picture = Quarters(600, 300), original = Quarters(600, 300);
    // Position 7 matches no button: none is checked until the user picks one.
    CMargeData layout{0.4f, 0.4f, 0.4f, 1.0f, 5, false, 7};
    Run(layout, picture, [&](HWND dialog) {
        CHECK(Placement(dialog, Child(dialog, L"PreviewPrint")) == "20,45 260x260");
        CHECK(Labels(dialog) == L"Haut,Milieu,Bas"); // a wide picture moves up and down
        CHECK(MarginTexts(dialog) == L"0.400000,0.400000,0.400000,1.000000");
        CHECK(MiniatureMismatches(dialog, picture) == 0);
        Click(dialog, IDC_PRINT_ROTATE);
        CHECK(Labels(dialog) == L"Gauche,Milieu,Droite");
        CHECK(MarginTexts(dialog) == L"0.400000,0.400000,0.400000,0.400000");
        CHECK(layout.horizontalPlacement == 1);
        // Counter-clockwise on screen: the top row of the picture becomes its left column.
        bool turned = picture.GetBitmapWidth() == 300 && picture.GetBitmapHeight() == 600;
        for (int row = 0; turned && row < 300; row += 7)
            for (int column = 0; column < 600; column += 5)
                turned = turned && picture.GetColorValue(row, column) ==
                                       original.GetColorValue(column, 299 - row);
        CHECK(turned);
        CHECK(MiniatureMismatches(dialog, picture) == 0);
        // Turned back, with every margin at 0.4: only the picture can make the page repaint.
        Click(dialog, IDC_PRINT_ROTATE);
        CHECK(Labels(dialog) == L"Haut,Milieu,Bas");
        CHECK(std::memcmp(picture.GetPtBitmap(), original.GetPtBitmap(), 600 * 300 * 4) == 0);
        CHECK(MiniatureMismatches(dialog, picture) == 0);
        // The positions set the top margin: the 80 rows of the picture in the middle of the
        // 236-row sheet (297 mm) leave 98.16 mm above them; at the end 0.4 cm below.
        Click(dialog, IDC_PRINT_POSITION_MIDDLE);
        CHECK(ControlText(dialog, IDC_PRINT_MARGIN_TOP) == L"9.816102");
        Click(dialog, IDC_PRINT_POSITION_END);
        CHECK(ControlText(dialog, IDC_PRINT_MARGIN_TOP) == L"19.232203");
        CHECK(MiniatureMismatches(dialog, picture) == 0);
        Click(dialog, IDC_PRINT_POSITION_START);
        CHECK(ControlText(dialog, IDC_PRINT_MARGIN_TOP) == L"0.400000");
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_TOP, L"2,5"); // not a number past "2"
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_LEFT, L"-1");
        // A text far longer than the dialog's buffer is cut at the buffer's size: the margin
        // reads its first 49 characters and nothing beside the buffer is written.
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_BOTTOM,
                        (L"1.5" + std::wstring(300, L'0') + L"9").c_str());
        CHECK(MiniatureMismatches(dialog, picture) == 0);
        // Right margins that leave no room, wider than the paper and beyond float: the page
        // without the picture (an area turned inside out there would still start on the page).
        for (const wchar_t* noRoom : {L"30", L"1e39"}) {
            SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, noRoom);
            CHECK(MiniatureMismatches(dialog, picture) == 0);
        }
        // The record follows each edit.
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"abc");
        CHECK((layout.marginTop == 2.0f && layout.marginLeft == -1.0f));
        CHECK((layout.marginRight == 0.0f && layout.marginBottom == 1.5f));
        CHECK((layout.position == 0 && layout.horizontalPlacement == 0 && !layout.rotate));
        Click(dialog, IDC_PRINT_ROTATE);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    // Closed while turned: the bitmap stays turned and the record says so.
    CHECK((layout.rotate && layout.horizontalPlacement == 1 && picture.GetBitmapWidth() == 300));

    // Opened with the turn already chosen, a wide picture is turned as the dialog opens; like a
    // tall picture without a turn, it then moves left and right.
    for (bool turn : {true, false}) {
        CAPTURE(turn);
        COrvanelBitmap opened = turn ? Quarters(600, 300) : Quarters(300, 600);
        CMargeData chosen{0.4f, 0.4f, 0.4f, 0.4f, 5, turn, 2};
        CHECK(Run(chosen, opened, [&](HWND dialog) {
                  CHECK(IsDlgButtonChecked(dialog, IDC_PRINT_ROTATE) == UINT(turn));
                  CHECK(IsDlgButtonChecked(dialog, IDC_PRINT_POSITION_END) == BST_CHECKED);
                  CHECK(Labels(dialog) == L"Gauche,Milieu,Droite");
                  ClickButton(dialog, IDCANCEL);
              }) == 0);
        CHECK((opened.GetBitmapWidth() == 300 && chosen.horizontalPlacement == 1));
    }
}
