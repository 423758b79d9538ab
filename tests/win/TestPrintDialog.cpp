// PrintDialog printing to the session's PDF printer (scripts/printer-session.sh), through the
// DLL as a host calls it. tests/win/print-job-pdf.sh runs the cases in groups: the ones named
// "[...]" only when it asks for them (the pages it checks, a machine without printers), and
// counts and renders the PDFs each group leaves; "[page check]" reads the rendered page back.
// The unnamed cases print six pages between them. The export always answers 0: what the job
// did is read from the documents it started, the boxes it showed and the PDFs.
#include "host/MargeData.h"
#include "layout/PrintedPageLayout.h"
#include "module/Quillet.h"
#include "print/DefaultPrinter.h"
#include "print/PrintJob.h"
#include "support/DialogHarness.h"
#include "support/ImportPatch.h"

#include <dlgs.h>
#include <process.h>
#include <winspool.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace QuilletTest;

namespace {

// Top, bottom, right and left margins in centimetres: uneven, so a page turned the wrong way
// shows.
constexpr CMargeData kMargins{5, 4, 2, 3, 0, false, 0};

COrvanelBitmap Picture() {
    COrvanelBitmap picture = Quarters(240, 160);
    picture.SetFilename(L"C:\\pictures\\quarters.png");
    return picture;
}

// PrintDialog with the host's usual arguments while `drive` acts on the cancel box (which may
// close before anyone sees it when nothing holds the job); the documents the DLL started.
int Print(
    COrvanelBitmap* bitmap, CMargeData* margins, bool showPrinterDialog,
    const std::function<void(HWND box)>& drive = [](HWND) {}) {
    CStartedDocuments documents(GetModuleHandleW(L"Quillet.dll"));
    CModalDriver driver(drive);
    PrintDialog(nullptr, margins, bitmap, showPrinterDialog);
    driver.Join();
    CHECK_FALSE(driver.WatchdogFired());
    return documents.count;
}

std::wstring DefaultPrinter() {
    wchar_t name[256] = {};
    DWORD size = 256;
    return GetDefaultPrinterW(name, &size) ? name : L"";
}

} // namespace

TEST_CASE("[one page] without the printer dialog one page goes to the default printer" *
          doctest::skip()) {
    COrvanelBitmap picture = Picture();
    CMargeData margins = kMargins;
    CHECK(Print(&picture, &margins, false) == 1);
}

