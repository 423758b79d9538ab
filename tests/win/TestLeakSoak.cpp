// Each dialog opened, used and closed many times in one process through the exports, as a
// host does: everything the library takes from the system must come back. Every GDI object,
// device context and window that Quillet.dll makes (or that Halvory.dll makes for it) is kept
// in a ledger until it is released; the process's private bytes and the blocks in use on the C
// runtime's heap must stay flat.
#include "host/MargeData.h"
#include "host/OrvanelBitmap.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/GdiHandleLedger.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <malloc.h>
#include <psapi.h>

#include <functional>
#include <memory>
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
constexpr long long kGuiObjectSlack = 8;

// One row per dialog: how a host shows it (the export's result), what a user does in it (false
// when the dialog did not answer as it should), and the button that dismisses it.
struct SoakRow {
    const char* name;
    std::function<long long(HWND owner)> show;
    std::function<bool(HWND dialog, int round)> act;
    int dismissId;
    long long dismissAnswer = 0; // the export's answer after the dismissing button or a close
};

// Three ways out in turn: OK (the export answers 1), the dismissing button, the caption's close.
// Gives what the export must answer.
long long CloseInTurn(HWND dialog, int round, const SoakRow& row) {
    switch (round % 3) {
    case 0:
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return 1;
    case 1:
        ClickButton(dialog, row.dismissId);
        return row.dismissAnswer;
    default:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return row.dismissAnswer;
    }
}

// What the process holds, measured between rounds; -1 for a count the system does not keep.
struct Footprint {
    long long privateBytes = 0, heapBlocks = 0, gdiObjects = -1, userObjects = -1;
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
    while (_heapwalk(&block) == _HEAPOK) {
        now.heapBlocks += block._useflag == _USEDENTRY ? 1 : 0;
    }
    // Wine keeps no such counts: GetGuiResources answers 0 with ERROR_CALL_NOT_IMPLEMENTED, and
    // the ledger alone counts the handles then.
    SetLastError(ERROR_SUCCESS);
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        now.gdiObjects = gdi;
        now.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    }
    return now;
}

// Blocks in use on the process heap.
long long ProcessHeapBlocks() {
    HANDLE heap = GetProcessHeap();
    long long blocks = 0;
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 ? 1 : 0;
    }
    HeapUnlock(heap);
    return blocks;
}

} // namespace

