// ShowPrintPreview driven as a user would, against the default printer's real paper: the
// miniature's pixels on screen, margin edits, the position buttons, the quarter turn of the
// host's bitmap, and what the host's layout record holds afterwards.
#include "dialog/PrintPreviewDialog.h"
#include "host/InterpolationBicubic.h"
#include "host/MargeData.h"
#include "host/OrvanelBitmap.h"
#include "layout/PrintPreviewLayout.h"
#include "module/Quillet.h"
#include "print/DefaultPrinter.h"
#include "resources/resource.h"
#include "support/ImportPatch.h"
#include "support/ScreenMismatches.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"
#include "win32/ModuleInstance.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace QuilletTest;
using namespace Orvanel::Layout;

// The entries through which the dialog's code linked into this program reaches GDI.
extern decltype(&CreateDCW) __imp_CreateDCW;
extern decltype(&GetDeviceCaps) __imp_GetDeviceCaps;

namespace {

constexpr COLORREF kSurround = RGB(161, 157, 157);
constexpr COLORREF kPage = RGB(255, 255, 255);

// Four quadrants of distinct colours with a gradient inside each, so that a mirror image, a
// half turn or a wrong scale all show.
COrvanelBitmap Quadrants(int width, int height) {
    COrvanelBitmap bitmap(width, height, 32);
    const COLORREF corners[4] = {RGB(200, 30, 30), RGB(30, 160, 30), RGB(30, 30, 200),
                                 RGB(220, 200, 20)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = corners[(y * 2 / height) * 2 + x * 2 / width];
            const int shade = (x + y) % 32;
            bitmap.SetColorValue(x, y, RGB(GetRValue(c) + shade / 2, GetGValue(c), GetBValue(c)));
        }
    return bitmap;
}

bool SameBitmap(COrvanelBitmap& a, COrvanelBitmap& b) {
    return a.GetBitmapWidth() == b.GetBitmapWidth() && a.GetBitmapHeight() == b.GetBitmapHeight() &&
           std::memcmp(a.GetPtBitmap(), b.GetPtBitmap(),
                       size_t(4) * a.GetBitmapWidth() * a.GetBitmapHeight()) == 0;
}

struct Paper {
    int width = 0, height = 0, orientation = 0;
};

// The default printer's paper as the dialog must find it.
Paper DefaultPaper() {
    Paper paper;
    Orvanel::Print::CDefaultPrinter printer;
    if (Orvanel::Print::GetDefaultPrinterOrientation(printer) == 0) {
        paper.orientation = printer.orientation;
        HDC information = CreateDCW(nullptr, printer.name.c_str(), nullptr, nullptr);
        if (information != nullptr) {
            paper.width = GetDeviceCaps(information, HORZSIZE);
            paper.height = GetDeviceCaps(information, VERTSIZE);
            DeleteDC(information);
        }
    }
    return paper;
}

HWND Miniature(HWND dialog) { return FindWindowExW(dialog, nullptr, L"PreviewPrint", nullptr); }

// Miniature pixels on screen that differ from the expected page: the surround, the white sheet
// and the picture resampled to fit the free area, in its top-left corner. The margins are in
// miniature pixels as the dialog computed them from the boxes' texts.
int MiniatureMismatches(HWND dialog, COrvanelBitmap& picture, const Paper& paper,
                        const PixelRect& margins) {
    RECT client{};
    GetClientRect(Miniature(dialog), &client);
    const PixelRect page =
        PageRectangle(client.right, client.bottom, paper.width, paper.height, paper.orientation);
    const PixelRect area = FreeArea(page, margins.left, margins.top, margins.right, margins.bottom);
    COrvanelBitmap copy;
    if (MiniatureAreaUsable(area)) {
        const float ratio =
            MiniatureRatio(picture.GetBitmapWidth(), picture.GetBitmapHeight(), area);
        copy = COrvanelBitmap(int(float(picture.GetBitmapWidth()) * ratio),
                              int(float(picture.GetBitmapHeight()) * ratio), 32);
        COrvanelBitmap* target = &copy;
        CInterpolationBicubic().Execute(&picture, target);
    }
    const int w = int(copy.GetBitmapWidth()), h = int(copy.GetBitmapHeight());
    return ScreenMismatches(Miniature(dialog), [&](int x, int y) {
        if (x >= area.left && x < area.left + w && y >= area.top && y < area.top + h)
            return COLORREF(copy.GetColorValue(x - area.left, h - 1 - (y - area.top)));
        const bool onPage = x >= page.left && x < page.right && y >= page.top && y < page.bottom;
        return onPage ? kPage : kSurround;
    });
}

// Margin pixels as the dialog gets them from the texts it wrote (each text is read back).
PixelRect TypedMargins(HWND dialog, const Paper& paper) {
    RECT client{};
    GetClientRect(Miniature(dialog), &client);
    const PixelRect page =
        PageRectangle(client.right, client.bottom, paper.width, paper.height, paper.orientation);
    const auto cm = [&](int id) { return float(_wtof(ControlText(dialog, id).c_str())); };
    const int pw = page.right - page.left, ph = page.bottom - page.top;
    return PixelRect{TypedMarginPixels(pw, cm(IDC_PRINT_MARGIN_LEFT), paper.width),
                     TypedMarginPixels(ph, cm(IDC_PRINT_MARGIN_TOP), paper.height),
                     TypedMarginPixels(pw, cm(IDC_PRINT_MARGIN_RIGHT), paper.width),
                     TypedMarginPixels(ph, cm(IDC_PRINT_MARGIN_BOTTOM), paper.height)};
}

// Position 7 matches no button: none is checked until the user picks one.
CMargeData DefaultLayout() { return CMargeData{0.4f, 0.4f, 0.4f, 0.4f, 5, false, 7}; }

int Run(CMargeData& layout, COrvanelBitmap& picture, const std::function<void(HWND)>& drive,
        bool shown = true) {
    CModalDriver driver(drive);
    const int result = ShowPrintPreview(nullptr, &layout, &picture);
    driver.Join();
    CHECK(driver.DialogFound() == shown);
    CHECK_FALSE(driver.WatchdogFired());
    return result;
}

// A click on a radio button or the check box, answered before the next action.
void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::wstring Labels(HWND dialog) {
    return ControlText(dialog, IDC_PRINT_POSITION_START) + L"," +
           ControlText(dialog, IDC_PRINT_POSITION_MIDDLE) + L"," +
           ControlText(dialog, IDC_PRINT_POSITION_END);
}

std::wstring MarginTexts(HWND dialog) {
    return ControlText(dialog, IDC_PRINT_MARGIN_TOP) + L"," +
           ControlText(dialog, IDC_PRINT_MARGIN_BOTTOM) + L"," +
           ControlText(dialog, IDC_PRINT_MARGIN_RIGHT) + L"," +
           ControlText(dialog, IDC_PRINT_MARGIN_LEFT);
}

} // namespace

