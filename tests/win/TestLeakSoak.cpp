// Each dialog opened, used and closed many times in one process through the exports, as a
// host does: everything the library takes from the system must come back. Every GDI object,
// device context and window that Quillet.dll makes (or that Halvory.dll makes for it) is kept
// in a ledger until it is released; the process's private bytes and the blocks in use on the C
// runtime's heap must stay flat.
#include "host/OrvanelBitmap.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/GdiHandleLedger.h"
#include "support/ModalDriver.h"
#include "support/ModuleImportPatch.h"
#include "support/UserActions.h"

#include <doctest/doctest.h>

#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using QuilletTest::CGdiHandleLedger;
using QuilletTest::ClickButton;
using QuilletTest::CModalDriver;
using QuilletTest::ControlText;
using QuilletTest::DragSlider;

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

// One row per dialog: how a host shows it, what a user does in it, how the round closes it.
struct SoakRow {
    const char* name;
    // Calls the export (returns when the dialog has closed) and gives its result.
    std::function<long long(HWND owner)> show;
    // Runs on the driving thread while the dialog is open; false when the dialog did not
    // answer the action as it should.
    std::function<bool(HWND dialog, int round)> act;
    // Closes the dialog this round's way and says what the export must then return.
    std::function<long long(HWND dialog, int round)> close;
    // Calls that every round must make: the proof that the ledger sees the dialog's work.
    std::vector<const char*> everyRoundCalls;
};

// Three ways out in turn: the confirming command, the dismissing button, the caption's close.
long long CloseInTurn(HWND dialog, int round, int confirmId, long long confirmed, int dismissId) {
    switch (round % 3) {
    case 0:
        PostMessageW(dialog, WM_COMMAND, confirmId, 0);
        return confirmed;
    case 1:
        ClickButton(dialog, dismissId);
        return 0;
    default:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
}

std::unique_ptr<COrvanelBitmap> Photo() {
    auto bitmap = std::make_unique<COrvanelBitmap>(320, 200, 32);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            bitmap->SetColorValue(x, y, RGB((x * 255) / 319, (y * 255) / 199, (x ^ y) & 0xFF));
        }
    }
    return bitmap;
}

std::vector<SoakRow> Rows(COrvanelBitmap* photo) {
    return {
        {"About box",
         [](HWND owner) { return static_cast<long long>(ShowDialogBox(owner)); },
         [](HWND dialog, int) { return !ControlText(dialog, IDC_ABOUT_LINE1).empty(); },
         // Enter in the About box is IDOK (1); its own button and the close answer 0.
         [](HWND dialog, int round) { return CloseInTurn(dialog, round, IDOK, 1, IDC_ABOUT_OK); },
         {"CreateSolidBrush", "DeleteObject"}},
        {"motion blur",
         [photo](HWND owner) {
             double radius = 0, sigma = 0, angle = 0;
             return static_cast<long long>(ShowMotionBlur(owner, photo, radius, sigma, angle));
         },
         // Each drag re-renders and repaints the preview; the edit boxes show what was read.
         [](HWND dialog, int round) {
             const int sigma = 1 + round % 8;
             DragSlider(dialog, IDC_MOTION_BLUR_SIGMA, sigma);
             return ControlText(dialog, IDC_MOTION_BLUR_SIGMA_EDIT) == std::to_wstring(sigma);
         },
         [](HWND dialog, int round) { return CloseInTurn(dialog, round, IDOK, 1, IDCANCEL); },
         {"CreateWindowExW", "GetDC", "ReleaseDC", "BeginPaint", "EndPaint", "CreateCompatibleDC",
          "CreateCompatibleBitmap", "SelectObject", "DeleteDC", "CreateDIBSection",
          "CreateSolidBrush", "DeleteObject"}},
    };
}

// What the process holds, measured between rounds.
struct Footprint {
    long long privateBytes = 0;
    long long heapBlocks = 0;
    // The system's own count of the process's GDI and USER objects; -1 where it is not kept.
    long long gdiObjects = -1, userObjects = -1;

    static Footprint Now() {
        Footprint now;
        // Windows reports the private (committed) bytes twice, as PrivateUsage and as
        // PagefileUsage; wine leaves PrivateUsage at 0 and gives its resident anonymous memory
        // as PagefileUsage, which grows the same way when memory is kept.
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters));
        now.privateBytes = static_cast<long long>(
            counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage);
        // Blocks in use on the C runtime's heap, which operator new of the library, the host's
        // bitmap library and this program share: a lost object of any size shows here.
        _HEAPINFO block{};
        while (_heapwalk(&block) == _HEAPOK) {
            now.heapBlocks += block._useflag == _USEDENTRY ? 1 : 0;
        }
        // Wine does not keep these counts: GetGuiResources answers 0 with
        // ERROR_CALL_NOT_IMPLEMENTED, and the ledger alone counts the handles then.
        SetLastError(ERROR_SUCCESS);
        const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        if (gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
            now.gdiObjects = gdi;
            now.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        }
        return now;
    }
};

} // namespace

