// ShowPrintPreview driven as a user would, against the session's A4 printer: the miniature's
// pixels on screen, margin edits, the position buttons, the quarter turn of the host's bitmap,
// and what the host's layout record holds afterwards. The page arithmetic itself is pinned by
// the native layout tests; here it only says what the screen must show.
#include "dialog/PrintPreviewDialog.h"
#include "host/MargeData.h"
#include "layout/PrintPreviewLayout.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"
#include "support/ImportPatch.h"
#include "win32/ModuleInstance.h"

#include <winspool.h>

#include <cstring>
#include <string>

using namespace QuilletTest;
using namespace Orvanel::Layout;

// The entries through which the dialog's code linked into this program reaches GDI.
extern decltype(&CreateDCW) __imp_CreateDCW;
extern decltype(&GetDeviceCaps) __imp_GetDeviceCaps;

namespace {

constexpr COLORREF kSurround = RGB(161, 157, 157), kPage = RGB(255, 255, 255);

// The default printer's paper in millimetres as the system reports it: the session's queue is
// A4 portrait (wine reports its width as 209 mm).
struct Paper {
    int width = 0, height = 0;
} paper;

bool ReadPaper() {
    wchar_t name[256];
    DWORD size = 256;
    HDC information =
        GetDefaultPrinterW(name, &size) ? CreateDCW(nullptr, name, nullptr, nullptr) : nullptr;
    if (information != nullptr) {
        paper = {GetDeviceCaps(information, HORZSIZE), GetDeviceCaps(information, VERTSIZE)};
        DeleteDC(information);
    }
    return (paper.width == 209 || paper.width == 210) && paper.height == 297;
}

HWND Miniature(HWND dialog) { return Child(dialog, L"PreviewPrint"); }

// The sheet in the miniature's 256 x 256 client area, and the margins in miniature pixels as
// the dialog gets them from the texts it wrote (each text is read back).
const PixelRect kPageRect = PageRectangle(256, 256, 209, 297, 1);
PixelRect TypedMargins(HWND dialog) {
    const auto px = [&](int id, int extent, int mm) {
        return TypedMarginPixels(extent, float(_wtof(ControlText(dialog, id).c_str())), mm);
    };
    const int w = kPageRect.right - kPageRect.left, h = kPageRect.bottom - kPageRect.top;
    return {px(IDC_PRINT_MARGIN_LEFT, w, paper.width), px(IDC_PRINT_MARGIN_TOP, h, paper.height),
            px(IDC_PRINT_MARGIN_RIGHT, w, paper.width),
            px(IDC_PRINT_MARGIN_BOTTOM, h, paper.height)};
}

// Miniature pixels on screen that differ from the page: the surround, the white sheet and the
// picture resampled to fit the area the margins leave free, in its top-left corner.
int MiniatureMismatches(HWND dialog, COrvanelBitmap& picture, const PixelRect& margins) {
    const PixelRect area =
        FreeArea(kPageRect, margins.left, margins.top, margins.right, margins.bottom);
    COrvanelBitmap copy;
    if (MiniatureAreaUsable(area)) {
        const float ratio =
            MiniatureRatio(picture.GetBitmapWidth(), picture.GetBitmapHeight(), area);
        copy = Resampled(picture, int(float(picture.GetBitmapWidth()) * ratio),
                         int(float(picture.GetBitmapHeight()) * ratio));
    }
    return PictureMismatches(Miniature(dialog), copy, area.left, area.top, [](int x, int y) {
        const PixelRect& p = kPageRect;
        return x >= p.left && x < p.right && y >= p.top && y < p.bottom ? kPage : kSurround;
    });
}

bool SameBitmap(COrvanelBitmap& a, COrvanelBitmap& b) {
    return a.GetBitmapWidth() == b.GetBitmapWidth() && a.GetBitmapHeight() == b.GetBitmapHeight() &&
           std::memcmp(a.GetPtBitmap(), b.GetPtBitmap(),
                       size_t(4) * a.GetBitmapWidth() * a.GetBitmapHeight()) == 0;
}

// Position 7 matches no button: none is checked until the user picks one.
CMargeData DefaultLayout() { return CMargeData{0.4f, 0.4f, 0.4f, 0.4f, 5, false, 7}; }

int Run(CMargeData& layout, COrvanelBitmap& picture, const std::function<void(HWND)>& drive,
        bool shown = true) {
    return RunDialog([&] { return ShowPrintPreview(nullptr, &layout, &picture); }, drive, shown);
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

TEST_CASE("the page as it opens, the position buttons, margin edits and Imprimer") {
    REQUIRE_MESSAGE(ReadPaper(), "no A4 default printer: run inside scripts/printer-session.sh");
    COrvanelBitmap picture = Quarters(600, 300), original = Quarters(600, 300);
    CMargeData layout = DefaultLayout();
    CHECK(Run(layout, picture, [&](HWND dialog) {
              RECT r{};
              GetWindowRect(Miniature(dialog), &r);
              MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
              CHECK((r.left == 20 && r.top == 45 && r.right == 280 && r.bottom == 305));
              GetClientRect(Miniature(dialog), &r); // inside the border and the edge
              CHECK((r.right == 256 && r.bottom == 256));
              CHECK(Labels(dialog) == L"Haut,Milieu,Bas"); // a wide picture moves up and down
              CHECK(MarginTexts(dialog) == L"0.400000,0.400000,0.400000,0.400000");
              CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
              // The sheet spans columns 45 to 210, with either width.
              CHECK(ScreenMismatches(Miniature(dialog), [](int x, int y) {
                        const bool edge = y == 128 && (x == 44 || x == 45 || x == 210 || x == 211);
                        return !edge ? CLR_INVALID : x == 44 || x == 211 ? kSurround : kPage;
                    }) == 0);
              // The positions move the picture through the top margin: centred, as much white
              // above the 80 rows of the picture as below them, within a pixel; then lower.
              Click(dialog, IDC_PRINT_POSITION_MIDDLE);
              const PixelRect margins = TypedMargins(dialog);
              CHECK(MiniatureMismatches(dialog, picture, margins) == 0);
              CHECK(std::abs(2 * margins.top + 80 - (kPageRect.bottom - kPageRect.top)) <= 1);
              const double middle = _wtof(ControlText(dialog, IDC_PRINT_MARGIN_TOP).c_str());
              CHECK(middle > 0.4);
              Click(dialog, IDC_PRINT_POSITION_END);
              CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
              CHECK(_wtof(ControlText(dialog, IDC_PRINT_MARGIN_TOP).c_str()) > middle);
              Click(dialog, IDC_PRINT_POSITION_START);
              CHECK(ControlText(dialog, IDC_PRINT_MARGIN_TOP) == L"0.400000");
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_TOP, L"2,5"); // not a number past "2"
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_LEFT, L"3.25");
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"abc");
              CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
              // A text far longer than the dialog's buffer is cut at the buffer's size: the
              // margin reads its first 49 characters and nothing beside the buffer is written.
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_BOTTOM,
                              (L"1.5" + std::wstring(300, L'0') + L"9").c_str());
              CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
              ClickButton(dialog, IDOK);
          }) == 1);
    CHECK((layout.marginTop == 2.0f && layout.marginLeft == 3.25f && layout.marginRight == 0.0f));
    CHECK((layout.marginBottom == 1.5f && layout.horizontalPlacement == 0));
    CHECK((layout.position == 0 && !layout.rotate));
    CHECK(SameBitmap(picture, original)); // not turned, never drawn on
}

