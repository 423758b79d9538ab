// ShowOpenCLDialogBox driven as a user would: the host's names listed in its order, the first
// shown, the one confirmed handed back, and the empty string whenever nothing in the list was
// confirmed.
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <string>
#include <vector>

using namespace QuilletTest;

namespace {

std::vector<std::wstring> Listed(HWND dialog) {
    std::vector<std::wstring> items;
    for (LRESULT i = 0; i < SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCOUNT, 0, 0);
         ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETLBTEXT, i, LPARAM(text));
        items.push_back(text);
    }
    return items;
}

} // namespace

TEST_CASE("the names in the host's order, the first shown; what comes back") {
    const std::vector<std::wstring> names{L"Zeta GPU", L"Alpha CPU", L"Mid accelerator"},
        twins{L"Twin", L"Twin", L"Other"};
    enum Ending { kOk, kCancel, kClose };
    const struct {
        const std::vector<std::wstring>* names;
        int select; // -2: leave the selection as it opened
        const wchar_t* typed;
        Ending ending;
        const wchar_t* answer;
    } cases[] = {
        {&names, -2, nullptr, kOk, L"Zeta GPU"},
        {&names, 2, nullptr, kOk, L"Mid accelerator"},
        {&twins, 1, nullptr, kOk, L"Twin"}, // the second of two identical names, by position
        {&names, 1, nullptr, kCancel, L""},
        {&names, 1, nullptr, kClose, L""},
        // A name typed into the box's edit field selects no item: not a device of the host's.
        {&names, -1, L"Typed device", kOk, L""},
    };
    CHostWindow host;
    for (const auto& c : cases) {
        CAPTURE(c.select);
        CAPTURE(int(c.ending));
        const std::wstring chosen = RunDialog(
            [&] { return ShowOpenCLDialogBox(host, *c.names); },
            [&](HWND dialog) {
                CHECK(Listed(dialog) == *c.names); // not sorted
                CHECK(ControlText(dialog, IDC_OPENCL_DEVICE) == c.names->front());
                CHECK(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCURSEL, 0, 0) == 0);
                CHECK(GetWindow(dialog, GW_OWNER) == host);
                if (c.select != -2)
                    SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, c.select, 0);
                if (c.typed != nullptr)
                    SetDlgItemTextW(dialog, IDC_OPENCL_DEVICE, c.typed);
                if (c.ending == kClose) {
                    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                } else {
                    ClickButton(dialog, c.ending == kOk ? IDOK : IDCANCEL);
                }
            });
        CHECK(chosen == c.answer);
    }
    // An empty list: nothing to select, and OK must not read the list at -1.
    CHECK(RunDialog([] { return ShowOpenCLDialogBox(nullptr, {}); },
                    [](HWND dialog) {
                        CHECK(Listed(dialog).empty());
                        CHECK(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCURSEL, 0, 0) ==
                              CB_ERR);
                        ClickButton(dialog, IDOK);
                    })
              .empty());
}
