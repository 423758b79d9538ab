// PrintDialog printing to the session's PDF printer (scripts/printer-session.sh), through the
// DLL as a host calls it. tests/win/print-job-pdf.sh runs the cases in groups: the ones named
// "[...]" only when it asks for them (they print, or need a machine without printers), and
// counts and renders the PDFs each group leaves; "[page check]" reads the rendered page back.
// The unnamed cases print nothing.
#include "dialog/PrintDialog.h"
#include "host/MargeData.h"
#include "host/OrvanelBitmap.h"
#include "layout/PrintedPageLayout.h"
#include "module/Quillet.h"
#include "print/DefaultPrinter.h"
#include "resources/resource.h"
#include "support/ImportPatch.h"
#include "testing/ModalDriver.h"
#include "win32/ModuleInstance.h"

#include <doctest/doctest.h>

#include <dlgs.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

extern "C" {
extern decltype(&StartDocW) __imp_StartDocW;
extern decltype(&HeapAlloc) __imp_HeapAlloc;
}

using namespace QuilletTest;

namespace {

// The picture as shown: red top left, green top right, blue bottom left, yellow bottom right,
// so a page printed mirrored or upside down shows the wrong colour in each quarter.
const COLORREF kQuarters[4] = {RGB(220, 30, 30), RGB(30, 180, 60), RGB(40, 60, 220),
                               RGB(240, 200, 20)};

std::unique_ptr<COrvanelBitmap> Quarters(int width = 240, int height = 160) {
    auto bitmap = std::make_unique<COrvanelBitmap>(width, height, 32);
    for (int y = 0; y < height; ++y) { // buffer rows run bottom-up
        for (int x = 0; x < width; ++x) {
            const int quarter = (y >= height / 2 ? 0 : 2) + (x >= width / 2 ? 1 : 0);
            bitmap->SetColorValue(x, y, kQuarters[quarter]);
        }
    }
    bitmap->SetFilename(L"C:\\pictures\\quarters.png");
    return bitmap;
}

// Top, bottom, right and left margins in centimetres: uneven, so a page turned the wrong way
// shows.
constexpr CMargeData kMargins{5, 4, 2, 3, 0, false, 0};

// PrintDialog with the host's usual arguments while `drive` acts on the cancel box; its
// answer. The box may close before anyone sees it when nothing holds the job.
int Print(COrvanelBitmap* bitmap, CMargeData* margins, bool showPrinterDialog,
          const std::function<void(HWND box)>& drive = {}, bool* boxFound = nullptr) {
    CModalDriver driver(drive ? drive : [](HWND) {});
    const int result = PrintDialog(nullptr, margins, bitmap, showPrinterDialog);
    driver.Join();
    CHECK_FALSE(driver.WatchdogFired());
    if (boxFound != nullptr) {
        *boxFound = driver.DialogFound();
    }
    return result;
}

// The folder the script shares with this program (a Windows path), never missing.
std::string CheckFolder() {
    const char* folder = std::getenv("QUILLET_PRINT_CHECK");
    REQUIRE_MESSAGE(folder != nullptr, "run through tests/win/print-job-pdf.sh");
    return folder;
}

// A binary PPM as pdftoppm writes it: top row first, three bytes a pixel.
struct Ppm {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    COLORREF At(int x, int y) const {
        const size_t at = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return RGB(rgb[at], rgb[at + 1], rgb[at + 2]);
    }
};

Ppm ReadPpm(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    Ppm ppm;
    std::string magic;
    int maximum = 0;
    file >> magic >> ppm.width >> ppm.height >> maximum;
    file.get();
    REQUIRE_MESSAGE((file && magic == "P6" && maximum == 255 && ppm.width > 0), path);
    ppm.rgb.resize(size_t(ppm.width) * size_t(ppm.height) * 3);
    file.read(reinterpret_cast<char*>(ppm.rgb.data()), std::streamsize(ppm.rgb.size()));
    REQUIRE(file);
    return ppm;
}

bool Near(COLORREF got, COLORREF want) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 24) {
            return false;
        }
    }
    return true;
}

// Calls of the dialog's class linked into this program, counted or refused.
std::atomic<int> startedDocuments{0};
decltype(&StartDocW) realStartDoc = nullptr;
int WINAPI CountingStartDoc(HDC dc, const DOCINFOW* document) {
    ++startedDocuments;
    return realStartDoc(dc, document);
}
LPVOID WINAPI RefusingHeapAlloc(HANDLE, DWORD, SIZE_T) { return nullptr; }