TEST_CASE("each dialog, opened and closed 200 times, gives back everything it takes") {
    HMODULE quillet = GetModuleHandleW(L"Quillet.dll");
    HMODULE halvory = GetModuleHandleW(L"Halvory.dll");
    REQUIRE((quillet != nullptr && halvory != nullptr));
    CGdiHandleLedger ledger({quillet, halvory});

    COrvanelBitmap photo(320, 200, 32);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            photo.SetColorValue(x, y, RGB((x * 255) / 319, (y * 255) / 199, (x ^ y) & 0xFF));
        }
    }
    const SoakRow rows[] = {
        {"About box", [](HWND owner) { return static_cast<long long>(ShowDialogBox(owner)); },
         [](HWND dialog, int) { return !ControlText(dialog, IDC_ABOUT_LINE1).empty(); },
         IDC_ABOUT_OK},
        {"motion blur",
         [&photo](HWND owner) {
             double radius = 0, sigma = 0, angle = 0;
             return static_cast<long long>(ShowMotionBlur(owner, &photo, radius, sigma, angle));
         },
         // Each drag re-renders and repaints the preview; the edit box shows what was read.
         [](HWND dialog, int round) {
             const int sigma = 1 + round % 8;
             DragSlider(dialog, IDC_MOTION_BLUR_SIGMA, sigma);
             return ControlText(dialog, IDC_MOTION_BLUR_SIGMA_EDIT) == std::to_wstring(sigma);
         },
         IDCANCEL},
        {"colour box",
         [](HWND owner) {
             unsigned long color = 0x00336699;
             return static_cast<long long>(ShowColorBox(owner, color));
         },
         // A click on the matrix, then a hue: each repaints the matrix and the swatch.
         [](HWND dialog, int round) {
             HWND matrix = FindWindowExW(dialog, nullptr, L"ColorMatrix", nullptr);
             const LPARAM point = MAKELPARAM(20 + round % 200, 30 + round % 190);
             SendMessageW(matrix, WM_LBUTTONDOWN, MK_LBUTTON, point);
             SendMessageW(matrix, WM_LBUTTONUP, 0, point);
             DragSlider(dialog, IDC_COLOR_HUE_SLIDER, round % 361);
             return ControlText(dialog, IDC_COLOR_HEX_EDIT).size() == 7; // "#rrggbb"
         },
         IDCANCEL, 1},
        {"lens flare",
         [&photo](HWND owner) {
             unsigned long color = 0x0000A0FF;
             int x = 0, y = 0, size = 0, reserved = 0, brightness = 0, hue = 0, intensity = 0;
             return static_cast<long long>(ShowLensFlareDialogBox(
                 owner, &photo, color, x, y, size, reserved, brightness, hue, intensity));
         },
         // A press on the preview and a slider drag: each renders the flare and repaints.
         [](HWND dialog, int round) {
             HWND preview = FindWindowExW(dialog, nullptr, L"PreviewWindow", nullptr);
             const LPARAM point = MAKELPARAM(60 + round % 300, 10 + round % 180);
             SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, point);
             SendMessageW(preview, WM_LBUTTONUP, 0, point);
             const int size = 10 + round % 150;
             DragSlider(dialog, IDC_LENS_FLARE_SIZE, size);
             return ControlText(dialog, IDC_LENS_FLARE_SIZE_EDIT) == std::to_wstring(size);
         },
         IDCANCEL},
        {"OpenCL devices",
         [](HWND owner) {
             const std::wstring chosen = ShowOpenCLDialogBox(owner, {L"CPU device", L"GPU device"});
             return static_cast<long long>(!chosen.empty()); // 1: a device came back
         },
         [](HWND dialog, int round) {
             SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, round % 2, 0);
             return ControlText(dialog, IDC_OPENCL_DEVICE) ==
                    (round % 2 ? L"GPU device" : L"CPU device");
         },
         IDCANCEL},
        {"print setup",
         [&photo](HWND owner) {
             CMargeData layout{0.4f, 0.4f, 0.4f, 0.4f, 0, false, 0};
             return static_cast<long long>(ShowPrintPreview(owner, &layout, &photo));
         },
         // A margin typed, a position chosen, and the picture turned and back: each rebuilds
         // the miniature. An even number of turns leaves the shared picture as it was.
         [](HWND dialog, int round) {
             const std::wstring margin = std::to_wstring(1 + round % 5);
             SetDlgItemTextW(dialog, IDC_PRINT_MARGIN_BOTTOM, margin.c_str());
             SendDlgItemMessageW(dialog, IDC_PRINT_POSITION_START + round % 3, BM_CLICK, 0, 0);
             SendDlgItemMessageW(dialog, IDC_PRINT_ROTATE, BM_CLICK, 0, 0);
             const bool turned = ControlText(dialog, IDC_PRINT_POSITION_START) == L"Gauche";
             SendDlgItemMessageW(dialog, IDC_PRINT_ROTATE, BM_CLICK, 0, 0);
             return turned && ControlText(dialog, IDC_PRINT_POSITION_START) == L"Haut";
         },
         IDCANCEL},
        // A box unchecked and checked again. OK registers nothing from this program (its name
        // is not the association program's), so the rounds stay fast; the export answers 1
        // however the dialog ends.
        {"association",
         [](HWND owner) { return static_cast<long long>(ShowAssociateFilesExtension(owner)); },
         [](HWND dialog, int round) {
             const int box = IDC_ASSOCIATE_BMP + round % 13;
             SendDlgItemMessageW(dialog, box, BM_CLICK, 0, 0);
             const bool cleared = IsDlgButtonChecked(dialog, box) == BST_UNCHECKED;
             SendDlgItemMessageW(dialog, box, BM_CLICK, 0, 0);
             return cleared && IsDlgButtonChecked(dialog, box) == BST_CHECKED;
         },
         IDCANCEL, 1},
    };
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    for (const SoakRow& row : rows) {
        CAPTURE(row.name);
        Footprint atStart;
        for (int round = 0; round < kWarmUpRounds + kRounds; ++round) {
            if (round == kWarmUpRounds) {
                atStart = Measure();
            }
            ledger.SetContext(std::string(row.name) + ", round " + std::to_string(round));
            const unsigned long createdBefore = ledger.Created();
            bool acted = false;
            long long expected = -2;
            CModalDriver driver([&](HWND dialog) {
                acted = row.act(dialog, round);
                expected = CloseInTurn(dialog, round, row);
            });
            const long long result = row.show(host);
            driver.Join();

            CAPTURE(round);
            REQUIRE((driver.DialogFound() && !driver.WatchdogFired() && acted));
            REQUIRE(result == expected);
            // A round the ledger saw nothing of would prove nothing.
            REQUIRE(ledger.Created() > createdBefore);
            REQUIRE_MESSAGE(ledger.FirstFault().empty(), ledger.FirstFault());
            REQUIRE_MESSAGE(ledger.Leaks().empty(), "still live:\n" << ledger.Leaks());
        }
        const Footprint atEnd = Measure();
        REQUIRE((atStart.privateBytes > 0 && atStart.heapBlocks > 0));
        CHECK(atEnd.privateBytes - atStart.privateBytes <= kPrivateBytesBound);
        CHECK(atEnd.heapBlocks - atStart.heapBlocks <= kHeapBlockSlack);
        if (atStart.gdiObjects >= 0) {
            CHECK(atEnd.gdiObjects - atStart.gdiObjects <= kGuiObjectSlack);
            CHECK(atEnd.userObjects - atStart.userObjects <= kGuiObjectSlack);
        }
    }
    DestroyWindow(host);
}

