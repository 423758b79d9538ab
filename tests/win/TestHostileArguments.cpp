// Every export given what a careless host could pass. Each row must answer what Quillet.h
// documents, open a dialog only where it says so, and leave what the caller did not hand over
// for writing as it was, the bytes around it included, when the dialog is cancelled.
#include "host/MargeData.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"
#include "support/ImportPatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

using namespace QuilletTest;

namespace {

// A layout record between guard bytes that nothing may write.
struct CGuardedLayout {
    char before[33] = "................................";
    CMargeData value;
    char after[33] = "................................";
    bool Intact() const { return std::string(before) + after == std::string(64, '.'); }
};

// A window made and served by a thread of its own, as a host with a second interface thread has.
struct CForeignOwner {
    std::atomic<HWND> window{nullptr};
    std::thread thread{[this] {
        CHostWindow host;
        window = host;
        for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;)
            DispatchMessageW(&message);
    }};
    ~CForeignOwner() { PostMessageW(window, WM_QUIT, 0, 0), thread.join(); }
};

std::string Bytes(const COrvanelBitmap& bitmap) {
    const auto* pixels = reinterpret_cast<const char*>(bitmap.GetPtBitmap());
    return {pixels, pixels ? size_t(bitmap.GetWidthSize()) * bitmap.GetBitmapHeight() : 0};
}

bool HeapsValid() {
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    return count > 0 && count <= 256 &&
           std::all_of(heaps, heaps + count, [](HANDLE h) { return HeapValidate(h, 0, nullptr); });
}

struct Args {
    HWND owner;
    COrvanelBitmap* picture;
    std::shared_ptr<CGuardedLayout> layout; // null: no record
    wchar_t* path;
    std::vector<std::wstring> names{L"CPU"};
};
enum { kAbout, kAssociation, kColour, kChooser, kBlur, kFlare, kSetup, kJob, kOpen, kSave };

struct Row {
    std::string what;
    int show;
    Args args;
    bool shown; // a dialog opens and is cancelled; the print job's instead prints its page
    std::function<bool()> kept = nullptr;
    std::function<void(HWND)> act = nullptr; // Cancel
    long long answer = show == kAssociation || show == kColour ? 1 : show == kChooser ? -1 : 0;
};

} // namespace

