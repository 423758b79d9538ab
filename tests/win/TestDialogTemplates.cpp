// Every dialog template compiled into Quillet.dll, control by control, against the table the
// dialog was designed from: style, size, font, and each control's id, class, text, style,
// extended style and placement. The resource script is not what ships; the compiled bytes are.
#include "resources/resource.h"
#include "support/DialogTemplateReader.h"

#include <doctest/doctest.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

using QuilletTest::DialogTemplate;
using QuilletTest::DialogTemplateItem;

namespace {

struct Control {
    int id;
    const wchar_t* className; // lower case, as the reader reports it
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
};

struct Frame {
    int resource;
    const wchar_t* title;
    DWORD style;
    bool positioned; // whether the design fixes the position (else it is centred at run time)
    short x, y, cx, cy;
    const wchar_t* typeface;
    WORD pointSize;
};

struct Dialog {
    Frame frame;
    std::vector<Control> controls;
};

constexpr DWORD kChildVisible = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLeftText = kChildVisible | SS_LEFT;
constexpr DWORD kTrackbar = kChildVisible | WS_TABSTOP | TBS_BOTH | TBS_NOTICKS | TBS_HORZ;
constexpr DWORD kValueBox = kChildVisible | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kHueSlider = kChildVisible | WS_TABSTOP | TBS_VERT | TBS_LEFT | TBS_NOTICKS;
constexpr DWORD kOption = kChildVisible | BS_AUTORADIOBUTTON;
constexpr DWORD kCheckBox = kChildVisible | WS_TABSTOP | BS_AUTOCHECKBOX;

const Dialog kDialogs[] = {
    {{IDD_ABOUT, L"About ...", 0x10C808C0, true, 22, 17, 230, 75, L"System", 8},
     {
         {IDC_ABOUT_OK, L"button", L"OK", 0x50010000, WS_EX_STATICEDGE, 82, 60, 68, 14},
         {IDC_ABOUT_LINE1, L"static", L"Static", 0x50020000, 0, 48, 10, 167, 10},
         {IDC_ABOUT_LINE2, L"static", L"Static", 0x50020000, 0, 48, 22, 167, 10},
         {IDC_ABOUT_LINE3, L"static", L"Static", 0x50020000, 0, 48, 34, 167, 10},
         {IDC_ABOUT_LINE4, L"static", L"Static", 0x50020000, 0, 49, 46, 167, 10},
     }},
    {{IDD_MOTION_BLUR, L"Motion Blur Pr\u00E9visualisation", 0x80C808C0, false, 0, 0, 390, 278,
      L"MS Sans Serif", 8},
     {
         {IDOK, L"button", L"OK", kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 105, 256, 50,
          14},
         {IDCANCEL, L"button", L"Annuler", kChildVisible | WS_TABSTOP | BS_PUSHBUTTON, 0, 206, 256,
          50, 14},
         {-1, L"static", L"Preview", kLeftText | WS_GROUP, 0, 7, 8, 26, 8},
         {IDC_MOTION_BLUR_RADIUS, L"msctls_trackbar32", L"Slider1", kTrackbar, 0, 4, 30, 113, 15},
         {-1, L"static", L"Radius :", kLeftText, 0, 9, 20, 27, 8},
         {IDC_MOTION_BLUR_RADIUS_EDIT, L"edit", L"", kValueBox, 0, 52, 19, 64, 12},
         {IDC_MOTION_BLUR_SIGMA, L"msctls_trackbar32", L"Slider1", kTrackbar, 0, 128, 29, 113, 15},
         {-1, L"static", L"Sigma :", kLeftText, 0, 134, 18, 24, 8},
         {IDC_MOTION_BLUR_SIGMA_EDIT, L"edit", L"", kValueBox, 0, 176, 15, 66, 14},
         {IDC_MOTION_BLUR_ANGLE, L"msctls_trackbar32", L"Slider1", kTrackbar, 0, 266, 31, 113, 15},
         {-1, L"static", L"Angle :", kLeftText, 0, 269, 19, 23, 8},
         {IDC_MOTION_BLUR_ANGLE_EDIT, L"edit", L"", kValueBox, 0, 311, 16, 66, 14},
     }},
    {{IDD_LENS_FLARE, L"Lens Flare", 0x80C808C0, false, 0, 0, 349, 274, L"MS Sans Serif", 8},
     {
         {IDOK, L"button", L"OK", kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 103, 260, 50,
          14},
         {IDCANCEL, L"button", L"Annuler", kChildVisible | WS_TABSTOP | BS_PUSHBUTTON, 0, 176, 260,
          50, 14},
         {-1, L"static", L"Preview", kLeftText | WS_GROUP, 0, 7, 8, 218, 10},
         {IDC_LENS_FLARE_BRIGHTNESS, L"msctls_trackbar32", L"Slider1", kTrackbar, 0, 3, 30, 340,
          15},
         {-1, L"static", L"Brightness :", kLeftText | WS_GROUP, 0, 7, 20, 62, 9},
         {IDC_LENS_FLARE_BRIGHTNESS_EDIT, L"edit", L"", kValueBox, 0, 92, 19, 64, 12},
         {IDC_LENS_FLARE_INTENSITY, L"msctls_trackbar32", L"Slider1", kTrackbar, 0, 3, 63, 340, 15},
         {-1, L"static", L"Color Intensity  :", kLeftText | WS_GROUP, 0, 7, 49, 80, 11},
         {IDC_LENS_FLARE_INTENSITY_EDIT, L"edit", L"", kValueBox, 0, 92, 48, 66, 14},
         {-1, L"static", L"Size :", kLeftText | WS_GROUP, 0, 8, 86, 18, 8},
         {IDC_LENS_FLARE_SIZE_EDIT, L"edit", L"", kValueBox, 0, 92, 82, 64, 14},
         {IDC_LENS_FLARE_SIZE, L"msctls_trackbar32", L"", kTrackbar, 0, 3, 99, 340, 15},
         {-1, L"static", L"Choose Color :", kLeftText | WS_GROUP, 0, 257, 51, 47, 8},
     }},
    {{IDD_COLOR_BOX, L"Color Box", 0x80C808C0, false, 0, 0, 398, 247, L"MS Sans Serif", 8},
     {
         {IDOK, L"button", L"OK", kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 123, 226, 50,
          14},
         {IDCANCEL, L"button", L"Annuler", kChildVisible | WS_TABSTOP | BS_PUSHBUTTON, 0, 193, 226,
          50, 14},
         {IDC_COLOR_HUE_SLIDER, L"msctls_trackbar32", L"Slider2", kHueSlider, 0, 245, 33, 19, 155},
         {IDC_COLOR_HUE_OPTION, L"button", L"T", kOption, 0, 295, 33, 40, 13},
         {IDC_COLOR_HUE_EDIT, L"edit", L"", kValueBox, 0, 337, 33, 44, 15},
         {IDC_COLOR_SATURATION_OPTION, L"button", L"S", kOption, 0, 295, 51, 40, 14},
         {IDC_COLOR_SATURATION_EDIT, L"edit", L"", kValueBox, 0, 337, 50, 44, 16},
         {IDC_COLOR_BRIGHTNESS_OPTION, L"button", L"L", kOption, 0, 295, 69, 40, 16},
         {IDC_COLOR_BRIGHTNESS_EDIT, L"edit", L"", kValueBox, 0, 337, 70, 44, 15},
         {IDC_COLOR_RED_OPTION, L"button", L"R", kOption, 0, 295, 108, 40, 11},
         {IDC_COLOR_RED_EDIT, L"edit", L"", kValueBox, 0, 337, 105, 44, 14},
         {IDC_COLOR_GREEN_OPTION, L"button", L"G", kOption, 0, 295, 124, 40, 13},
         {IDC_COLOR_GREEN_EDIT, L"edit", L"", kValueBox, 0, 337, 122, 44, 14},
         {IDC_COLOR_BLUE_OPTION, L"button", L"B", kOption, 0, 295, 140, 40, 15},
         {IDC_COLOR_BLUE_EDIT, L"edit", L"", kValueBox, 0, 337, 140, 44, 13},
         {-1, L"static", L"Color Select :", kLeftText | WS_GROUP, 0, 7, 10, 99, 14},
         {IDC_COLOR_HEX_EDIT, L"edit", L"", kValueBox, 0, 308, 164, 74, 12},
         {-1, L"static", L"#", kLeftText | WS_GROUP, 0, 297, 167, 8, 8},
     }},
    {{IDD_PRINT_PREVIEW, L"Propriété d'impression", 0x80C808C0, false, 0, 0, 398, 235,
      L"MS Sans Serif", 8},
     {
         {IDC_PRINT_POSITION_GROUP, L"button", L"Position de l'image dans la page :",
          kChildVisible | BS_GROUPBOX, 0, 204, 12, 178, 74},
         {IDC_PRINT_POSITION_START, L"button", L"Haut", kChildVisible | BS_AUTORADIOBUTTON, 0, 215,
          28, 159, 17},
         {IDC_PRINT_POSITION_MIDDLE, L"button", L"Milieu", kChildVisible | BS_AUTORADIOBUTTON, 0,
          215, 46, 159, 17},
         {IDC_PRINT_POSITION_END, L"button", L"Bas", kChildVisible | BS_AUTORADIOBUTTON, 0, 215, 64,
          159, 17},
         {IDC_PRINT_MARGIN_GROUP, L"button", L"Marge", kChildVisible | BS_GROUPBOX, 0, 204, 92, 178,
          96},
         {IDC_PRINT_MARGIN_TOP, L"edit", L"", kValueBox, 0, 262, 110, 51, 16},
         {IDC_PRINT_MARGIN_BOTTOM, L"edit", L"", kValueBox, 0, 262, 130, 51, 16},
         {IDC_PRINT_MARGIN_RIGHT, L"edit", L"", kValueBox, 0, 262, 150, 51, 16},
         {IDC_PRINT_MARGIN_LEFT, L"edit", L"", kValueBox, 0, 262, 170, 52, 16},
         {IDOK, L"button", L"Imprimer", kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 127, 214,
          50, 14},
         {IDCANCEL, L"button", L"Annuler", kChildVisible | WS_TABSTOP | BS_PUSHBUTTON, 0, 193, 214,
          50, 14},
         {IDC_PRINT_ROTATE, L"button", L"Roter l'image",
          kChildVisible | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 13, 8, 62, 11},
     }},
    {{IDD_PRINT_JOB, L"Annuler l'impression", 0x80C808C0, false, 0, 0, 186, 66, L"MS Sans Serif",
      8},
     {
         {IDCANCEL, L"button", L"Annuler", kChildVisible | WS_TABSTOP | BS_PUSHBUTTON, 0, 67, 45,
          50, 14},
         {IDC_PRINT_JOB_TEXT, L"static", L"Annuler l'impression", kLeftText, 0, 61, 22, 63, 12},
     }},
    {{IDD_OPENCL, L"OpenCL Device Selection", 0x80C800C8, false, 0, 0, 225, 122, L"MS Shell Dlg",
      8},
     {
         {IDOK, L"button", L"OK", kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 53, 101, 50,
          14},
         {IDCANCEL, L"button", L"Annuler", kChildVisible | WS_TABSTOP | BS_PUSHBUTTON, 0, 119, 101,
          50, 14},
         {IDC_OPENCL_DEVICE, L"combobox", L"",
          kChildVisible | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN, 0, 32, 51, 149, 30},
         {-1, L"static", L"Select OpenCL Device :", kLeftText | WS_GROUP, 0, 32, 36, 76, 8},
     }},
    {{IDD_ASSOCIATION, L"Association", 0x80C800C8, false, 0, 0, 191, 222, L"MS Shell Dlg", 8},
     {
         {IDOK, L"button", L"OK", 0x50010001, 0, 40, 201, 50, 14},
         {IDCANCEL, L"button", L"Annuler", 0x50010000, 0, 107, 201, 50, 14},
         {IDC_ASSOCIATE_BMP, L"button", L"BMP", kCheckBox, 0, 14, 11, 29, 10},
         {IDC_ASSOCIATE_PNM, L"button", L"PNM", kCheckBox, 0, 14, 26, 29, 10},
         {IDC_ASSOCIATE_PCX, L"button", L"PCX", kCheckBox, 0, 14, 40, 29, 10},
         {IDC_ASSOCIATE_JPEG, L"button", L"JPEG", kCheckBox, 0, 14, 54, 29, 10},
         {IDC_ASSOCIATE_JPEG2000, L"button", L"JPEG 2000", kCheckBox, 0, 14, 68, 59, 10},
         {IDC_ASSOCIATE_BPG, L"button", L"BPG", kCheckBox, 0, 14, 82, 29, 10},
         {IDC_ASSOCIATE_TIFF, L"button", L"TIFF", kCheckBox, 0, 14, 96, 29, 10},
         {IDC_ASSOCIATE_PNG, L"button", L"PNG", kCheckBox, 0, 14, 111, 29, 10},
         {IDC_ASSOCIATE_TGA, L"button", L"TGA", kCheckBox, 0, 14, 125, 29, 10},
         {IDC_ASSOCIATE_PHOTO_CD, L"button", L"Kodak Photo CD", kCheckBox, 0, 14, 139, 69, 10},
         {IDC_ASSOCIATE_CAMERA_RAW, L"button", L"Camera RAW", kCheckBox, 0, 14, 154, 62, 10},
         {IDC_ASSOCIATE_PHOTOSHOP, L"button", L"PhotoShop", kCheckBox, 0, 14, 168, 63, 10},
         {IDC_ASSOCIATE_GIF, L"button", L"GIF", kCheckBox, 0, 14, 182, 29, 10},
         {IDC_ASSOCIATE_MP4, L"button", L"MP4", kCheckBox, 0, 102, 11, 29, 10},
         {IDC_ASSOCIATE_MPEG, L"button", L"MPEG", kCheckBox, 0, 102, 26, 34, 10},
         {IDC_ASSOCIATE_MPEG2, L"button", L"MPEG 2", kCheckBox, 0, 102, 40, 40, 10},
         {IDC_ASSOCIATE_WINREC, L"button", L"WINREC", kCheckBox, 0, 102, 54, 43, 10},
         {IDC_ASSOCIATE_AVCHD, L"button", L"AVCHD", kCheckBox, 0, 102, 68, 39, 10},
         {IDC_ASSOCIATE_AVI, L"button", L"AVI", kCheckBox, 0, 102, 82, 27, 10},
         {IDC_ASSOCIATE_WMV, L"button", L"Windows Media Video", kCheckBox, 0, 102, 96, 85, 10},
         {IDC_ASSOCIATE_QUICKTIME, L"button", L"QuickTime", kCheckBox, 0, 102, 111, 48, 10},
         {IDC_ASSOCIATE_PPM, L"button", L"PPM", kCheckBox, 0, 102, 139, 29, 10},
         {IDC_ASSOCIATE_PGX, L"button", L"PGX", kCheckBox, 0, 102, 154, 29, 10},
         {IDC_ASSOCIATE_MNG, L"button", L"MNG", kCheckBox, 0, 102, 168, 31, 10},
         {IDC_ASSOCIATE_JPC, L"button", L"JPC", kCheckBox, 0, 102, 182, 28, 10},
     }},
};

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

// Styles read as the designs write them.
std::string Hex(DWORD value) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// Placements read as the designs write them: "x, y, cx, cy".
std::string Box(short x, short y, short cx, short cy) {
    return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + ", " +
           std::to_string(cy);
}

} // namespace