// A dialog whose print thread cannot start.
class CThreadlessPrintDialog : public Orvanel::Dialog::CPrintDialog {
    HANDLE StartPrintThread(unsigned&) override { return nullptr; }
};

} // namespace

TEST_CASE("[one page] without the printer dialog one page goes to the default printer" *
          doctest::skip()) {
    auto picture = Quarters();
    CMargeData margins = kMargins;
    CHECK(Print(picture.get(), &margins, false) == 0);

    // Where the page must show the picture, from the printer's own description of its page.
    const std::wstring printer = Orvanel::Print::DefaultPrinterName();
    REQUIRE(!printer.empty());
    HDC dc = CreateDCW(nullptr, printer.c_str(), nullptr, nullptr);
    REQUIRE(dc != nullptr);
    const auto placement = Orvanel::Layout::PlaceImageOnPage(
        margins.marginLeft, margins.marginTop, margins.marginRight, margins.marginBottom,
        GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, HORZSIZE),
        GetDeviceCaps(dc, VERTSIZE), picture->GetBitmapWidth(), picture->GetBitmapHeight());
    std::ofstream(CheckFolder() + "/expected.txt")
        << GetDeviceCaps(dc, PHYSICALWIDTH) << ' ' << GetDeviceCaps(dc, PHYSICALHEIGHT) << ' '
        << GetDeviceCaps(dc, PHYSICALOFFSETX) << ' ' << GetDeviceCaps(dc, PHYSICALOFFSETY) << ' '
        << placement.left << ' ' << placement.top << ' ' << placement.width << ' '
        << placement.height << '\n';
    DeleteDC(dc);
    CHECK(placement.drawable);
}

TEST_CASE("[page check] the page shows the picture upright where the margins put it" *
          doctest::skip()) {
    // In printer pixels: the sheet, the offset of its printable area, the picture's placement.
    struct {
        int pageWidth = 0, pageHeight = 0, offsetX = 0, offsetY = 0, left = 0, top = 0, width = 0,
            height = 0;
    } e;
    std::ifstream(CheckFolder() + "/expected.txt") >> e.pageWidth >> e.pageHeight >> e.offsetX >>
        e.offsetY >> e.left >> e.top >> e.width >> e.height;
    REQUIRE((e.pageWidth > 0 && e.width > 0 && e.height > 0));
    const Ppm page = ReadPpm(CheckFolder() + "/page.ppm");
    // The rendered page and the printer's page are the same sheet at another resolution.
    const auto sample = [&](int x, int y) {
        return page.At((e.offsetX + x) * page.width / e.pageWidth,
                       (e.offsetY + y) * page.height / e.pageHeight);
    };
    struct Point {
        const char* where;
        int x, y;
        COLORREF want;
    };
    // Each corner of the picture, four rendered pixels inside and outside it: a picture moved,
    // turned or mirrored, or drawn at another size, puts another colour there.
    const int d = 4 * e.pageWidth / page.width;
    const int right = e.left + e.width - 1, bottom = e.top + e.height - 1;
    const COLORREF white = RGB(255, 255, 255);
    const Point points[] = {
        {"top left corner", e.left + d, e.top + d, kQuarters[0]},
        {"top right corner", right - d, e.top + d, kQuarters[1]},
        {"bottom left corner", e.left + d, bottom - d, kQuarters[2]},
        {"bottom right corner", right - d, bottom - d, kQuarters[3]},
        {"left of the picture", e.left - d, e.top + d, white},
        {"above the picture", e.left + d, e.top - d, white},
        {"right of the picture", right + d, bottom - d, white},
        {"below the picture", right - d, bottom + d, white},
    };
    for (const Point& p : points) {
        INFO(p.where << " at printer pixel " << p.x << ", " << p.y);
        const COLORREF got = sample(p.x, p.y);
        CHECK_MESSAGE(Near(got, p.want), std::hex << got << " where " << p.want << " belongs");
    }
}

TEST_CASE("[five documents] three copies chosen in the printer dialog" * doctest::skip()) {
    auto picture = Quarters();
    CMargeData margins = kMargins;
    bool copiesSet = false;
    CHECK(Print(picture.get(), &margins, true, [&](HWND box) {
              HWND printerDialog = WaitForOwnedDialog(box);
              copiesSet = SetDlgItemInt(printerDialog, edt3, 3, FALSE) != 0;
              PostMessageW(printerDialog, WM_COMMAND, IDOK, 0);
          }) == 0);
    CHECK(copiesSet);
}

