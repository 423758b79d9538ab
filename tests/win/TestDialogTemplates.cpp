// Every dialog template compiled into Quillet.dll, control by control, against the table the
// dialog was designed from: style, size, font, and each control's id, class, text, style,
// extended style and placement. The resource script is not what ships; the compiled bytes
// are, read here as the dialog manager reads them (DLGTEMPLATEEX and its items).
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace QuilletTest;

namespace {

// A dialog or one of its controls, as designed or as compiled. Classes are lower case, those
// stored as ordinals by name; an ordinal text or menu reads "#<number>".
struct Item {
    int id;
    std::wstring className, text;
    DWORD style, exStyle;
    int x, y, cx, cy;
    std::wstring font = L""; // the dialog's typeface and point size; a control's extra bytes
};

struct Dialog {
    Item frame; // id: the resource; x and y -1 when the design centres the dialog at run time
    std::vector<Item> controls;
};

// Both as one line, so that a difference shows whole.
std::string Describe(const Item& item) {
    const std::wstring text =
        std::to_wstring(item.id) + L" " + item.className + L" \"" + item.text + L"\" " + item.font;
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(),
                                    int(utf8.size()), nullptr, nullptr));
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " style 0x%08lX ex 0x%08lX at %d,%d %dx%d",
                  static_cast<unsigned long>(item.style), static_cast<unsigned long>(item.exStyle),
                  item.x, item.y, item.cx, item.cy);
    return utf8 + numbers;
}

// Reads front to back; a read past the end sets `failed` and gives zeros.
struct Cursor {
    const BYTE *at, *end;
    bool failed = false;

    template <class T> T Read() {
        T value{};
        failed = failed || at + sizeof(T) > end;
        if (!failed)
            std::memcpy(&value, at, sizeof(T));
        at += sizeof(T);
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (WCHAR c = Read<WCHAR>(); !failed && c != 0; c = Read<WCHAR>())
            text.push_back(c);
        return text;
    }
    // A string, or 0xFFFF followed by an ordinal; a lone 0 is none. Predefined classes stored
    // as ordinals come back by name.
    std::wstring StringOrOrdinal(bool isClass = false) {
        if (at + 2 > end || at[0] != 0xFF || at[1] != 0xFF)
            return String();
        const WORD ordinal = (Read<WORD>(), Read<WORD>());
        static const wchar_t* const kPredefined[] = {L"button",  L"edit",      L"static",
                                                     L"listbox", L"scrollbar", L"combobox"};
        return isClass && ordinal >= 0x80 && ordinal <= 0x85 ? kPredefined[ordinal - 0x80]
                                                             : L"#" + std::to_wstring(ordinal);
    }
    // Resources lie DWORD-aligned in memory, so the items' alignment is the pointer's.
    void AlignToDword() { at += (4 - reinterpret_cast<std::uintptr_t>(at) % 4) % 4; }
};