TEST_CASE("the compiled dialog templates match their designs") {
    // The trackbar and edit styles spelled out by the designs, as numbers.
    REQUIRE(kTrackbar == 0x50010018);
    REQUIRE(kValueBox == 0x50810080);
    REQUIRE(kHueSlider == 0x50010016);
    REQUIRE(kOption == 0x50000009);
    REQUIRE(kCheckBox == 0x50010003);
    // Loaded the way a host loads it, from beside this program.
    HMODULE library = LoadLibraryW(L"Quillet.dll");
    REQUIRE(library != nullptr);
    for (const Dialog& want : kDialogs) {
        const Frame& frame = want.frame;
        CAPTURE(frame.resource);
        DialogTemplate got;
        std::string error;
        REQUIRE_MESSAGE(QuilletTest::LoadDialogTemplate(library, frame.resource, got, error),
                        error);
        CHECK(Narrow(got.title) == Narrow(frame.title));
        CHECK(got.title == frame.title);
        CHECK(Hex(got.style) == Hex(frame.style));
        CHECK(Hex(got.exStyle) == Hex(0));
        CHECK((got.menu.empty() && got.className.empty()));
        if (frame.positioned)
            CHECK((got.x == frame.x && got.y == frame.y));
        CHECK((got.cx == frame.cx && got.cy == frame.cy));
        CHECK(Narrow(got.typeface) == Narrow(frame.typeface));
        CHECK(got.pointSize == frame.pointSize);
        REQUIRE(got.items.size() == want.controls.size());
        for (size_t i = 0; i < want.controls.size(); ++i) {
            const Control& c = want.controls[i];
            const DialogTemplateItem& item = got.items[i];
            INFO("control " << i << " \"" << Narrow(c.text) << "\" (id " << c.id << ")");
            CHECK(item.id == c.id);
            CHECK(Narrow(item.className) == Narrow(c.className));
            CHECK(Narrow(item.text) == Narrow(c.text));
            CHECK(Hex(item.style) == Hex(c.style));
            CHECK(Hex(item.exStyle) == Hex(c.exStyle));
            CHECK(Box(item.x, item.y, item.cx, item.cy) == Box(c.x, c.y, c.cx, c.cy));
            CHECK(item.extraBytes == 0);
        }
    }
    FreeLibrary(library);
}
