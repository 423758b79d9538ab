// The About box through the exported ShowDialogBox, driven as a user would.
#include "module/Quillet.h"
#include "demo/ModalDriver.h"

#include <doctest/doctest.h>

#include <string>
#include <cstdlib>
#include <functional>

using QuilletDemo::CModalDriver;
using QuilletDemo::ControlText;

namespace {

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
        title = QuilletDemo::WindowText(dialog);
        for (int i = 0; i < 4; ++i) {
            texts[i] = ControlText(dialog, 1009 + i);
            RECT line{};
            GetWindowRect(GetDlgItem(dialog, 1009 + i), &line);
            tops[i] = line.top;
        }
        button = ControlText(dialog, 1000);
        GetWindowRect(dialog, &rect);
        owner = GetWindow(dialog, GW_OWNER);
        PostMessageW(GetDlgItem(dialog, 1000), BM_CLICK, 0, 0);
    });
    DestroyWindow(host);

    CHECK(result == 0); // the About box's own button
    CHECK(title == L"About ...");
    CHECK(button == L"OK");
    CHECK(owner == host);
    // Product with version, author, company, web address.
    const UINT strings[4] = {115, 116, 117, 110};
    for (int i = 0; i < 4; ++i) {
        CHECK(texts[i] == LibraryString(strings[i]));
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

    CHECK(LibraryString(116) == L"\u00C9lise Marchetti"); // accented text kept exact
    CHECK(LibraryString(105) == L"Champs");
    CHECK(LibraryString(106) == L"Valeur");
    CHECK(LibraryString(107) == L"Nom du fichier");
    CHECK(LibraryString(108) == L"Longueur");
    CHECK(LibraryString(109) == L"Largeur");
}