TEST_CASE("the page as it opens, margin edits and Imprimer") {
    const Paper paper = DefaultPaper();
    REQUIRE_MESSAGE(paper.width > 0, "no default printer: run inside scripts/printer-session.sh");
    MESSAGE("default paper " << paper.width << " x " << paper.height << " mm, orientation "
                             << paper.orientation);
    COrvanelBitmap picture = Quadrants(600, 300), original = Quadrants(600, 300);
    CMargeData layout = DefaultLayout();
    RECT placed{}, client{};
    std::wstring labels, texts;
    int atOpen = -1, afterEdits = -1, afterLongText = -1, pageCorner = -1;
    const int result = Run(layout, picture, [&](HWND dialog) {
        GetWindowRect(Miniature(dialog), &placed);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
        GetClientRect(Miniature(dialog), &client);
        labels = Labels(dialog);
        texts = MarginTexts(dialog);
        atOpen = MiniatureMismatches(dialog, picture, paper, TypedMargins(dialog, paper));
        // A4 portrait in the 256 x 256 client: the sheet spans columns 45 to 210 (wine reports
        // the width as 209 mm, which gives the same columns).
        if ((paper.width == 210 || paper.width == 209) && paper.height == 297 &&
            paper.orientation == 1) {
            pageCorner = ScreenMismatches(Miniature(dialog), [](int x, int y) {
                if ((x == 44 || x == 211) && y == 128)
                    return kSurround;
                if ((x == 45 || x == 210) && y == 128)
                    return kPage;
                return COLORREF(CLR_INVALID);
            });
        }
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_TOP, L"2,5"); // not a number past "2"
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_LEFT, L"3.25");
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"abc");
        afterEdits = MiniatureMismatches(dialog, picture, paper, TypedMargins(dialog, paper));
        // A text far longer than the dialog's buffer is cut at the buffer's size: the margin
        // reads its first 49 characters and nothing beside the buffer is overwritten.
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_BOTTOM,
                        (L"1.5" + std::wstring(300, L'0') + L"9").c_str());
        afterLongText = MiniatureMismatches(dialog, picture, paper, TypedMargins(dialog, paper));
        ClickButton(dialog, IDOK);
    });
    CHECK(result == 1);
    CHECK((placed.left == 20 && placed.top == 45 && placed.right == 280 && placed.bottom == 305));
    CHECK((client.right == 256 && client.bottom == 256)); // inside the border and the edge
    CHECK(labels == L"Haut,Milieu,Bas");                  // a wide picture moves up and down
    CHECK(texts == L"0.400000,0.400000,0.400000,0.400000");
    CHECK(atOpen == 0);
    CHECK(pageCorner == 0);
    CHECK(afterEdits == 0);
    CHECK(afterLongText == 0);
    CHECK((layout.marginTop == 2.0f && layout.marginLeft == 3.25f && layout.marginRight == 0.0f));
    CHECK(layout.marginBottom == 1.5f);
    CHECK((layout.horizontalPlacement == 0 && layout.position == 7 && !layout.rotate));
    CHECK(SameBitmap(picture, original)); // not turned, never drawn on
}

