// Each dialog opened, used and closed many times in one process through the exports, as a
// host does: everything the library takes from the system must come back. Every GDI object
// and device context that Quillet.dll makes (or that Halvory.dll makes for it) is kept in a
// ledger until it is released; the process's private bytes and the blocks in use on the C
// runtime's heap and the process heap must stay flat.
#include "host/MargeData.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"
#include "support/GdiHandleLedger.h"
#include "support/ImportPatch.h"

#include <malloc.h>
#include <psapi.h>

#include <functional>
#include <string>

using namespace QuilletTest;

namespace {

// The first rounds fill the caches of the system (classes, fonts, the heap's free lists); what
// grows after them would grow for as long as the host keeps calling.
constexpr int kWarmUpRounds = 10;
constexpr int kRounds = 200;
// Bounds on what 200 rounds may add, chosen from measurements under wine: private bytes moved by
// 32 to 100 KB (the system's own pages), the C runtime's heap by 0 blocks. A preview bitmap is
// about 570 KB, so keeping one per round would add 110 MB; a lost object of any size adds 200
// blocks. Counts after a fixed number of rounds, so the machine's speed plays no part.
constexpr long long kPrivateBytesBound = 1 << 20;
constexpr long long kHeapBlockSlack = 20;

// What the process holds, measured between rounds.
struct Footprint {
    long long privateBytes = 0, heapBlocks = 0, processHeapBlocks = 0;
};

Footprint Measure() {
    Footprint now;
    // Windows gives the private (committed) bytes as PrivateUsage and as PagefileUsage; wine
    // leaves PrivateUsage at 0 and gives its resident anonymous memory as PagefileUsage, which
    // grows the same way when memory is kept.
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    now.privateBytes = static_cast<long long>(counters.PrivateUsage != 0 ? counters.PrivateUsage
                                                                         : counters.PagefileUsage);
    // The heap that operator new of the library, of the host's bitmaps and of this program
    // share: a lost object of any size shows here.
    _HEAPINFO block{};
    while (_heapwalk(&block) == _HEAPOK)
        now.heapBlocks += block._useflag == _USEDENTRY;
    // The process heap, which the printer dialog's record comes from.
    HANDLE heap = GetProcessHeap();
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        now.processHeapBlocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    HeapUnlock(heap);
    return now;
}

// Runs `round` (which answers whether the dialog did as it should) the warm-up rounds and then
// `rounds` more, with the ledger empty and without a fault after each; what the process grew by
// over the counted rounds.
Footprint Soak(const std::string& name, int rounds, const std::function<bool(int)>& round) {
    static CGdiHandleLedger ledger(
        {GetModuleHandleW(L"Quillet.dll"), GetModuleHandleW(L"Halvory.dll")});
    Footprint atStart;
    for (int i = 0; i < kWarmUpRounds + rounds; ++i) {
        if (i == kWarmUpRounds)
            atStart = Measure();
        const unsigned long createdBefore = ledger.Begin(name + ", round " + std::to_string(i));
        CAPTURE(i);
        REQUIRE(round(i));
        // A round the ledger saw nothing of would prove nothing.
        REQUIRE(ledger.Begin(name + ", after round " + std::to_string(i)) > createdBefore);
        REQUIRE_MESSAGE(ledger.Problems().empty(), ledger.Problems());
    }
    const Footprint atEnd = Measure();
    REQUIRE((atStart.privateBytes > 0 && atStart.heapBlocks > 0));
    return {atEnd.privateBytes - atStart.privateBytes, atEnd.heapBlocks - atStart.heapBlocks,
            atEnd.processHeapBlocks - atStart.processHeapBlocks};
}

// One row per dialog: how a host shows it (the export's result), what a user does in it (false
// when the dialog did not answer as it should), and the button that dismisses it.
struct SoakRow {
    std::string name;
    std::function<long long(HWND owner)> show;
    std::function<bool(HWND dialog, int round)> act;
    int dismissId;
    long long dismissAnswer = 0; // the export's answer after the dismissing button or a close
    // Whether the caller's references are as they were given after the dismissing button or a
    // close.
    std::function<bool()> untouched = [] { return true; };
};

// Clicks a button; whether it is then checked.
bool Click(HWND dialog, int id) {
    SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

} // namespace

TEST_CASE("each dialog opened and closed 200 times, the print job run 20 times: all comes back") {
    COrvanelBitmap photo = Pattern(320, 200);
    unsigned long color = 0;
    int n = 0;      // each of the lens flare's integers
    double d = 0.0; // each of the motion blur's doubles
    const SoakRow rows[] = {
        {"About box", [](HWND owner) { return ShowDialogBox(owner); },
         [](HWND dialog, int) { return !ControlText(dialog, IDC_ABOUT_LINE1).empty(); },
         IDC_ABOUT_OK},
        // Each drag re-renders and repaints the preview; the edit box shows what was read.
        {"motion blur", [&](HWND owner) { return ShowMotionBlur(owner, &photo, d = -1.5, d, d); },
         [](HWND dialog, int round) {
             DragSlider(dialog, IDC_MOTION_BLUR_SIGMA, 1 + round % 8);
             return ControlText(dialog, IDC_MOTION_BLUR_SIGMA_EDIT) ==
                    std::to_wstring(1 + round % 8);
         },
         IDCANCEL, 0, [&] { return d == -1.5; }},
        // A click on the matrix, then a hue: each repaints the matrix and the swatch.
        {"colour box", [&](HWND owner) { return ShowColorBox(owner, color = 0x00336699); },
         [](HWND dialog, int round) {
             Mouse(Child(dialog, L"ColorMatrix"), WM_LBUTTONDOWN, 20 + round % 200,
                   30 + round % 190);
             DragSlider(dialog, IDC_COLOR_HUE_SLIDER, round % 361);
             return ControlText(dialog, IDC_COLOR_HEX_EDIT).size() == 7; // "#rrggbb"
         },
         IDCANCEL, 1, [&] { return color == 0x00336699; }},
        // A press on the preview and a slider drag: each renders the flare and repaints.
        {"lens flare",
         [&](HWND owner) {
             return ShowLensFlareDialogBox(owner, &photo, color = 0x0000A0FF, n = -1, n, n, n, n, n,
                                           n);
         },
         [](HWND dialog, int round) {
             Mouse(Child(dialog, L"PreviewWindow"), WM_LBUTTONDOWN, 60 + round % 300,
                   10 + round % 180);
             DragSlider(dialog, IDC_LENS_FLARE_SIZE, 10 + round % 150);
             return ControlText(dialog, IDC_LENS_FLARE_SIZE_EDIT) ==
                    std::to_wstring(10 + round % 150);
         },
         IDCANCEL, 0, [&] { return n == -1 && color == 0x0000A0FF; }},
        {"OpenCL devices", // 1: a device came back
         [](HWND owner) {
             return int(!ShowOpenCLDialogBox(owner, {L"CPU", L"GPU"}).empty());
         },
         [](HWND dialog, int round) {
             SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, round % 2, 0);
             return ControlText(dialog, IDC_OPENCL_DEVICE) == (round % 2 ? L"GPU" : L"CPU");
         },
         IDCANCEL},
        // A margin typed, a position chosen, and the picture turned and back: each rebuilds
        // the miniature. An even number of turns leaves the shared picture as it was.
        {"print setup",
         [&](HWND owner) {
             CMargeData layout{0.4f, 0.4f, 0.4f, 0.4f, 0, false, 0};
             return ShowPrintPreview(owner, &layout, &photo);
         },
         [](HWND dialog, int round) {
             SetDlgItemInt(dialog, IDC_PRINT_MARGIN_BOTTOM, 1 + round % 5, FALSE);
             Click(dialog, IDC_PRINT_POSITION_START + round % 3);
             return Click(dialog, IDC_PRINT_ROTATE) && !Click(dialog, IDC_PRINT_ROTATE);
         },
         IDCANCEL},
        // A box unchecked and checked again. OK registers nothing from this program (its name
        // is not the association program's), so the rounds stay fast; the export answers 1
        // however the dialog ends.
        {"association", [](HWND owner) { return ShowAssociateFilesExtension(owner); },
         [](HWND dialog, int round) {
             return !Click(dialog, IDC_ASSOCIATE_BMP + round % 13) &&
                    Click(dialog, IDC_ASSOCIATE_BMP + round % 13);
         },
         IDCANCEL, 1},
    };
    CHostWindow host;
    for (const SoakRow& row : rows) {
        INFO("dialog: " << row.name);
        const Footprint grown = Soak(row.name, kRounds, [&](int round) {
            // Three ways out in turn: OK (the export answers 1), the dismissing button, the
            // caption's close.
            bool acted = false;
            CModalDriver driver([&](HWND dialog) {
                acted = row.act(dialog, round);
                if (round % 3 == 1) {
                    ClickButton(dialog, row.dismissId);
                } else {
                    PostMessageW(dialog, round % 3 ? WM_SYSCOMMAND : WM_COMMAND,
                                 round % 3 ? SC_CLOSE : IDOK, 0);
                }
            });
            const long long result = row.show(host);
            driver.Join();
            return driver.DialogFound() && !driver.WatchdogFired() && acted &&
                   result == (round % 3 == 0 ? 1 : row.dismissAnswer) &&
                   (round % 3 == 0 || row.untouched());
        });
        CHECK(grown.privateBytes <= kPrivateBytesBound);
        CHECK(grown.heapBlocks <= kHeapBlockSlack);
    }

    // The print job: each round prints one page to the default printer (a real queue in the
    // test session) behind its cancel box, which the job closes itself. Every round is a real
    // print job, so there are fewer of them; the bounds are tightened to match.
    photo.SetBackgroundColor(RGB(40, 120, 200), 0);
    // A picture 3 cm wide (9 cm left and right): wine's printer driver keeps a buffer or two the
    // size of the printed pixels after its first jobs (9 MB each for a picture across an A4
    // page, at times only after several jobs), which would drown what the bounds look for.
    CMargeData margins{2, 2, 9, 9, 0, false, 0};
    CStartedDocuments documents(GetModuleHandleW(L"Quillet.dll"));
    const Footprint printed = Soak("print job", 20, [&](int round) {
        CModalDriver driver([](HWND) {});
        PrintDialog(nullptr, &margins, &photo, false);
        driver.Join();
        return !driver.WatchdogFired() && documents.count == round + 1; // one page each
    });
    CHECK(printed.privateBytes <= kPrivateBytesBound);
    CHECK(printed.heapBlocks <= 4);
    CHECK(printed.processHeapBlocks <= 4); // the printer dialog's record
}
