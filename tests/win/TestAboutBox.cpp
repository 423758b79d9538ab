// The About box through the exported ShowDialogBox, driven as a user would. Its template is
// pinned by the templates test, its three ways out by the leak soak.
#include "module/Quillet.h"
#include "resources/resource.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <string>

using namespace QuilletTest;

TEST_CASE("the About box shows its four strings, is centred and is owned by the host") {
    // The lines top to bottom: product with version, author, company, web address.
    const int lines[4] = {IDC_ABOUT_LINE1, IDC_ABOUT_LINE2, IDC_ABOUT_LINE3, IDC_ABOUT_LINE4};
    const UINT strings[4] = {IDS_ABOUT_PRODUCT, IDS_ABOUT_AUTHOR, IDS_ABOUT_COMPANY, IDS_ABOUT_WEB};
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    std::wstring texts[4];
    RECT rect{};
    HWND owner = nullptr;
    CModalDriver driver([&](HWND dialog) {
        for (int i = 0; i < 4; ++i) {
            texts[i] = ControlText(dialog, lines[i]);
        }
        GetWindowRect(dialog, &rect);
        owner = GetWindow(dialog, GW_OWNER);
        ClickButton(dialog, IDC_ABOUT_OK);
    });
    const __int64 result = ShowDialogBox(host);
    driver.Join();
    DestroyWindow(host);

    REQUIRE_MESSAGE(result != -1, "the dialog could not be created (is there a display?)");
    CHECK((driver.DialogFound() && !driver.WatchdogFired()));
    CHECK(result == 0); // the About box's own button
    CHECK(owner == host);
    for (int i = 0; i < 4; ++i) {
        wchar_t expected[256] = {};
        LoadStringW(GetModuleHandleW(L"Quillet.dll"), strings[i], expected, 255);
        CHECK(texts[i] == expected);
        CHECK((!texts[i].empty() && texts[i] != L"Static"));
    }
    CHECK(std::abs(rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) <= 1);
    CHECK(std::abs(rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 1);
}