// The compiled template of dialog `id`; false when there is none or its bytes are not an
// extended template that ends where they do.
bool LoadDialog(HMODULE module, int id, Dialog& parsed) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    const void* data = resource ? LockResource(LoadResource(module, resource)) : nullptr;
    if (data == nullptr)
        return false;
    Cursor in{static_cast<const BYTE*>(data),
              static_cast<const BYTE*>(data) + SizeofResource(module, resource)};
    if (in.Read<WORD>() != 1 || in.Read<WORD>() != 0xFFFF)
        return false;
    Item& f = parsed.frame;
    f.id = id;
    in.Read<DWORD>(); // help id
    f.exStyle = in.Read<DWORD>(), f.style = in.Read<DWORD>();
    const WORD count = in.Read<WORD>();
    f.x = in.Read<short>(), f.y = in.Read<short>(), f.cx = in.Read<short>(),
    f.cy = in.Read<short>();
    f.className = in.StringOrOrdinal() + L"|"; // the menu, then the class
    f.className += in.StringOrOrdinal();
    f.text = in.String();
    if (f.style & (DS_SETFONT | DS_SHELLFONT)) {
        const WORD points = in.Read<WORD>();
        in.Read<DWORD>(); // weight, italic, character set
        f.font = in.String() + L" " + std::to_wstring(points);
    }
    for (WORD i = 0; i < count && !in.failed; ++i) {
        in.AlignToDword();
        Item item{};
        in.Read<DWORD>(); // help id
        item.exStyle = in.Read<DWORD>(), item.style = in.Read<DWORD>();
        item.x = in.Read<short>(), item.y = in.Read<short>();
        item.cx = in.Read<short>(), item.cy = in.Read<short>();
        item.id = static_cast<int>(in.Read<DWORD>());
        item.className = in.StringOrOrdinal(true);
        CharLowerBuffW(item.className.data(), DWORD(item.className.size()));
        item.text = in.StringOrOrdinal();
        const WORD extraBytes = in.Read<WORD>();
        in.at += extraBytes; // a read past the end shows at the next item or check
        item.font = extraBytes != 0 ? L"extra bytes" : L"";
        parsed.controls.push_back(item);
    }
    return !in.failed && in.at <= in.end;
}

const wchar_t *const kButton = L"button", *const kEdit = L"edit", *const kStatic = L"static",
                     *const kTrackbar = L"msctls_trackbar32";
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT, kGroupLabel = kLabel | WS_GROUP;
constexpr DWORD kOk = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON,
                kCancel = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kSlider = kChild | WS_TABSTOP | TBS_BOTH | TBS_NOTICKS | TBS_HORZ;
constexpr DWORD kValueBox = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kHueSlider = kChild | WS_TABSTOP | TBS_VERT | TBS_LEFT | TBS_NOTICKS;
constexpr DWORD kOption = kChild | BS_AUTORADIOBUTTON,
                kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
// The styles as the designs spell them out, as numbers.
static_assert(kSlider == 0x50010018 && kValueBox == 0x50810080 && kHueSlider == 0x50010016);
static_assert(kOption == 0x50000009 && kCheckBox == 0x50010003 && kOk == 0x50010001);
constexpr DWORD kPopup = 0x80C808C0; // popup, caption, system menu, modal frame, centred, font