TEST_CASE("[five documents] margins that leave no room: a page without the picture" *
          doctest::skip()) {
    auto picture = Quarters();
    for (float margin : {15.0f, -1e30f}) { // past the sheet, and absurd
        CMargeData margins{margin, margin, margin, margin, 0, false, 0};
        CHECK(Print(picture.get(), &margins, false) == 0);
    }
}

TEST_CASE("[no printer] a machine without printers: nothing printed, the box closes" *
          doctest::skip()) {
    REQUIRE(Orvanel::Print::DefaultPrinterName().empty());
    auto picture = Quarters();
    CMargeData margins = kMargins;
    CHECK(Print(picture.get(), &margins, false) == 0);
    // The job itself (linked into this program) does not take it for a print.
    CHECK(Orvanel::Print::PrintImage({nullptr, &margins, picture.get(), false}) == 0);
}

TEST_CASE("the box while the printer dialog holds the job; cancelled, nothing prints") {
    auto picture = Quarters();
    CMargeData margins = kMargins;
    std::wstring title;
    UINT closeState = 0;
    int second = -1;
    HWND secondBox = nullptr;
    bool printerDialogFound = false;
    CHECK(Print(picture.get(), &margins, true, [&](HWND box) {
              title = WindowText(box);
              closeState = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
              HWND printerDialog = WaitForOwnedDialog(box);
              printerDialogFound = printerDialog != nullptr;
              // A second job while this one runs: refused at once, without a box. (Were it run, it
              // would print a page, which the script counts.)
              CModalDriver secondDriver([&](HWND other) { secondBox = other; });
              second = PrintDialog(nullptr, &margins, picture.get(), false);
              secondDriver.Join();
              PostMessageW(printerDialog, WM_COMMAND, IDCANCEL, 0);
          }) == 0);
    CHECK(title == L"Impression ...");
    CHECK((closeState & MF_GRAYED) != 0);
    CHECK(printerDialogFound);
    CHECK(second == 0);
    CHECK(secondBox == nullptr);
}

TEST_CASE("nothing to print, or no thread to print it: no box stays open") {
    CMargeData margins = kMargins;
    COrvanelBitmap empty;
    auto picture = Quarters();
    const std::pair<COrvanelBitmap*, CMargeData*> calls[] = {
        {nullptr, &margins}, {&empty, &margins}, {picture.get(), nullptr}};
    for (const auto& [bitmap, layout] : calls) {
        bool boxFound = true;
        CHECK(Print(bitmap, layout, false, {}, &boxFound) == 0);
        CHECK_FALSE(boxFound);
    }
}

TEST_CASE("the dialog's own class: no thread, no record, or \"Annuler\" before the first copy") {
    auto picture = Quarters();
    CMargeData margins = kMargins;
    // The class linked into this program, on the DLL's templates, calls the system through this
    // program's import entries, which the cases below count or make fail.
    Orvanel::Win32::SetModuleInstance(GetModuleHandleW(L"Quillet.dll"));
    const auto run = [&](Orvanel::Dialog::CPrintDialog& dialog, bool showPrinterDialog,
                         const std::function<void(HWND)>& drive) {
        dialog.margins = &margins;
        dialog.bitmap = picture.get();
        dialog.showPrinterDialog = showPrinterDialog;
        CModalDriver driver(drive, 5000);
        dialog.RunModal(IDD_PRINT_JOB, nullptr);
        driver.Join();
        CHECK_FALSE(driver.WatchdogFired());
        CHECK(dialog.cancelBox == nullptr);
    };
    SUBCASE("a thread that cannot start leaves no box open") {
        CThreadlessPrintDialog dialog;
        run(dialog, false, [](HWND) {});
    }
    SUBCASE("without memory for the printer dialog's record the box still closes") {
        ImportPatch<decltype(&HeapAlloc)> refuse(__imp_HeapAlloc, RefusingHeapAlloc);
        Orvanel::Dialog::CPrintDialog dialog;
        run(dialog, true, [](HWND) {});
    }
    SUBCASE("\"Annuler\" while the printer dialog is open: no document is started") {
        startedDocuments = 0;
        ImportPatch<decltype(&StartDocW)> count(__imp_StartDocW, CountingStartDoc);
        realStartDoc = count.Original();
        Orvanel::Dialog::CPrintDialog dialog;
        HWND printerDialog = nullptr;
        run(dialog, true, [&](HWND box) {
            printerDialog = WaitForOwnedDialog(box);
            // What the button sends; synchronous, so the flag is up before a printer is chosen.
            SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL)));
            PostMessageW(printerDialog, WM_COMMAND, IDOK, 0);
        });
        CHECK(printerDialog != nullptr);
        CHECK(startedDocuments == 0);
    }
}