TEST_CASE("an import entry of a loaded module is found, replaced and given back") {
    // This program's own table: calls through it reach the replacement.
    HMODULE self = GetModuleHandleW(nullptr);
    static int calls = 0;
    struct Counting {
        static DWORD WINAPI TickCount() { return ++calls, 7u; }
    };
    void** entry = QuilletTest::FindImportEntry(self, "KERNEL32.dll", "GetTickCount");
    REQUIRE(entry != nullptr);
    void* system = *entry;
    {
        QuilletTest::CModuleImportPatch patch(self, "kernel32.DLL", "GetTickCount",
                                              reinterpret_cast<const void*>(&Counting::TickCount));
        CHECK((patch.Applied() && patch.Original() == system));
        CHECK(GetTickCount() == 7u);
        CHECK(calls == 1);
    }
    CHECK(*entry == system);
    CHECK(QuilletTest::FindImportEntry(self, "kernel32.dll", "NoSuchFunction") == nullptr);
    CHECK(QuilletTest::FindImportEntry(self, "nosuch.dll", "GetTickCount") == nullptr);
}

TEST_CASE("each dialog, opened and closed 200 times, gives back everything it takes") {
    HMODULE quillet = GetModuleHandleW(L"Quillet.dll");
    HMODULE halvory = GetModuleHandleW(L"Halvory.dll");
    REQUIRE((quillet != nullptr && halvory != nullptr));
    CGdiHandleLedger ledger({quillet, halvory});
    REQUIRE(ledger.FirstFault().empty());
    for (const std::string function :
         {"CreateSolidBrush", "CreateCompatibleDC", "CreateCompatibleBitmap", "SelectObject",
          "DeleteObject", "DeleteDC", "GetDC", "ReleaseDC", "BeginPaint", "EndPaint",
          "CreateWindowExW"}) {
        CAPTURE(function);
        CHECK(ledger.Watches(quillet, function.c_str()));
    }
    // The preview's bitmaps are made in Halvory.dll and deleted by Quillet.dll.
    CHECK((ledger.Watches(halvory, "CreateDIBSection") && ledger.Watches(halvory, "DeleteObject")));

    // The meters must see memory taken, or a flat reading would prove nothing.
    {
        const Footprint before = Footprint::Now();
        std::vector<std::unique_ptr<char[]>> kept;
        for (int i = 0; i < 16; ++i) {
            kept.emplace_back(new char[1 << 20]);
            std::fill_n(kept.back().get(), 1 << 20, 1);
        }
        const Footprint after = Footprint::Now();
        CHECK(after.privateBytes - before.privateBytes >= (16 << 20));
        CHECK(after.heapBlocks - before.heapBlocks >= 16);
    }

    auto photo = Photo();
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    for (const SoakRow& row : Rows(photo.get())) {
        const std::string name = row.name;
        CAPTURE(name);
        Footprint atStart;
        for (int round = 0; round < kWarmUpRounds + kRounds; ++round) {
            if (round == kWarmUpRounds) {
                atStart = Footprint::Now();
            }
            ledger.SetContext(name + ", round " + std::to_string(round));
            std::vector<int> callsBefore;
            for (const char* function : row.everyRoundCalls) {
                callsBefore.push_back(ledger.Calls(function));
            }
            bool acted = false;
            long long expected = -2;
            CModalDriver driver([&](HWND dialog) {
                acted = row.act(dialog, round);
                expected = row.close(dialog, round);
            });
            const long long result = row.show(host);
            driver.Join();

            CAPTURE(round);
            REQUIRE((driver.DialogFound() && !driver.WatchdogFired()));
            REQUIRE(acted);
            REQUIRE(result == expected);
            REQUIRE_MESSAGE(ledger.FirstFault().empty(), ledger.FirstFault());
            REQUIRE_MESSAGE(ledger.Live() == 0, "still live after the round:\n" << ledger.Leaks());
            for (std::size_t i = 0; i < row.everyRoundCalls.size(); ++i) {
                const std::string function = row.everyRoundCalls[i];
                CAPTURE(function);
                REQUIRE(ledger.Calls(function.c_str()) > callsBefore[i]);
            }
        }

        const Footprint atEnd = Footprint::Now();
        MESSAGE(name << " over " << kRounds << " rounds: private bytes "
                     << atEnd.privateBytes - atStart.privateBytes << ", heap blocks "
                     << atEnd.heapBlocks - atStart.heapBlocks << ", GDI and USER objects "
                     << (atStart.gdiObjects < 0
                             ? std::string("not counted by the system")
                             : std::to_string(atEnd.gdiObjects - atStart.gdiObjects) + " and " +
                                   std::to_string(atEnd.userObjects - atStart.userObjects)));
        CHECK(atEnd.privateBytes - atStart.privateBytes <= kPrivateBytesBound);
        CHECK(atEnd.heapBlocks - atStart.heapBlocks <= kHeapBlockSlack);
        if (atStart.gdiObjects >= 0) {
            CHECK(atEnd.gdiObjects - atStart.gdiObjects <= kGuiObjectSlack);
            CHECK(atEnd.userObjects - atStart.userObjects <= kGuiObjectSlack);
        }
    }
    DestroyWindow(host);
}