TEST_CASE("position buttons move the picture through the margins") {
    const Paper paper = DefaultPaper();
    REQUIRE(paper.width > 0);
    COrvanelBitmap wide = Quadrants(600, 300);
    CMargeData layout = DefaultLayout();
    std::wstring middleTop, endTop, startTop;
    int middle = -1, end = -1;
    int aboveImage = -1, belowImage = -1;
    Run(layout, wide, [&](HWND dialog) {
        Click(dialog, IDC_PRINT_POSITION_MIDDLE);
        middleTop = ControlText(dialog, IDC_PRINT_MARGIN_TOP);
        const PixelRect margins = TypedMargins(dialog, paper);
        middle = MiniatureMismatches(dialog, wide, paper, margins);
        // Centred: as much white above the picture as below it, within a pixel.
        RECT client{};
        GetClientRect(Miniature(dialog), &client);
        const PixelRect page = PageRectangle(client.right, client.bottom, paper.width, paper.height,
                                             paper.orientation);
        const PixelRect area =
            FreeArea(page, margins.left, margins.top, margins.right, margins.bottom);
        const float ratio = MiniatureRatio(600, 300, area);
        aboveImage = area.top - page.top;
        belowImage = page.bottom - (area.top + int(300 * ratio));
        Click(dialog, IDC_PRINT_POSITION_END);
        endTop = ControlText(dialog, IDC_PRINT_MARGIN_TOP);
        end = MiniatureMismatches(dialog, wide, paper, TypedMargins(dialog, paper));
        Click(dialog, IDC_PRINT_POSITION_START);
        startTop = ControlText(dialog, IDC_PRINT_MARGIN_TOP);
        ClickButton(dialog, IDCANCEL);
    });
    CHECK((middle == 0 && end == 0));
    CHECK(std::abs(aboveImage - belowImage) <= 1);
    CHECK(_wtof(middleTop.c_str()) > 0.4);
    CHECK(_wtof(endTop.c_str()) > _wtof(middleTop.c_str()));
    CHECK(startTop == L"0.400000");
    // Annuler still leaves what was chosen in the record: the dialog writes it as it goes.
    CHECK((layout.position == 0 && layout.marginTop == 0.4f));
}