TEST_CASE("Roter l'image turns the host's bitmap a quarter turn and back") {
    REQUIRE(ReadPaper());
    COrvanelBitmap picture = Quarters(600, 300), original = Quarters(600, 300);
    CMargeData layout = DefaultLayout();
    layout.marginLeft = 1.0f;
    Run(layout, picture, [&](HWND dialog) {
        Click(dialog, IDC_PRINT_ROTATE);
        CHECK(Labels(dialog) == L"Gauche,Milieu,Droite");
        CHECK(MarginTexts(dialog) == L"0.400000,0.400000,0.400000,0.400000");
        CHECK(layout.horizontalPlacement == 1);
        // Counter-clockwise on screen: the top row of the picture becomes its left column.
        bool turned = picture.GetBitmapWidth() == 300 && picture.GetBitmapHeight() == 600;
        for (int row = 0; turned && row < 300; row += 7) {
            for (int column = 0; column < 600; column += 5) {
                turned = turned && picture.GetColorValue(row, column) ==
                                       original.GetColorValue(column, 299 - row);
            }
        }
        CHECK(turned);
        // Every margin is back at 0.4, so only the turned picture can make the page repaint.
        CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
        Click(dialog, IDC_PRINT_ROTATE);
        CHECK(Labels(dialog) == L"Haut,Milieu,Bas");
        CHECK(SameBitmap(picture, original));
        CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
        Click(dialog, IDC_PRINT_ROTATE);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    // Closed while turned: the bitmap stays turned and the record says so.
    CHECK((layout.rotate && layout.horizontalPlacement == 1 && picture.GetBitmapWidth() == 300));

    // Opened with the turn already chosen: the dialog turns the bitmap as it opens, and a tall
    // result moves left and right.
    COrvanelBitmap again = Quarters(600, 300);
    CMargeData chosen = DefaultLayout();
    chosen.rotate = true;
    chosen.position = 2;
    CHECK(Run(chosen, again, [&](HWND dialog) {
              CHECK(IsDlgButtonChecked(dialog, IDC_PRINT_ROTATE) == BST_CHECKED);
              CHECK(IsDlgButtonChecked(dialog, IDC_PRINT_POSITION_END) == BST_CHECKED);
              CHECK(Labels(dialog) == L"Gauche,Milieu,Droite");
              ClickButton(dialog, IDCANCEL);
          }) == 0);
    CHECK((again.GetBitmapWidth() == 300 && chosen.horizontalPlacement == 1));
}

TEST_CASE("margins that leave no room show the page without the picture") {
    REQUIRE(ReadPaper());
    COrvanelBitmap picture = Quarters(300, 600), empty;
    CMargeData layout = DefaultLayout();
    CHECK(Run(layout, picture, [&](HWND dialog) {
              CHECK(Labels(dialog) == L"Gauche,Milieu,Droite"); // a tall picture: left, right
              // The right margin: an area turned inside out there would still start on the page.
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"30"); // wider than the paper
              CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"1e39"); // beyond float
              CHECK(MiniatureMismatches(dialog, picture, PixelRect{0, 0, INT_MAX, 0}) == 0);
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"0");
              SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_LEFT, L"-1");
              CHECK(MiniatureMismatches(dialog, picture, TypedMargins(dialog)) == 0);
              ClickButton(dialog, IDOK);
          }) == 1);
    CHECK((layout.marginLeft == -1.0f && layout.marginRight == 0.0f));
    CHECK(Run(
              layout, empty, [](HWND) {}, false) == 0); // no picture: not shown
}

