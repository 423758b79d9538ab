// Each dialog opened, used at random and closed many times in one process through the exports,
// as a host does: everything the library takes from the system must come back. Every GDI object
// and device context that Quillet.dll (or Halvory.dll for it) makes is kept in a ledger until
// released; private bytes and blocks in use on the C runtime's and the process's heaps stay
// flat, both heaps valid, each answer one the export's documentation allows. QUILLET_SOAK_SEED
// picks the events, QUILLET_SOAK_ROUNDS the counted rounds a dialog (scripts/run-soak.sh).
#include "host/MargeData.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"
#include "support/GdiHandleLedger.h"
#include "support/ImportPatch.h"

#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

using namespace QuilletTest;

namespace {

// The first rounds fill the caches of the system (classes, fonts, the heap's free lists); what
// grows after them would grow for as long as the host keeps calling.
constexpr int kWarmUpRounds = 10;
// Bounds on what 30 or more counted rounds may add, from measurements under wine: the C runtime's
// heap 0 blocks; private bytes, over the later half, 32 to 100 KB (the system's own pages). Random
// use can meet a first-time cost of the system after the warm-up (seed 1154281183: once 1.5 MB,
// flat after). Keeping a preview bitmap (570 KB) a round adds 8 MB, a lost object 30 blocks.
constexpr long long kPrivateBytesBound = 1 << 20;
constexpr long long kHeapBlockSlack = 20;
// Random events in each round of a dialog.
constexpr int kEvents = 20;

unsigned long long Setting(const char* name, unsigned long long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != 0 ? std::strtoull(text, nullptr, 10) : fallback;
}

// A user who clicks, drags, types and closes in any order, acting from the driving thread of a
// CModalDriver. One seeded generator makes every choice, so a seed replays the same events.
class CRandomUse {
public:
    explicit CRandomUse(unsigned long long seed) : random_(seed) {}
    unsigned long long events = 0, boxesOpened = 0;

    // Up to `count` events on the dialog and each child but the buttons that end it; a press on
    // a child of class `opener` opens a nested box, used and closed in turn. False when the
    // dialog went away or a nested box did not open or close.
    bool Use(HWND dialog, int count, const std::vector<int>& closers,
             const wchar_t* opener = nullptr) {
        std::vector<HWND> windows{dialog};
        EnumChildWindows(dialog, AddWindow, reinterpret_cast<LPARAM>(&windows));
        bool fine = true;
        for (int i = 0; i < count && fine && IsWindow(dialog); ++i, ++events) {
            HWND window = windows[Below(windows.size())];
            const std::wstring kind = ClassOf(window);
            const bool own = Below(2) == 0; // what this kind of window is for, or any event
            if (GetParent(window) == dialog &&
                std::count(closers.begin(), closers.end(), GetDlgCtrlID(window)) > 0) {
                window = dialog;
            } else if (own && kind == L"Edit") {
                Text(window);
                continue;
            } else if (own && kind == L"Button") {
                SendMessageW(window, BM_CLICK, 0, 0);
                continue;
            } else if (own && kind == TRACKBAR_CLASSW) {
                const int low = int(SendMessageW(window, TBM_GETRANGEMIN, 0, 0));
                const int high = int(SendMessageW(window, TBM_GETRANGEMAX, 0, 0));
                DragSlider(dialog, GetDlgCtrlID(window), low - 10 + Below(high - low + 21));
                continue;
            }
            if (Below(2) == 0) {
                Key(window, dialog);
            } else if (opener != nullptr && ClassOf(window) == opener) {
                fine = Press(window, [&] {
                    HWND box = WaitForOwnedDialog(dialog);
                    if (box == nullptr || !Use(box, 1 + Below(30), {IDOK, IDCANCEL}))
                        return false;
                    ++boxesOpened;
                    Close(box, IDCANCEL, true);
                    for (const DWORD t = GetTickCount();
                         IsWindow(box) && GetTickCount() - t < 9000;)
                        Sleep(10);
                    return !IsWindow(box);
                });
            } else {
                Press(window, nullptr);
            }
        }
        return fine && IsWindow(dialog);
    }