TEST_CASE("Roter l'image turns the host's bitmap a quarter turn and back") {
    const Paper paper = DefaultPaper();
    REQUIRE(paper.width > 0);
    COrvanelBitmap picture = Quadrants(600, 300), original = Quadrants(600, 300);
    CMargeData layout = DefaultLayout();
    layout.marginLeft = 1.0f;
    std::wstring turnedLabels, turnedTexts, backLabels;
    bool turned = false, turnedBack = false;
    int turnedScreen = -1, backScreen = -1, turnedPlacement = -1;
    Run(layout, picture, [&](HWND dialog) {
        Click(dialog, IDC_PRINT_ROTATE);
        turnedLabels = Labels(dialog);
        turnedTexts = MarginTexts(dialog);
        turnedPlacement = layout.horizontalPlacement;
        // Counter-clockwise on screen: the top row of the picture becomes its left column.
        turned = picture.GetBitmapWidth() == 300 && picture.GetBitmapHeight() == 600;
        for (int row = 0; turned && row < 300; row += 7)
            for (int column = 0; column < 600; column += 5)
                turned = turned && picture.GetColorValue(row, column) ==
                                       original.GetColorValue(column, 299 - row);
        // Every margin is back at 0.4, so only the turned picture can make the page repaint.
        turnedScreen = MiniatureMismatches(dialog, picture, paper, TypedMargins(dialog, paper));
        Click(dialog, IDC_PRINT_ROTATE);
        backLabels = Labels(dialog);
        turnedBack = SameBitmap(picture, original);
        backScreen = MiniatureMismatches(dialog, picture, paper, TypedMargins(dialog, paper));
        Click(dialog, IDC_PRINT_ROTATE);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    CHECK(turned);
    CHECK(turnedLabels == L"Gauche,Milieu,Droite");
    CHECK(turnedTexts == L"0.400000,0.400000,0.400000,0.400000");
    CHECK(turnedPlacement == 1);
    CHECK(turnedScreen == 0);
    CHECK(turnedBack);
    CHECK(backLabels == L"Haut,Milieu,Bas");
    CHECK(backScreen == 0);
    // Closed while turned: the bitmap stays turned and the record says so.
    CHECK((layout.rotate && layout.horizontalPlacement == 1));
    CHECK(picture.GetBitmapWidth() == 300);

    // Opened with the turn already chosen: the dialog turns the bitmap as it opens, and a tall
    // result moves left and right.
    COrvanelBitmap again = Quadrants(600, 300);
    CMargeData chosen = DefaultLayout();
    chosen.rotate = true;
    chosen.position = 2;
    bool boxTicked = false, endChecked = false;
    CHECK(Run(chosen, again, [&](HWND dialog) {
              boxTicked = IsDlgButtonChecked(dialog, IDC_PRINT_ROTATE) == BST_CHECKED;
              endChecked = IsDlgButtonChecked(dialog, IDC_PRINT_POSITION_END) == BST_CHECKED;
              turnedLabels = Labels(dialog);
              ClickButton(dialog, IDCANCEL);
          }) == 0);
    CHECK((boxTicked && endChecked && turnedLabels == L"Gauche,Milieu,Droite"));
    CHECK((again.GetBitmapWidth() == 300 && chosen.horizontalPlacement == 1));
}

TEST_CASE("margins that leave no room show the page without the picture") {
    const Paper paper = DefaultPaper();
    REQUIRE(paper.width > 0);
    COrvanelBitmap picture = Quadrants(300, 600);
    CMargeData layout = DefaultLayout();
    std::wstring labels;
    int insideOut = -1, infinite = -1, negative = -1;
    Run(layout, picture, [&](HWND dialog) {
        labels = Labels(dialog);
        // The right margin: an area turned inside out there would still start on the page.
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"30"); // wider than the paper
        insideOut = MiniatureMismatches(dialog, picture, paper, TypedMargins(dialog, paper));
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"1e39"); // beyond float
        infinite = MiniatureMismatches(dialog, picture, paper, PixelRect{0, 0, INT_MAX, 0});
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_RIGHT, L"0");
        SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_LEFT, L"-1");
        negative = MiniatureMismatches(dialog, picture, paper, TypedMargins(dialog, paper));
        ClickButton(dialog, IDOK);
    });
    CHECK(labels == L"Gauche,Milieu,Droite"); // a tall picture moves left and right
    CHECK((insideOut == 0 && infinite == 0 && negative == 0));
    CHECK((layout.marginLeft == -1.0f && layout.marginRight == 0.0f));

    // No picture: nothing to lay out, not shown.
    COrvanelBitmap empty;
    CHECK(Run(
              layout, empty, [](HWND) {}, false) == 0);
}

HDC WINAPI NoContext(LPCWSTR, LPCWSTR, LPCWSTR, const DEVMODEW*) { return nullptr; }
int WINAPI NoPaper(HDC, int) { return 0; }

TEST_CASE("a printer whose paper cannot be read counts as no printer") {
    // The dialog's class from the objects linked into this program, on the DLL's templates.
    Orvanel::Win32::SetModuleInstance(GetModuleHandleW(L"Quillet.dll"));
    COrvanelBitmap picture = Quadrants(60, 30);
    CMargeData layout = DefaultLayout();
    for (int way = 0; way < 2; ++way) {
        CAPTURE(way);
        ImportPatch<decltype(&CreateDCW)> context(__imp_CreateDCW,
                                                  way == 0 ? NoContext : __imp_CreateDCW);
        ImportPatch<decltype(&GetDeviceCaps)> paper(__imp_GetDeviceCaps,
                                                    way == 1 ? NoPaper : __imp_GetDeviceCaps);
        CModalDriver driver([](HWND dialog) { ClickButton(dialog, IDOK); }, 3000);
        // Not 0 / 0 page arithmetic, and not a print the user never confirmed.
        CHECK(Orvanel::Dialog::CPrintPreviewDialog::Show(&layout, &picture) == 0);
        driver.Join();
        CHECK_FALSE(driver.DialogFound());
    }
    CHECK((layout.marginTop == 0.4f && layout.position == 7 && picture.GetBitmapWidth() == 60));
}

// Run on its own with CUPS_SERVER at a missing socket: the machine then has no printer.
TEST_CASE("no printer" * doctest::skip(true)) {
    REQUIRE(Orvanel::Print::DefaultPrinterName().empty());
    COrvanelBitmap picture = Quadrants(60, 30);
    CMargeData layout = DefaultLayout();
    CHECK(Run(
              layout, picture, [](HWND) {}, false) == 0); // not a confirmed print
    CHECK((layout.marginTop == 0.4f && layout.position == 7 && picture.GetBitmapWidth() == 60));
}