// The print job: each round prints one page to the default printer (a real queue in the test
// session) behind its cancel box, which the job closes itself. Every round is a real print job,
// so there are fewer of them; the bounds are tightened to match.
TEST_CASE("the print job, run 20 times, gives back everything it takes") {
    constexpr int kPrintRounds = 20, kPrintWarmUp = 10;
    HMODULE quillet = GetModuleHandleW(L"Quillet.dll");
    HMODULE halvory = GetModuleHandleW(L"Halvory.dll");
    REQUIRE((quillet != nullptr && halvory != nullptr));
    CGdiHandleLedger ledger({quillet, halvory});
    COrvanelBitmap photo(320, 200, 32);
    photo.SetBackgroundColor(RGB(40, 120, 200), 0);
    // A picture 3 cm wide (9 cm left and right): wine's printer driver keeps a buffer or two the
    // size of the printed pixels after its first jobs (9 MB each for a picture across an A4
    // page, at times only after several jobs), which would drown what the bounds look for.
    CMargeData margins{2, 2, 9, 9, 0, false, 0};
    Footprint atStart;
    DWORD handlesAtStart = 0, handles = 0;
    long long processHeapAtStart = 0;
    for (int round = 0; round < kPrintWarmUp + kPrintRounds; ++round) {
        if (round == kPrintWarmUp) {
            atStart = Measure();
            GetProcessHandleCount(GetCurrentProcess(), &handlesAtStart);
            processHeapAtStart = ProcessHeapBlocks();
        }
        ledger.SetContext("print job, round " + std::to_string(round));
        const unsigned long createdBefore = ledger.Created();
        CModalDriver driver([](HWND) {});
        const int result = PrintDialog(nullptr, &margins, &photo, false);
        driver.Join();

        CAPTURE(round);
        REQUIRE((result == 0 && !driver.WatchdogFired()));
        REQUIRE(ledger.Created() > createdBefore); // the printer's device context at least
        REQUIRE_MESSAGE(ledger.FirstFault().empty(), ledger.FirstFault());
        REQUIRE_MESSAGE(ledger.Leaks().empty(), "still live:\n" << ledger.Leaks());
    }
    const Footprint atEnd = Measure();
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    // The printer dialog's record comes from the process heap, which the C runtime's is not.
    CHECK(ProcessHeapBlocks() - processHeapAtStart <= 4);
    // A thread or printer handle kept per job would show as one per round. Wine counts no
    // handles (0 each time): there the ledger and the private bytes remain.
    CHECK(handles <= handlesAtStart + 2);
    CHECK(atEnd.privateBytes - atStart.privateBytes <= kPrivateBytesBound);
    CHECK(atEnd.heapBlocks - atStart.heapBlocks <= 4);
    if (atStart.gdiObjects >= 0) {
        CHECK(atEnd.gdiObjects - atStart.gdiObjects <= kGuiObjectSlack);
    }
}