TEST_CASE("[page check] the page shows the picture upright where the margins put it" *
          doctest::skip()) {
    // Where the page must show the picture, from the printer's own description of its page, in
    // printer pixels.
    COrvanelBitmap picture = Picture();
    HDC dc = CreateDCW(nullptr, DefaultPrinter().c_str(), nullptr, nullptr);
    REQUIRE(dc != nullptr);
    const auto placed = Orvanel::Layout::PlaceImageOnPage(
        kMargins.marginLeft, kMargins.marginTop, kMargins.marginRight, kMargins.marginBottom,
        GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, HORZSIZE),
        GetDeviceCaps(dc, VERTSIZE), picture.GetBitmapWidth(), picture.GetBitmapHeight());
    const int pageWidth = GetDeviceCaps(dc, PHYSICALWIDTH),
              pageHeight = GetDeviceCaps(dc, PHYSICALHEIGHT),
              offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX),
              offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    DeleteDC(dc);
    REQUIRE((placed.drawable && pageWidth > 0 && placed.width > 0 && placed.height > 0));
    // A binary PPM as pdftoppm writes it, top row first, three bytes a pixel: the same sheet
    // as the printer's page at another resolution.
    const char* folder = std::getenv("QUILLET_PRINT_CHECK"); // the script's, a Windows path
    REQUIRE_MESSAGE(folder != nullptr, "run through tests/win/print-job-pdf.sh");
    std::ifstream file(std::string(folder) + "/page.ppm", std::ios::binary);
    std::string magic;
    int ppmWidth = 0, ppmHeight = 0, maximum = 0;
    file >> magic >> ppmWidth >> ppmHeight >> maximum;
    file.get();
    std::vector<unsigned char> rgb(size_t(ppmWidth) * size_t(ppmHeight) * 3);
    file.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    REQUIRE_MESSAGE((file && magic == "P6" && maximum == 255 && ppmWidth > 0), "page.ppm");
    const auto shows = [&](int x, int y, COLORREF want) {
        const size_t at = (size_t((offsetY + y) * ppmHeight / pageHeight) * size_t(ppmWidth) +
                           size_t((offsetX + x) * ppmWidth / pageWidth)) *
                          3;
        for (int channel = 0; channel < 3; ++channel) {
            if (std::abs(int(rgb[at + channel]) - int(want >> (8 * channel) & 0xFF)) > 24)
                return false;
        }
        return true;
    };
    // Each corner of the picture four rendered pixels inside it, and beside it outwards across
    // and down: a picture moved, turned or mirrored, or drawn at another size, puts another
    // colour there.
    const int d = 4 * pageWidth / ppmWidth;
    for (int corner = 0; corner < 4; ++corner) {
        const int outX = corner % 2 ? 2 * d : -2 * d, outY = corner / 2 ? 2 * d : -2 * d;
        const int x = corner % 2 ? placed.left + placed.width - 1 - d : placed.left + d;
        const int y = corner / 2 ? placed.top + placed.height - 1 - d : placed.top + d;
        INFO("corner " << corner << " at printer pixel " << x << ", " << y);
        CHECK(shows(x, y, kQuarterColors[corner]));
        CHECK(shows(x + outX, y, RGB(255, 255, 255)));
        CHECK(shows(x, y + outY, RGB(255, 255, 255)));
    }
}

TEST_CASE("[large page] at 2400 dpi: 152 million pixels printed from a copy of one million" *
          doctest::skip()) {
    // The job's own drawing, with a bound that keeps it quick, on the default printer at 2400 dpi.
    Orvanel::Print::CDefaultPrinter printer;
    REQUIRE(Orvanel::Print::GetDefaultPrinterOrientation(printer) == 0);
    printer.settings.get()->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
    printer.settings.get()->dmPrintQuality = printer.settings.get()->dmYResolution = 2400;
    HDC dc = CreateDCW(nullptr, printer.name.c_str(), nullptr, printer.settings.get());
    REQUIRE(GetDeviceCaps(dc, LOGPIXELSY) == 2400);
    COrvanelBitmap picture = Picture();
    DOCINFOW document{sizeof document, L"large page", nullptr, nullptr, 0};
    CHECK((StartDocW(dc, &document) > 0 && StartPage(dc) > 0));
    Orvanel::Print::DrawImageOnPage(kMargins, picture, dc, 1 << 20);
    CHECK((EndPage(dc) > 0 && EndDoc(dc) > 0));
    DeleteDC(dc);
}

TEST_CASE("three copies chosen in the printer dialog, two pages without room") {
    COrvanelBitmap picture = Picture();
    CMargeData margins = kMargins;
    CHECK(Print(&picture, &margins, true, [&](HWND box) {
              HWND printerDialog = WaitForOwnedDialog(box);
              CHECK(SetDlgItemInt(printerDialog, edt3, 3, FALSE) != 0);
              PostMessageW(printerDialog, WM_COMMAND, IDOK, 0);
          }) == 3);
    // Margins past the sheet, and absurd ones: a page without the picture, each.
    for (float margin : {15.0f, -1e30f}) {
        CMargeData none{margin, margin, margin, margin, 0, false, 0};
        CHECK(Print(&picture, &none, false) == 1);
    }
}