    // Posts a close: by the button `cancelId`, Escape, the caption, or OK when `okAllowed`.
    // Whether it was OK.
    bool Close(HWND dialog, int cancelId, bool okAllowed) {
        // Escape passes the dialog manager's keyboard handling in the modal loop.
        static const std::pair<UINT, WPARAM> posted[] = {
            {WM_KEYDOWN, VK_ESCAPE}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_COMMAND, IDOK}};
        const int way = Below(okAllowed ? 4 : 3);
        if (way == 0)
            ClickButton(dialog, cancelId);
        else
            PostMessageW(dialog, posted[way - 1].first, posted[way - 1].second, way == 1);
        return way == 3;
    }

private:
    static BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
        return TRUE;
    }
    static std::wstring ClassOf(HWND window) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        return name;
    }
    int Below(size_t n) { return std::uniform_int_distribution<int>(0, int(n) - 1)(random_); }

    // A move, a press, a drag through a few points and a release, anywhere in the window and a
    // little beyond its edges. The press is not waited for (the messages sent after it wait):
    // a press that opens a modal box (`opened` then uses it) returns only when the box ends.
    bool Press(HWND window, const std::function<bool()>& opened) {
        RECT client{};
        GetClientRect(window, &client);
        const auto point = [&] {
            return MAKELPARAM(Below(client.right + 17) - 8, Below(client.bottom + 17) - 8);
        };
        SendMessageW(window, WM_MOUSEMOVE, 0, point());
        SendNotifyMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point());
        const bool fine = !opened || opened();
        for (int moves = Below(5); moves > 0; --moves)
            SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, point());
        SendMessageW(window, WM_LBUTTONUP, 0, point());
        return fine;
    }

    void Key(HWND window, HWND dialog) {
        static const std::pair<UINT, wchar_t> keys[] = {
            {VK_TAB, 0},           {VK_LEFT, 0},     {VK_RIGHT, 0}, {VK_UP, 0},
            {VK_DOWN, 0},          {VK_PRIOR, 0},    {VK_NEXT, 0},  {VK_HOME, 0},
            {VK_END, 0},           {VK_SPACE, L' '}, {'0', L'0'},   {'7', L'7'},
            {'A', L'a'},           {'Q', L'q'},      {'E', L'e'},   {VK_OEM_MINUS, L'-'},
            {VK_OEM_PERIOD, L'.'}, {VK_BACK, L'\b'}};
        const auto [key, typed] = keys[Below(std::size(keys))];
        if (key == VK_TAB) // what the dialog manager does with Tab and Shift+Tab
            SendMessageW(dialog, WM_NEXTDLGCTL, Below(2), FALSE);
        SendMessageW(window, WM_KEYDOWN, key, 1);
        if (typed != 0)
            SendMessageW(window, WM_CHAR, typed, 1);
        SendMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    }

    // A text set at once (the box notifies its change) or typed over a selection of all.
    void Text(HWND edit) {
        static const wchar_t* const texts[] = {
            L"0", L"1",   L"42",   L"255",   L"-7",      L"3.5",
            L"",  L"nan", L"1e39", L"-1e39", L"#12ab9F", L"99999999999999999999"};
        const int pick = Below(std::size(texts) + 1);
        std::wstring text = pick < int(std::size(texts)) ? texts[pick] : std::wstring(300, L'8');
        // Wine 8.0's edit control crashes when a key reaches a box without automatic
        // horizontal scrolling (the device chooser's combo) holding a text wider than the box.
        if ((GetWindowLongPtrW(edit, GWL_STYLE) & ES_AUTOHSCROLL) == 0 && text.size() > 20)
            text = L"12";
        if (text.size() > 20 || Below(2) == 0) {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            return;
        }
        SendMessageW(edit, EM_SETSEL, 0, -1);
        for (wchar_t c : text.empty() ? std::wstring(1, L'\b') : text)
            SendMessageW(edit, WM_CHAR, c, 1);
    }

    std::mt19937_64 random_;
};

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

