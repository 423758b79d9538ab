// Every export given what a careless host could pass: the answer Quillet.h documents, a dialog
// only where it says so, and nothing of the caller's written that it did not hand over for it.
#include "host/MargeData.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"
#include "support/ImportPatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <future>
#include <thread>
#include <utility>

using namespace QuilletTest;

namespace {

// A layout record between guard bytes that nothing may write, and what it held at first.
struct CGuardedLayout {
    char before[33] = "................................";
    CMargeData value;
    char after[33] = "................................";
    const CMargeData given;
    explicit CGuardedLayout(const CMargeData& layout) : value(layout), given(layout) {}
    bool Intact() const { return std::string(before) + after == std::string(64, '.'); }
};

std::string Bytes(const COrvanelBitmap& bitmap) {
    const auto* pixels = reinterpret_cast<const char*>(bitmap.GetPtBitmap());
    return {pixels, pixels ? size_t(bitmap.GetWidthSize()) * bitmap.GetBitmapHeight() : 0};
}

enum { kAbout, kAssociate, kColour, kChooser, kBlur, kFlare, kSetup, kJob, kOpen, kSave };

struct Row {
    int show;
    HWND owner;
    COrvanelBitmap* picture;
    std::shared_ptr<CGuardedLayout> layout; // null: no record
    wchar_t* path;
    bool shown;      // a dialog opens (and is cancelled); the print job's instead prints its page
    int select = -2; // the device chosen with OK, -1 none; -2 Cancel
    std::vector<std::wstring> names{L"CPU"};
    // After Cancel or with nothing shown; the chooser's: the name's index, or -1 for none.
    long long answer =
        show == kChooser ? std::max(select, -1) : show == kAssociate || show == kColour;
    CMargeData* Layout() const { return layout ? &layout->value : nullptr; }
};

} // namespace