TEST_CASE("[no printer] a machine without printers: nothing printed, the box closes" *
          doctest::skip()) {
    REQUIRE(DefaultPrinter().empty());
    COrvanelBitmap picture = Picture();
    CMargeData margins = kMargins;
    CHECK(Print(&picture, &margins, false) == 0);
    // The job itself (linked into this program) does not take it for a print.
    CHECK(Orvanel::Print::PrintImage({nullptr, &margins, &picture, false}) == 0);
    // Nor is there a page to lay the picture out on: the setup dialog is not shown.
    CHECK(RunDialog([&] { return ShowPrintPreview(nullptr, &margins, &picture); }, [](HWND) {},
                    false) == 0);
    CHECK((margins.marginTop == 5 && margins.position == 0 && picture.GetBitmapWidth() == 240));
}

TEST_CASE("the box while the printer dialog holds the job; cancelled there or in the box") {
    COrvanelBitmap picture = Picture();
    CMargeData margins = kMargins;
    for (bool inTheBox : {false, true}) { // "Annuler" in the box, then a printer chosen
        CAPTURE(inTheBox);
        CHECK(Print(&picture, &margins, true, [&](HWND box) {
                  CHECK(WindowText(box) == L"Impression ...");
                  CHECK((GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND) &
                         MF_GRAYED) != 0);
                  HWND printerDialog = WaitForOwnedDialog(box);
                  CHECK(printerDialog != nullptr);
                  // A second job while this one runs: refused at once, without a box.
                  CModalDriver second([](HWND) {});
                  PrintDialog(nullptr, &margins, &picture, false);
                  second.Join();
                  CHECK_FALSE(second.DialogFound());
                  // What the button sends; synchronous, so the flag is up before a printer is
                  // chosen.
                  if (inTheBox)
                      SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL)));
                  PostMessageW(printerDialog, WM_COMMAND, inTheBox ? IDOK : IDCANCEL, 0);
              }) == 0);
    }
}

TEST_CASE("the box held by its caption as the job ends: PrintDialog returns, the button down") {
    COrvanelBitmap picture = Picture();
    CMargeData margins = kMargins;
    static const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr),
                        returned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const ImportPatch<decltype(&StartDocW)> hold(
        GetModuleHandleW(L"Quillet.dll"), "StartDocW", [](HDC dc, const DOCINFOW* d) {
            return WaitForSingleObject(held, 20000), StartDocW(dc, d);
        });
    const DWORD ui = GetCurrentThreadId();
    // Not the harness's driver: it keeps the real pointer's messages from the dialog's thread.
    std::thread driver([&] {
        const HWND box = WaitForOwnedDialog(nullptr);
        RECT frame{};
        GetWindowRect(box, &frame);
        const int x = (frame.left + frame.right) / 2;
        const int y =
            frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        // Moved and pressed in one event: a pointer warped apart may press where it was.
        INPUT button{INPUT_MOUSE, {}};
        button.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        button.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
        button.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        SendInput(1, &button, sizeof button);
        GUITHREADINFO thread{sizeof thread, 0, {}, {}, {}, {}, {}, {}, {}};
        for (DWORD begun = GetTickCount();
             GetTickCount() - begun < 5000 && thread.hwndMoveSize != box; Sleep(10))
            GetGUIThreadInfo(ui, &thread);
        CHECK_MESSAGE(thread.hwndMoveSize == box, "a press on the caption moves nothing");
        SetEvent(held);
        CHECK_MESSAGE(WaitForSingleObject(returned, 5000) == WAIT_OBJECT_0, "PrintDialog waits");
        button.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &button, sizeof button);
        if (WaitForSingleObject(returned, 0) != WAIT_OBJECT_0) // the loop ends on Escape too
            PostThreadMessageW(ui, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    PrintDialog(nullptr, &margins, &picture, false);
    SetEvent(returned);
    driver.join();
}

TEST_CASE("a print thread that cannot start: no box left open, nothing printed") {
    COrvanelBitmap picture = Picture();
    CMargeData margins = kMargins;
    const ImportPatch<decltype(&_beginthreadex)> noThread(
        GetModuleHandleW(L"Quillet.dll"), "_beginthreadex",
        [](void*, unsigned, _beginthreadex_proc_type, void*, unsigned, unsigned*) -> uintptr_t {
            return 0;
        });
    CHECK(Print(&picture, &margins, false) == 0);
}
