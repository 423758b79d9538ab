// ShowPrintPreview driven as a user would, against the session's A4 printer: the miniature's
// pixels on screen, margin edits, the position buttons, the quarter turn of the host's bitmap,
// and what the host's layout record holds (what each ending answers is checked by the soak). The
// page arithmetic itself is pinned by the native layout tests; here it only says what the screen
// must show.
#include "host/MargeData.h"
#include "layout/PrintPreviewLayout.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <cstring>
#include <string>

using namespace QuilletTest;
using namespace Orvanel::Layout;

namespace {

constexpr COLORREF kSurround = RGB(161, 157, 157), kPage = RGB(255, 255, 255);

// The paper of the session's queue, A4 portrait, in millimetres as wine reports it.
constexpr int kPaperWidth = 209, kPaperHeight = 297;

HWND Miniature(HWND dialog) { return Child(dialog, L"PreviewPrint"); }

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
    return PictureMismatches(Miniature(dialog), copy, area.left, area.top, [](int x, int y) {
        const PixelRect& p = page;
        return x >= p.left && x < p.right && y >= p.top && y < p.bottom ? kPage : kSurround;
    });
}

bool SameBitmap(COrvanelBitmap& a, COrvanelBitmap& b) {
    return a.GetBitmapWidth() == b.GetBitmapWidth() && a.GetBitmapHeight() == b.GetBitmapHeight() &&
           std::memcmp(a.GetPtBitmap(), b.GetPtBitmap(),
                       size_t(4) * a.GetBitmapWidth() * a.GetBitmapHeight()) == 0;
}

// Position 7 matches no button: none is checked until the user picks one.
constexpr CMargeData kDefaultLayout{0.4f, 0.4f, 0.4f, 0.4f, 5, false, 7};

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

TEST_CASE("the page as it opens, the quarter turn, the position buttons and margin edits") {
    COrvanelBitmap picture = Quarters(600, 300), original = Quarters(600, 300);
    CMargeData layout = kDefaultLayout;
    layout.marginLeft = 1.0f;
    Run(layout, picture, [&](HWND dialog) {
        CHECK(Placement(dialog, Miniature(dialog)) == "20,45 260x260");
        RECT client{}; // inside the border and the edge
        GetClientRect(Miniature(dialog), &client);
        CHECK((client.right == 256 && client.bottom == 256));
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
        CHECK(SameBitmap(picture, original));
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
}

// Opened with the turn already chosen, a wide picture is turned as the dialog opens; like a tall
// picture without a turn, it then moves left and right.
TEST_CASE("opened with the turn chosen, a wide picture is turned; a tall one is not") {
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