TEST_CASE("every export given hostile arguments answers as documented and writes nothing else") {
    // A window made and served by another thread, as a host with a second interface thread has.
    std::promise<HWND> made;
    std::thread other([&made] {
        CHostWindow host;
        made.set_value(host);
        for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;)
            DispatchMessageW(&message);
    });
    const HWND foreign = made.get_future().get();
    const HWND gone = CHostWindow();
    unsigned long color = 0x00123456;
    int n = -7;
    double d = -1.5;
    std::wstring path(MAX_PATH + 64, L'x'); // the buffer not terminated, 32 guards either side
    // The last one is the layout rows' picture, which one of them turns.
    COrvanelBitmap pictures[] = {
        Pattern(64, 48), {}, Pattern(1, 1), Pattern(1, 4000), Pattern(4000, 1), {8000, 6000, 32},
        Pattern(64, 48)};
    pictures[5].SetBackgroundColor(0x00336699, 0x7F);
    std::vector<std::string> given(7);
    std::transform(pictures, pictures + 7, given.begin(), Bytes);
    const std::function<long long(const Row&)> exports[] = {
        [](const Row& a) { return ShowDialogBox(a.owner); },
        [](const Row& a) { return ShowAssociateFilesExtension(a.owner); },
        [&](const Row& a) { return ShowColorBox(a.owner, color); },
        [](const Row& a) -> long long { // the name's last index in the list, or -1
            const auto& v = a.names;
            return v.rend() - std::find(v.rbegin(), v.rend(), ShowOpenCLDialogBox(a.owner, v)) - 1;
        },
        [&](const Row& a) { return ShowMotionBlur(a.owner, a.picture, d, d, d); },
        [&](const Row& a) {
            return ShowLensFlareDialogBox(a.owner, a.picture, color, n, n, n, n, n, n, n);
        },
        [](const Row& a) { return ShowPrintPreview(a.owner, a.Layout(), a.picture); },
        [](const Row& a) { return PrintDialog(a.owner, a.Layout(), a.picture, false); },
        [](const Row& a) { return ShowOpenDialogBox(a.path, a.owner); },
        [](const Row& a) { return ShowSaveDialogBox(a.path, a.owner); },
        [](const Row& a) { return ShowVideoOpenBox(a.path, a.owner); },
        [](const Row& a) { return ShowFolderSelectDialogBox(a.path, a.owner); }};
    const auto record = [](const CMargeData& l) { return std::make_shared<CGuardedLayout>(l); };
    const CMargeData plain{1, 25, 18, 1, 0, false, 0}; // a small printed picture: short jobs
    std::vector<Row> rows;

    // Every export under each owner. The system refuses an owner window that no longer exists;
    // the print dialogs and the file dialogs do not pass the owner on.
    for (int show = 0; show < 12; ++show) {
        for (HWND owner : {HWND(nullptr), gone, foreign})
            rows.push_back({show, owner, &pictures[0], record(plain), &path[32],
                            owner != gone || (show >= kSetup && show < 11)});
        if (show >= kOpen)
            rows.push_back({show, nullptr, nullptr, nullptr, nullptr, false});
    }
    // Pictures: none, one without pixels, and shapes a preview cannot scale evenly.
    for (int show : {kBlur, kFlare, kSetup, kJob})
        for (int i = 0; i < 6; ++i)
            rows.push_back(
                {show, nullptr, i ? &pictures[i] : nullptr, record(plain), nullptr, i > 1});
    // Layout records: none, and values no dialog would have written.
    const float nan = std::nanf(""), inf = INFINITY;
    const CMargeData layouts[] = {
        {nan, nan, nan, nan, 0, false, 0}, {inf, -inf, inf, -inf, 0, false, 0},
        {-3, 25, 18, -3, 0, false, 0},     {1e30f, 1e30f, 1e30f, 1e30f, 0, false, 0},
        {1, 25, 18, 1, 0, false, 7},       {1, 25, 18, 1, 5, false, 0},
        {1, 25, 18, 1, 0, true, 0}};
    for (int show : {kSetup, kJob}) {
        rows.push_back({show, nullptr, &pictures[0], nullptr, nullptr, false});
        for (const CMargeData& layout : layouts)
            rows.push_back({show, nullptr, &pictures[6], record(layout), nullptr, true});
    }
    // Device lists: empty, long, a very long name, names with NULs; each name comes back whole.
    const std::vector<std::wstring> many(2000, L"Device");
    const std::vector<std::wstring> lists[] = {
        {}, {}, many, {L"CPU", std::wstring(5000, L'n')}, {{L"\0hidden", 7}, {L"GPU\0second", 10}}};
    const int select[] = {-1, -2, 1999, 1, 1};
    for (int i = 0; i < 5; ++i)
        rows.push_back({kChooser, nullptr, nullptr, nullptr, nullptr, true, select[i], lists[i]});

    CStartedDocuments documents(GetModuleHandleW(L"Quillet.dll"));
    for (const Row& row : rows) {
        INFO("row " << &row - &rows[0] << ", export " << row.show);
        const bool job = row.show == kJob;
        const int pages = documents.count;
        CModalDriver driver([&](HWND dialog) {
            if (row.show == kChooser)
                SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, row.select, 0);
            if (!job) // the print job's box closes itself
                PostMessageW(dialog, WM_COMMAND, row.select < -1 ? IDCANCEL : IDOK, 0);
        });
        CHECK(exports[row.show](row) == row.answer);
        driver.Join();
        CHECK_MESSAGE((job || driver.DialogFound() == row.shown), "a dialog appeared, or none");
        CHECK_MESSAGE(!driver.WatchdogFired(), "the watchdog had to close the dialog");
        CHECK(documents.count - pages == (job && row.shown));
        // The print job only reads the record. The print setup places a tall picture across and
        // reads back each margin it shows: "1.#QNAN0", "1.#INF00" and "-1.#INF00" read as 1, -1.
        if (const auto& layout = row.layout) {
            CMargeData want = layout->given;
            for (float* m :
                 {&want.marginTop, &want.marginBottom, &want.marginRight, &want.marginLeft})
                *m = job || !row.shown || std::isfinite(*m) ? *m : std::signbit(*m) ? -1 : 1;
            if (row.show == kSetup && row.shown)
                want.horizontalPlacement =
                    row.picture->GetBitmapHeight() > row.picture->GetBitmapWidth();
            CHECK((layout->Intact() && std::memcmp(&layout->value, &want, 20) == 0 &&
                   layout->value.rotate == want.rotate && layout->value.position == want.position));
        }
        if (row.show == kSave && row.path) // unterminated, it proposes no name: emptied
            CHECK(std::exchange(path[32], L'x') == L'\0');
        CHECK(std::count(path.begin(), path.end(), L'x') == MAX_PATH + 64);
        CHECK((color == 0x00123456 && n == -7 && d == -1.5 && IsWindowEnabled(foreign)));
        for (int i = 0; i < 6; ++i) // what other rows were given, their rows check
            CHECK(((row.picture != &pictures[i] && i > 0) || Bytes(pictures[i]) == given[i]));
    }
    PostMessageW(foreign, WM_QUIT, 0, 0), other.join();
}
