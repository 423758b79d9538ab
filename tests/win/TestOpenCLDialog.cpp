// ShowOpenCLDialogBox driven as a user would: the host's names listed in its order, the first
// shown, the one confirmed handed back, and the empty string when no item of the list was.
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <string>
#include <vector>

using namespace QuilletTest;

TEST_CASE("the names in the host's order, the first shown; what comes back") {
    const std::vector<std::wstring> names{L"Zeta GPU", L"Alpha CPU", L"Mid accelerator"};
    // OK with the selection as it opened, with another item, and with no item selected and a
    // name typed into the box's edit field: not a device of the host's. What Cancel and a
    // close give is checked by the leak soak.
    const struct {
        int select; // -2: leave the selection as it opened
        const wchar_t* typed;
        const wchar_t* answer;
    } cases[] = {
        {-2, nullptr, L"Zeta GPU"},
        {2, nullptr, L"Mid accelerator"},
        {-1, L"Typed device", L""},
    };
    CHostWindow host;
    for (const auto& c : cases) {
        INFO("item " << c.select << " chosen");
        const std::wstring chosen = RunDialog(
            [&] { return ShowOpenCLDialogBox(host, names); },
            [&](HWND dialog) {
                CHECK(ComboItems(dialog, IDC_OPENCL_DEVICE) == names); // not sorted
                CHECK(ControlText(dialog, IDC_OPENCL_DEVICE) == names.front());
                CHECK(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCURSEL, 0, 0) == 0);
                CHECK(GetWindow(dialog, GW_OWNER) == host);
                if (c.select != -2)
                    SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, c.select, 0);
                if (c.typed != nullptr)
                    SetDlgItemTextW(dialog, IDC_OPENCL_DEVICE, c.typed);
                ClickButton(dialog, IDOK);
            });
        CHECK(chosen == c.answer);
    }
    // An empty list: nothing to select, and OK must not read the list at -1.
    CHECK(RunDialog([] { return ShowOpenCLDialogBox(nullptr, {}); },
                    [](HWND dialog) {
                        CHECK(ComboItems(dialog, IDC_OPENCL_DEVICE).empty());
                        CHECK(SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCURSEL, 0, 0) ==
                              CB_ERR);
                        ClickButton(dialog, IDOK);
                    })
              .empty());
}