TEST_CASE("every export given hostile arguments answers as documented and writes nothing else") {
    CForeignOwner foreign;
    for (const DWORD start = GetTickCount(); !foreign.window && GetTickCount() - start < 10000;)
        Sleep(1);
    REQUIRE_MESSAGE(foreign.window != nullptr, "the other thread made no window");
    const HWND gone = CHostWindow();
    unsigned long color = 0x00123456;
    int n = -7;
    double d = -1.5;
    const bool noDialog = false;
    std::wstring path(MAX_PATH + 64, L'x'); // the buffer not terminated, 32 guards either side
    COrvanelBitmap pictures[] = {Pattern(64, 48),  COrvanelBitmap(),
                                 Pattern(1, 1),    Pattern(1, 4000),
                                 Pattern(4000, 1), COrvanelBitmap(8000, 6000, 32)};
    pictures[5].SetBackgroundColor(0x00336699, 0x7F);
    std::vector<std::string> given;
    for (const COrvanelBitmap& picture : pictures)
        given.push_back(Bytes(picture));
    const auto layoutOf = [](const Args& a) { return a.layout ? &a.layout->value : nullptr; };
    const std::function<long long(const Args&)> exports[] = {
        [](const Args& a) { return ShowDialogBox(a.owner); },
        [](const Args& a) { return ShowAssociateFilesExtension(a.owner); },
        [&](const Args& a) { return ShowColorBox(a.owner, color); },
        [](const Args& a) -> long long { // the index of the name that came back, or -1
            const auto found =
                std::find(a.names.begin(), a.names.end(), ShowOpenCLDialogBox(a.owner, a.names));
            return found == a.names.end() ? -1 : found - a.names.begin();
        },
        [&](const Args& a) { return ShowMotionBlur(a.owner, a.picture, d, d, d); },
        [&](const Args& a) {
            return ShowLensFlareDialogBox(a.owner, a.picture, color, n, n, n, n, n, n, n);
        },
        [&](const Args& a) { return ShowPrintPreview(a.owner, layoutOf(a), a.picture); },
        [&](const Args& a) { return PrintDialog(a.owner, layoutOf(a), a.picture, noDialog); },
        [](const Args& a) { return ShowOpenDialogBox(a.path, a.owner); },
        [](const Args& a) { return ShowSaveDialogBox(a.path, a.owner); },
        [](const Args& a) { return ShowVideoOpenBox(a.path, a.owner); },
        [](const Args& a) { return ShowFolderSelectDialogBox(a.path, a.owner); }};
    const auto record = [](const CMargeData& layout) {
        auto guarded = std::make_shared<CGuardedLayout>();
        guarded->value = layout;
        return guarded;
    };
    const CMargeData plain{1, 25, 18, 1, 0, false, 0}; // a small printed picture: short jobs

    // Every export under each owner. The system refuses an owner window that no longer exists;
    // the print dialogs and the file dialogs do not pass the owner on.
    std::vector<Row> rows;
    const std::pair<const char*, HWND> owners[] = {{"no owner", nullptr},
                                                   {"a destroyed owner", gone},
                                                   {"another thread's owner", foreign.window}};
    for (int show = 0; show < 12; ++show) {
        const bool owned = show < kSetup || show == 11;
        for (const auto& [what, owner] : owners)
            rows.push_back({what,
                            show,
                            {owner, &pictures[0], record(plain), &path[32]},
                            owner != gone || !owned});
        if (show >= kOpen)
            rows.push_back({"no path buffer", show, {nullptr, nullptr, nullptr, nullptr}, false});
        // Unterminated, the buffer proposes no name: Save As empties it.
        for (int i = 2; show == kSave && i <= 4; ++i)
            rows.end()[-i].kept = [&path] { return path[32] == 0 && (path[32] = L'x'); };
    }
    // Pictures: none, one without pixels, and shapes a preview cannot scale evenly.
    for (int show : {kBlur, kFlare, kSetup, kJob}) {
        for (int i = 0; i < 6; ++i)
            rows.push_back({"picture " + std::to_string(i),
                            show,
                            {nullptr, i ? &pictures[i] : nullptr, record(plain), nullptr},
                            i > 1});
    }

    // Layout records: none, and values no dialog would have written. The print job only reads
    // the record. The print setup turns a picture the record says is turned, places a tall one
    // across, and shows each margin with six decimals and reads its text back; the runtime
    // prints what is no finite number as "1.#QNAN0", "1.#INF00" or "-1.#INF00": 1 or -1.
    const float nan = std::nanf(""), inf = INFINITY;
    const CMargeData layouts[] = {
        {nan, nan, nan, nan, 0, false, 0}, {inf, -inf, inf, -inf, 0, false, 0},
        {-3, 25, 18, -3, 0, false, 0},     {1e30f, 1e30f, 1e30f, 1e30f, 0, false, 0},
        {1, 25, 18, 1, 0, false, 7},       {1, 25, 18, 1, 5, false, 0},
        {1, 25, 18, 1, 0, true, 0}};
    for (int show : {kSetup, kJob}) {
        rows.push_back({"no layout", show, {nullptr, &pictures[0], nullptr, nullptr}, false});
        for (const CMargeData& layout : layouts) {
            CMargeData expected = layout;
            for (float* m : {&expected.marginTop, &expected.marginBottom, &expected.marginRight,
                             &expected.marginLeft})
                *m = show == kJob || std::isfinite(*m) ? *m : std::signbit(*m) ? -1 : 1;
            const bool turned = show == kSetup && layout.rotate;
            expected.horizontalPlacement = show == kJob ? layout.horizontalPlacement : turned;
            auto sheet = std::make_shared<COrvanelBitmap>(Pattern(64, 48));
            auto given = record(layout);
            rows.push_back({"layout " + std::to_string(&layout - layouts),
                            show,
                            {nullptr, sheet.get(), given, nullptr},
                            true,
                            [=] {
                                const CMargeData& now = given->value;
                                return std::memcmp(&now, &expected, 20) == 0 &&
                                       now.rotate == layout.rotate &&
                                       now.position == layout.position &&
                                       sheet->GetBitmapHeight() == (turned ? 64u : 48u);
                            }});
        }
    }

    // Device lists: empty, long, a very long name, names with NULs inside. The chooser lists each
    // name up to its first NUL and gives back the host's name as it was handed over.
    std::vector<std::wstring> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back(L"Device " + std::to_wstring(i));
    const struct {
        std::vector<std::wstring> names;
        int select;   // -1 none, -2 Cancel
        LRESULT last; // the length of the last item as listed
    } lists[] = {{{}, -1, CB_ERR},
                 {{}, -2, CB_ERR},
                 {many, 1999, 11},
                 {{L"CPU", std::wstring(5000, L'n')}, 1, 5000},
                 {{{L"\0hidden", 7}, {L"GPU\0second", 10}}, 1, 3}};
    for (const auto& list : lists) {
        rows.push_back({"devices " + std::to_string(&list - lists),
                        kChooser,
                        {nullptr, nullptr, nullptr, nullptr, list.names},
                        true,
                        nullptr,
                        [&list](HWND dialog) {
                            const auto count =
                                SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCOUNT, 0, 0);
                            CHECK(count == LRESULT(list.names.size()));
                            CHECK(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETLBTEXTLEN,
                                                      count - 1, 0) == list.last);
                            SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL,
                                                list.select, 0);
                            PostMessageW(dialog, WM_COMMAND, list.select < -1 ? IDCANCEL : IDOK, 0);
                        },
                        std::max(list.select, -1)});
    }

    CStartedDocuments documents(GetModuleHandleW(L"Quillet.dll"));
    for (const Row& row : rows) {
        INFO(row.what << ", export " << row.show);
        const bool job = row.show == kJob;
        const int pages = documents.count;
        const DWORD start = GetTickCount();
        CModalDriver driver([&](HWND dialog) { // the print job's box closes itself
            row.act ? row.act(dialog) : void(job || PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0));
        });
        CHECK(exports[row.show](row.args) == row.answer);
        driver.Join();
        fprintf(stderr, "%5lu ms %s %d\n", GetTickCount() - start, row.what.c_str(), row.show);
        CHECK_MESSAGE((job || driver.DialogFound() == row.shown), "a dialog appeared, or none");
        CHECK_MESSAGE(!driver.WatchdogFired(), "the watchdog had to close the dialog");
        CHECK(documents.count - pages == (job && row.shown));
        CHECK((!row.kept || row.kept()));
        CHECK((!row.args.layout || row.args.layout->Intact()));
        CHECK((color == 0x00123456 && n == -7 && d == -1.5 && IsWindowEnabled(foreign.window)));
        CHECK(std::count(path.begin(), path.end(), L'x') == MAX_PATH + 64);
        for (int i = 0; i < 6; ++i) // what other rows were given, their rows check
            CHECK(((row.args.picture != &pictures[i] && i > 0) || Bytes(pictures[i]) == given[i]));
        fprintf(stderr, "%5lu ms bytes\n", GetTickCount() - start);
        CHECK(HeapsValid());
        fprintf(stderr, "%5lu ms all\n", GetTickCount() - start);
    }
}