const Dialog kDialogs[] = {
    {{IDD_ABOUT, L"|", L"About ...", 0x10C808C0, 0, 22, 17, 230, 75, L"System 8"},
     {{IDC_ABOUT_OK, kButton, L"OK", 0x50010000, WS_EX_STATICEDGE, 82, 60, 68, 14},
      {IDC_ABOUT_LINE1, kStatic, L"Static", 0x50020000, 0, 48, 10, 167, 10},
      {IDC_ABOUT_LINE2, kStatic, L"Static", 0x50020000, 0, 48, 22, 167, 10},
      {IDC_ABOUT_LINE3, kStatic, L"Static", 0x50020000, 0, 48, 34, 167, 10},
      {IDC_ABOUT_LINE4, kStatic, L"Static", 0x50020000, 0, 49, 46, 167, 10}}},
    {{IDD_MOTION_BLUR, L"|", L"Motion Blur Pr\u00E9visualisation", kPopup, 0, -1, -1, 390, 278,
      L"MS Sans Serif 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 105, 256, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 206, 256, 50, 14},
      {-1, kStatic, L"Preview", kGroupLabel, 0, 7, 8, 26, 8},
      {IDC_MOTION_BLUR_RADIUS, kTrackbar, L"Slider1", kSlider, 0, 4, 30, 113, 15},
      {-1, kStatic, L"Radius :", kLabel, 0, 9, 20, 27, 8},
      {IDC_MOTION_BLUR_RADIUS_EDIT, kEdit, L"", kValueBox, 0, 52, 19, 64, 12},
      {IDC_MOTION_BLUR_SIGMA, kTrackbar, L"Slider1", kSlider, 0, 128, 29, 113, 15},
      {-1, kStatic, L"Sigma :", kLabel, 0, 134, 18, 24, 8},
      {IDC_MOTION_BLUR_SIGMA_EDIT, kEdit, L"", kValueBox, 0, 176, 15, 66, 14},
      {IDC_MOTION_BLUR_ANGLE, kTrackbar, L"Slider1", kSlider, 0, 266, 31, 113, 15},
      {-1, kStatic, L"Angle :", kLabel, 0, 269, 19, 23, 8},
      {IDC_MOTION_BLUR_ANGLE_EDIT, kEdit, L"", kValueBox, 0, 311, 16, 66, 14}}},
    {{IDD_LENS_FLARE, L"|", L"Lens Flare", kPopup, 0, -1, -1, 349, 274, L"MS Sans Serif 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 103, 260, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 176, 260, 50, 14},
      {-1, kStatic, L"Preview", kGroupLabel, 0, 7, 8, 218, 10},
      {IDC_LENS_FLARE_BRIGHTNESS, kTrackbar, L"Slider1", kSlider, 0, 3, 30, 340, 15},
      {-1, kStatic, L"Brightness :", kGroupLabel, 0, 7, 20, 62, 9},
      {IDC_LENS_FLARE_BRIGHTNESS_EDIT, kEdit, L"", kValueBox, 0, 92, 19, 64, 12},
      {IDC_LENS_FLARE_INTENSITY, kTrackbar, L"Slider1", kSlider, 0, 3, 63, 340, 15},
      {-1, kStatic, L"Color Intensity  :", kGroupLabel, 0, 7, 49, 80, 11},
      {IDC_LENS_FLARE_INTENSITY_EDIT, kEdit, L"", kValueBox, 0, 92, 48, 66, 14},
      {-1, kStatic, L"Size :", kGroupLabel, 0, 8, 86, 18, 8},
      {IDC_LENS_FLARE_SIZE_EDIT, kEdit, L"", kValueBox, 0, 92, 82, 64, 14},
      {IDC_LENS_FLARE_SIZE, kTrackbar, L"", kSlider, 0, 3, 99, 340, 15},
      {-1, kStatic, L"Choose Color :", kGroupLabel, 0, 257, 51, 47, 8}}},
    {{IDD_COLOR_BOX, L"|", L"Color Box", kPopup, 0, -1, -1, 398, 247, L"MS Sans Serif 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 123, 226, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 193, 226, 50, 14},
      {IDC_COLOR_HUE_SLIDER, kTrackbar, L"Slider2", kHueSlider, 0, 245, 33, 19, 155},
      {IDC_COLOR_HUE_OPTION, kButton, L"T", kOption, 0, 295, 33, 40, 13},
      {IDC_COLOR_HUE_EDIT, kEdit, L"", kValueBox, 0, 337, 33, 44, 15},
      {IDC_COLOR_SATURATION_OPTION, kButton, L"S", kOption, 0, 295, 51, 40, 14},
      {IDC_COLOR_SATURATION_EDIT, kEdit, L"", kValueBox, 0, 337, 50, 44, 16},
      {IDC_COLOR_BRIGHTNESS_OPTION, kButton, L"L", kOption, 0, 295, 69, 40, 16},
      {IDC_COLOR_BRIGHTNESS_EDIT, kEdit, L"", kValueBox, 0, 337, 70, 44, 15},
      {IDC_COLOR_RED_OPTION, kButton, L"R", kOption, 0, 295, 108, 40, 11},
      {IDC_COLOR_RED_EDIT, kEdit, L"", kValueBox, 0, 337, 105, 44, 14},
      {IDC_COLOR_GREEN_OPTION, kButton, L"G", kOption, 0, 295, 124, 40, 13},
      {IDC_COLOR_GREEN_EDIT, kEdit, L"", kValueBox, 0, 337, 122, 44, 14},
      {IDC_COLOR_BLUE_OPTION, kButton, L"B", kOption, 0, 295, 140, 40, 15},
      {IDC_COLOR_BLUE_EDIT, kEdit, L"", kValueBox, 0, 337, 140, 44, 13},
      {-1, kStatic, L"Color Select :", kGroupLabel, 0, 7, 10, 99, 14},
      {IDC_COLOR_HEX_EDIT, kEdit, L"", kValueBox, 0, 308, 164, 74, 12},
      {-1, kStatic, L"#", kGroupLabel, 0, 297, 167, 8, 8}}},
    {{IDD_PRINT_PREVIEW, L"|", L"Propriété d'impression", kPopup, 0, -1, -1, 398, 235,
      L"MS Sans Serif 8"},
     {{IDC_PRINT_POSITION_GROUP, kButton, L"Position de l'image dans la page :",
       kChild | BS_GROUPBOX, 0, 204, 12, 178, 74},
      {IDC_PRINT_POSITION_START, kButton, L"Haut", kOption, 0, 215, 28, 159, 17},
      {IDC_PRINT_POSITION_MIDDLE, kButton, L"Milieu", kOption, 0, 215, 46, 159, 17},
      {IDC_PRINT_POSITION_END, kButton, L"Bas", kOption, 0, 215, 64, 159, 17},
      {IDC_PRINT_MARGIN_GROUP, kButton, L"Marge", kChild | BS_GROUPBOX, 0, 204, 92, 178, 96},
      {IDC_PRINT_MARGIN_TOP, kEdit, L"", kValueBox, 0, 262, 110, 51, 16},
      {IDC_PRINT_MARGIN_BOTTOM, kEdit, L"", kValueBox, 0, 262, 130, 51, 16},
      {IDC_PRINT_MARGIN_RIGHT, kEdit, L"", kValueBox, 0, 262, 150, 51, 16},
      {IDC_PRINT_MARGIN_LEFT, kEdit, L"", kValueBox, 0, 262, 170, 52, 16},
      {IDOK, kButton, L"Imprimer", kOk, 0, 127, 214, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 193, 214, 50, 14},
      {IDC_PRINT_ROTATE, kButton, L"Roter l'image", kCheckBox, 0, 13, 8, 62, 11}}},
    {{IDD_PRINT_JOB, L"|", L"Annuler l'impression", kPopup, 0, -1, -1, 186, 66, L"MS Sans Serif 8"},
     {{IDCANCEL, kButton, L"Annuler", kCancel, 0, 67, 45, 50, 14},
      {IDC_PRINT_JOB_TEXT, kStatic, L"Annuler l'impression", kLabel, 0, 61, 22, 63, 12}}},
    {{IDD_OPENCL, L"|", L"OpenCL Device Selection", 0x80C800C8, 0, -1, -1, 225, 122,
      L"MS Shell Dlg 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 53, 101, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 119, 101, 50, 14},
      {IDC_OPENCL_DEVICE, L"combobox", L"", kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN, 0, 32,
       51, 149, 30},
      {-1, kStatic, L"Select OpenCL Device :", kGroupLabel, 0, 32, 36, 76, 8}}},
    {{IDD_ASSOCIATION, L"|", L"Association", 0x80C800C8, 0, -1, -1, 191, 222, L"MS Shell Dlg 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 40, 201, 50, 14},
      {IDCANCEL, kButton, L"Annuler", 0x50010000, 0, 107, 201, 50, 14},
      {IDC_ASSOCIATE_BMP, kButton, L"BMP", kCheckBox, 0, 14, 11, 29, 10},
      {IDC_ASSOCIATE_PNM, kButton, L"PNM", kCheckBox, 0, 14, 26, 29, 10},
      {IDC_ASSOCIATE_PCX, kButton, L"PCX", kCheckBox, 0, 14, 40, 29, 10},
      {IDC_ASSOCIATE_JPEG, kButton, L"JPEG", kCheckBox, 0, 14, 54, 29, 10},
      {IDC_ASSOCIATE_JPEG2000, kButton, L"JPEG 2000", kCheckBox, 0, 14, 68, 59, 10},
      {IDC_ASSOCIATE_BPG, kButton, L"BPG", kCheckBox, 0, 14, 82, 29, 10},
      {IDC_ASSOCIATE_TIFF, kButton, L"TIFF", kCheckBox, 0, 14, 96, 29, 10},
      {IDC_ASSOCIATE_PNG, kButton, L"PNG", kCheckBox, 0, 14, 111, 29, 10},
      {IDC_ASSOCIATE_TGA, kButton, L"TGA", kCheckBox, 0, 14, 125, 29, 10},
      {IDC_ASSOCIATE_PHOTO_CD, kButton, L"Kodak Photo CD", kCheckBox, 0, 14, 139, 69, 10},
      {IDC_ASSOCIATE_CAMERA_RAW, kButton, L"Camera RAW", kCheckBox, 0, 14, 154, 62, 10},
      {IDC_ASSOCIATE_PHOTOSHOP, kButton, L"PhotoShop", kCheckBox, 0, 14, 168, 63, 10},
      {IDC_ASSOCIATE_GIF, kButton, L"GIF", kCheckBox, 0, 14, 182, 29, 10},
      {IDC_ASSOCIATE_MP4, kButton, L"MP4", kCheckBox, 0, 102, 11, 29, 10},
      {IDC_ASSOCIATE_MPEG, kButton, L"MPEG", kCheckBox, 0, 102, 26, 34, 10},
      {IDC_ASSOCIATE_MPEG2, kButton, L"MPEG 2", kCheckBox, 0, 102, 40, 40, 10},
      {IDC_ASSOCIATE_WINREC, kButton, L"WINREC", kCheckBox, 0, 102, 54, 43, 10},
      {IDC_ASSOCIATE_AVCHD, kButton, L"AVCHD", kCheckBox, 0, 102, 68, 39, 10},
      {IDC_ASSOCIATE_AVI, kButton, L"AVI", kCheckBox, 0, 102, 82, 27, 10},
      {IDC_ASSOCIATE_WMV, kButton, L"Windows Media Video", kCheckBox, 0, 102, 96, 85, 10},
      {IDC_ASSOCIATE_QUICKTIME, kButton, L"QuickTime", kCheckBox, 0, 102, 111, 48, 10},
      {IDC_ASSOCIATE_PPM, kButton, L"PPM", kCheckBox, 0, 102, 139, 29, 10},
      {IDC_ASSOCIATE_PGX, kButton, L"PGX", kCheckBox, 0, 102, 154, 29, 10},
      {IDC_ASSOCIATE_MNG, kButton, L"MNG", kCheckBox, 0, 102, 168, 31, 10},
      {IDC_ASSOCIATE_JPC, kButton, L"JPC", kCheckBox, 0, 102, 182, 28, 10}}},
};

} // namespace

TEST_CASE("the compiled dialog templates match their designs") {
    // Loaded the way a host loads it, from beside this program.
    HMODULE library = LoadLibraryW(L"Quillet.dll");
    REQUIRE(library != nullptr);
    for (const Dialog& want : kDialogs) {
        CAPTURE(want.frame.id);
        Dialog got;
        REQUIRE_MESSAGE(LoadDialog(library, want.frame.id, got),
                        "no extended template that ends where its resource does");
        if (want.frame.x == -1) { // centred at run time: wherever the script puts it
            got.frame.x = got.frame.y = -1;
        }
        CHECK(Describe(got.frame) == Describe(want.frame));
        REQUIRE(got.controls.size() == want.controls.size());
        for (size_t i = 0; i < want.controls.size(); ++i)
            CHECK(Describe(got.controls[i]) == Describe(want.controls[i]));
    }
    FreeLibrary(library);
}
