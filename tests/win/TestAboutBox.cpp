// The About box through the exported ShowDialogBox, driven as a user would.
#include "module/Quillet.h"
#include "resources/resource.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <functional>
#include <string>

using QuilletTest::ClickButton;
using QuilletTest::CModalDriver;
using QuilletTest::ControlText;

namespace {

// The four lines top to bottom, and the strings they show.
const int kLines[4] = {IDC_ABOUT_LINE1, IDC_ABOUT_LINE2, IDC_ABOUT_LINE3, IDC_ABOUT_LINE4};
const UINT kLineStrings[4] = {IDS_ABOUT_PRODUCT, IDS_ABOUT_AUTHOR, IDS_ABOUT_COMPANY,
                              IDS_ABOUT_WEB};

std::wstring LibraryString(UINT id) {
    wchar_t buffer[256] = {};
    LoadStringW(GetModuleHandleW(L"Quillet.dll"), id, buffer, 255);
    return buffer;
}

// Shows the About box, lets `drive` act on it and returns ShowDialogBox's result.
__int64 RunAboutBox(HWND owner, const std::function<void(HWND)>& drive) {
    CModalDriver driver(drive);
    const __int64 result = ShowDialogBox(owner);
    driver.Join();
    REQUIRE_MESSAGE(result != -1, "the dialog could not be created (is there a display?)");
    CHECK(driver.DialogFound());
    CHECK_FALSE(driver.WatchdogFired());
    return result;
}

} // namespace

TEST_CASE("the About box shows its four texts top to bottom, centred, owned by the host") {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    std::wstring title, button, texts[4];
    LONG tops[4] = {};
    RECT rect{};
    HWND owner = nullptr;
    const __int64 result = RunAboutBox(host, [&](HWND dialog) {
        title = QuilletTest::WindowText(dialog);
        for (int i = 0; i < 4; ++i) {
            texts[i] = ControlText(dialog, kLines[i]);
            RECT line{};
            GetWindowRect(GetDlgItem(dialog, kLines[i]), &line);
            tops[i] = line.top;
        }
        button = ControlText(dialog, IDC_ABOUT_OK);
        GetWindowRect(dialog, &rect);
        owner = GetWindow(dialog, GW_OWNER);
        ClickButton(dialog, IDC_ABOUT_OK);
    });
    DestroyWindow(host);

    CHECK(result == 0); // the About box's own button
    CHECK(title == L"About ...");
    CHECK(button == L"OK");
    CHECK(owner == host);
    // Product with version, author, company, web address.
    for (int i = 0; i < 4; ++i) {
        CHECK(texts[i] == LibraryString(kLineStrings[i]));
        CHECK((!texts[i].empty() && texts[i] != L"Static"));
    }
    CHECK((tops[0] < tops[1] && tops[1] < tops[2] && tops[2] < tops[3]));
    CHECK(std::abs(rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) <= 1);
    CHECK(std::abs(rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 1);
}

TEST_CASE("the About box's results and string table") {
    CHECK(RunAboutBox(nullptr, [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); }) == 1);
    CHECK(RunAboutBox(nullptr, [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }) == 0);
    CHECK(RunAboutBox(nullptr, [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); }) == 0);

    CHECK(LibraryString(IDS_ABOUT_AUTHOR) == L"\u00C9lise Marchetti"); // accented text kept exact
    CHECK(LibraryString(IDS_FIELD) == L"Champs");
    CHECK(LibraryString(IDS_VALUE) == L"Valeur");
    CHECK(LibraryString(IDS_FILE_NAME) == L"Nom du fichier");
    CHECK(LibraryString(IDS_LENGTH) == L"Longueur");
    CHECK(LibraryString(IDS_WIDTH) == L"Largeur");
}