HDC WINAPI NoContext(LPCWSTR, LPCWSTR, LPCWSTR, const DEVMODEW*) { return nullptr; }
int WINAPI NoPaper(HDC, int) { return 0; }

TEST_CASE("a printer whose paper cannot be read counts as no printer") {
    // The dialog's class from the objects linked into this program, on the DLL's templates.
    Orvanel::Win32::SetModuleInstance(GetModuleHandleW(L"Quillet.dll"));
    COrvanelBitmap picture = Quarters(60, 30);
    CMargeData layout = DefaultLayout();
    for (bool noContext : {true, false}) {
        CAPTURE(noContext);
        ImportPatch<decltype(&CreateDCW)> context(__imp_CreateDCW,
                                                  noContext ? NoContext : __imp_CreateDCW);
        ImportPatch<decltype(&GetDeviceCaps)> caps(__imp_GetDeviceCaps,
                                                   noContext ? __imp_GetDeviceCaps : NoPaper);
        // Not 0 / 0 page arithmetic, and not a print the user never confirmed.
        CHECK(
            RunDialog([&] { return Orvanel::Dialog::CPrintPreviewDialog::Show(&layout, &picture); },
                      [](HWND dialog) { ClickButton(dialog, IDOK); }, false) == 0);
    }
    CHECK((layout.marginTop == 0.4f && layout.position == 7 && picture.GetBitmapWidth() == 60));
}

// Run on its own with CUPS_SERVER at a missing socket: the machine then has no printer.
TEST_CASE("no printer" * doctest::skip(true)) {
    REQUIRE_FALSE(ReadPaper());
    COrvanelBitmap picture = Quarters(60, 30);
    CMargeData layout = DefaultLayout();
    CHECK(Run(
              layout, picture, [](HWND) {}, false) == 0); // not a confirmed print
    CHECK((layout.marginTop == 0.4f && layout.position == 7 && picture.GetBitmapWidth() == 60));
}