// Runs `round` (which tells what the dialog did wrong, if anything) the warm-up rounds and then
// `rounds` more, with the ledger empty, the heaps valid and without a fault after each; what the
// process grew by over the counted rounds.
Footprint Soak(const std::string& name, int rounds, const std::function<std::string(int)>& round) {
    static CGdiHandleLedger ledger(
        {GetModuleHandleW(L"Quillet.dll"), GetModuleHandleW(L"Halvory.dll")});
    Footprint atStart, atHalf;
    for (int i = 0; i < kWarmUpRounds + rounds; ++i) {
        if (i == kWarmUpRounds || i == kWarmUpRounds + rounds / 2)
            (i == kWarmUpRounds ? atStart : atHalf) = Measure();
        const unsigned long createdBefore = ledger.Begin(name + ", round " + std::to_string(i));
        CAPTURE(i);
        const std::string problem = round(i);
        REQUIRE_MESSAGE(problem.empty(), problem);
        REQUIRE_MESSAGE((HeapValidate(GetProcessHeap(), 0, nullptr) &&
                         HeapValidate(reinterpret_cast<HANDLE>(_get_heap_handle()), 0, nullptr) &&
                         _heapchk() == _HEAPOK),
                        "a heap is damaged");
        // A round the ledger saw nothing of would prove nothing.
        REQUIRE(ledger.Begin(name + ", after round " + std::to_string(i)) > createdBefore);
        REQUIRE_MESSAGE(ledger.Problems().empty(), ledger.Problems());
    }
    const Footprint atEnd = Measure();
    REQUIRE((atHalf.privateBytes > 0 && atStart.heapBlocks > 0));
    return {atEnd.privateBytes - atHalf.privateBytes, atEnd.heapBlocks - atStart.heapBlocks,
            atEnd.processHeapBlocks - atStart.processHeapBlocks};
}

// One row per dialog: how a host shows it (the export's answer), its cancelling button, whether
// an answer and the caller's references after it are ones the export's documentation allows
// (after OK or another close), and what the driver must know beyond its windows (as for Use).
struct SoakRow {
    std::string name;
    std::function<long long(HWND owner)> show;
    int cancelId;
    std::function<bool(long long answer, bool ok)> allowed;
    std::vector<int> closers{IDOK, IDCANCEL};
    const wchar_t* opener = nullptr;
};

bool Within(double value, double low, double high) { return value >= low && value <= high; }

} // namespace

