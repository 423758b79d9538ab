// ShowOpenCLDialogBox driven as a user would: the host's names listed in its order, the one
// confirmed handed back, and the empty string whenever nothing in the list was confirmed.
#include "module/Quillet.h"
#include "resources/resource.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <functional>
#include <string>
#include <vector>

using namespace QuilletTest;

namespace {

// The combo box's items, in order.
std::vector<std::wstring> Listed(HWND dialog) {
    std::vector<std::wstring> items;
    const LRESULT count = SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETLBTEXT, i,
                            reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// What the user saw when the dialog opened: the items and the one shown in the box.
struct Opening {
    std::vector<std::wstring> listed;
    std::wstring shown;
    LRESULT selection = -2;
};

std::wstring Run(const std::vector<std::wstring>& names, const std::function<void(HWND)>& act,
                 Opening& opening, HWND owner = nullptr) {
    CModalDriver driver([&](HWND dialog) {
        opening.listed = Listed(dialog);
        opening.shown = ControlText(dialog, IDC_OPENCL_DEVICE);
        opening.selection = SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_GETCURSEL, 0, 0);
        act(dialog);
    });
    std::wstring chosen = ShowOpenCLDialogBox(owner, names);
    driver.Join();
    CHECK(driver.DialogFound());
    CHECK_FALSE(driver.WatchdogFired());
    return chosen;
}

void Select(HWND dialog, int index) {
    SendDlgItemMessageW(dialog, IDC_OPENCL_DEVICE, CB_SETCURSEL, index, 0);
}

} // namespace

TEST_CASE("the names in the host's order, the first shown, the confirmed one returned") {
    const std::vector<std::wstring> names{L"Zeta GPU", L"Alpha CPU", L"Mid accelerator"};
    Opening opening;
    CHECK(Run(
              names, [](HWND dialog) { ClickButton(dialog, IDOK); }, opening) == L"Zeta GPU");
    CHECK(opening.listed == names); // not sorted
    CHECK((opening.shown == L"Zeta GPU" && opening.selection == 0));

    const auto chooseThird = [](HWND dialog) {
        Select(dialog, 2);
        ClickButton(dialog, IDOK);
    };
    CHECK(Run(names, chooseThird, opening) == L"Mid accelerator");

    // Two identical names are both listed; the second, chosen by position, comes back.
    const std::vector<std::wstring> twins{L"Twin", L"Twin", L"Other"};
    const auto chooseSecond = [](HWND dialog) {
        Select(dialog, 1);
        ClickButton(dialog, IDOK);
    };
    CHECK(Run(twins, chooseSecond, opening) == L"Twin");
    CHECK(opening.listed == twins);

    // Owned by the host's window.
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND ownerSeen = nullptr;
    const auto okAfterLooking = [&](HWND dialog) {
        ownerSeen = GetWindow(dialog, GW_OWNER);
        ClickButton(dialog, IDOK);
    };
    CHECK(Run({L"Only"}, okAfterLooking, opening, host) == L"Only");
    CHECK(ownerSeen == host);
    DestroyWindow(host);
}

TEST_CASE("nothing confirmed from the list gives the empty string") {
    const std::vector<std::wstring> names{L"A", L"B"};
    Opening opening;
    const auto chooseThenCancel = [](HWND dialog) {
        Select(dialog, 1);
        ClickButton(dialog, IDCANCEL);
    };
    CHECK(Run(names, chooseThenCancel, opening).empty());
    const auto chooseThenClose = [](HWND dialog) {
        Select(dialog, 1);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    CHECK(Run(names, chooseThenClose, opening).empty());

    // An empty list: nothing to select, and OK must not read the list at -1.
    CHECK(Run(
              {}, [](HWND dialog) { ClickButton(dialog, IDOK); }, opening)
              .empty());
    CHECK((opening.listed.empty() && opening.selection == CB_ERR));

    // A name typed into the box's edit field selects no item: not a device of the host's.
    const auto typeThenOk = [](HWND dialog) {
        Select(dialog, -1);
        SetDlgItemTextW(dialog, IDC_OPENCL_DEVICE, L"Typed device");
        ClickButton(dialog, IDOK);
    };
    CHECK(Run(names, typeThenOk, opening).empty());
}