TEST_CASE("each dialog used at random and closed 40 times, the print job run 20 times: all "
          "comes back") {
    const unsigned long long seed = Setting("QUILLET_SOAK_SEED", 1);
    const int rounds = int(Setting("QUILLET_SOAK_ROUNDS", 30));
    INFO("replay: make soak SEED=" << seed << " ROUNDS=" << rounds);
    // Wine's heap checking holds freed blocks back, counted as in use: the memory bounds are
    // those of the run without it.
    const bool heapChecked = Setting("QUILLET_HEAP_CHECKED", 0) != 0;
    const auto bounded = [&](const Footprint& grown, long long blocks, long long processBlocks) {
        CHECK((heapChecked || grown.privateBytes <= kPrivateBytesBound));
        CHECK((heapChecked || grown.heapBlocks <= blocks));
        CHECK((heapChecked || grown.processHeapBlocks <= processBlocks));
    };
    CRandomUse use(seed);
    const auto started = std::chrono::steady_clock::now();
    COrvanelBitmap photo = Pattern(320, 200);
    unsigned long color = 0;
    double blur[3] = {}; // the motion blur's radius, sigma and angle
    int flare[7] = {};   // the lens flare's x, y, size, reserved, brightness, hue and intensity
    const std::vector<std::wstring> devices{L"CPU", L"GPU", L"Accelerator 2"};
    const SoakRow rows[] = {
        {"About box",
         [](HWND owner) { return ShowDialogBox(owner); },
         IDC_ABOUT_OK,
         [](long long answer, bool ok) { return answer == ok; },
         {IDC_ABOUT_OK}},
        {"motion blur",
         [&](HWND owner) {
             std::fill(blur, blur + 3, -1.5);
             return ShowMotionBlur(owner, &photo, blur[0], blur[1], blur[2]);
         },
         IDCANCEL,
         [&](long long answer, bool ok) {
             return answer == ok && (ok ? Within(blur[0], 0, 100) && Within(blur[1], 0, 100) &&
                                              Within(blur[2], 0, 360)
                                        : blur[0] == -1.5 && blur[1] == -1.5 && blur[2] == -1.5);
         }},
        {"colour box", [&](HWND owner) { return ShowColorBox(owner, color = 0x00336699); },
         IDCANCEL,
         [&](long long answer, bool ok) {
             return answer == 1 && (ok ? color <= 0x00FFFFFF : color == 0x00336699);
         }},
        // Its swatch opens the colour box, used and closed in turn; the colour is never handed
        // back, the numbers only after OK.
        {"lens flare",
         [&](HWND owner) {
             std::fill(flare, flare + 7, -1);
             return ShowLensFlareDialogBox(owner, &photo, color = 0x0000A0FF, flare[0], flare[1],
                                           flare[2], flare[3], flare[4], flare[5], flare[6]);
         },
         IDCANCEL,
         [&](long long answer, bool ok) {
             return answer == ok && color == 0x0000A0FF &&
                    (ok ? Within(flare[2], 0, 200) && flare[3] == 0 && Within(flare[4], 0, 100) &&
                              Within(flare[5], 0, 360) && Within(flare[6], 0, 100)
                        : std::count(flare, flare + 7, -1) == 7);
         },
         {IDOK, IDCANCEL},
         L"ColorBox"},
        // Short names: wine 8.0's edit control crashes when a key reaches the combo's box
        // (designed without automatic horizontal scrolling) holding a text wider than the box.
        // 1: one of the devices came back; 2: anything else.
        {"OpenCL devices",
         [&](HWND owner) {
             const std::wstring chosen = ShowOpenCLDialogBox(owner, devices);
             return chosen.empty() ? 0 : std::count(devices.begin(), devices.end(), chosen) ? 1 : 2;
         },
         IDCANCEL, [](long long answer, bool ok) { return answer == 0 || (ok && answer == 1); }},
        {"print setup",
         [&](HWND owner) {
             CMargeData layout{0.4f, 0.4f, 0.4f, 0.4f, 0, false, 0};
             return ShowPrintPreview(owner, &layout, &photo);
         },
         IDCANCEL, [](long long answer, bool ok) { return answer == ok; }},
        // OK registers nothing from this program (its name is not the association program's),
        // so the rounds stay fast; the export answers 1 however the dialog ends.
        {"association", [](HWND owner) { return ShowAssociateFilesExtension(owner); }, IDCANCEL,
         [](long long answer, bool) { return answer == 1; }},
    };
    CHostWindow host;
    for (const SoakRow& row : rows) {
        INFO("dialog: " << row.name);
        const Footprint grown = Soak(row.name, rounds, [&](int) -> std::string {
            bool used = false, ok = false;
            CModalDriver driver(
                [&](HWND dialog) {
                    used = use.Use(dialog, kEvents, row.closers, row.opener);
                    ok = use.Close(dialog, row.cancelId, true);
                },
                5000); // the watchdog's limit: gone within 5 s of its close
            const long long answer = row.show(host);
            driver.Join();
            return !driver.DialogFound()    ? "no dialog"
                   : driver.WatchdogFired() ? "not gone in time after its close"
                   : !used ? "gone during use, or its nested box did not open or close"
                   : row.allowed(answer, ok) ? ""
                   : ok                      ? "an answer or references not allowed after OK"
                                             : "an answer or references not allowed after a close";
        });
        bounded(grown, kHeapBlockSlack, kHeapBlockSlack);
    }

    // The print job: each round prints one page to the default printer (a real queue in the
    // test session) behind its cancel box, which the job closes itself; meanwhile the box is
    // used at random but never cancelled. Every round is a real print job, so there are fewer
    // of them; the bounds are tightened to match.
    photo.SetBackgroundColor(RGB(40, 120, 200), 0);
    // A picture 3 cm wide (9 cm left and right): wine's printer driver keeps a buffer or two the
    // size of the printed pixels after its first jobs (9 MB each for a picture across an A4
    // page, at times only after several jobs), which would drown what the bounds look for.
    CMargeData margins{2, 2, 9, 9, 0, false, 0};
    CStartedDocuments documents(GetModuleHandleW(L"Quillet.dll"));
    const Footprint printed =
        Soak("print job", std::min(rounds, 10), [&](int round) -> std::string {
            CModalDriver driver([&](HWND box) { use.Use(box, kEvents / 3, {IDCANCEL}); });
            PrintDialog(nullptr, &margins, &photo, false);
            driver.Join();
            return driver.WatchdogFired()         ? "the job's box stayed"
                   : documents.count != round + 1 ? "not one page each"
                                                  : "";
        });
    bounded(printed, 4, 4); // the process heap: the printer dialog's record
    CHECK_MESSAGE(use.boxesOpened > 0, "the lens flare's swatch never opened the colour box");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("seed %llu: %llu random events in %.0f s (%.0f a second)\n", seed, use.events,
                seconds, double(use.events) / seconds);
}
