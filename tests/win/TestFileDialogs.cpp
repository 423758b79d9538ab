// The system's Open, Save As and folder dialogs through the exports, driven from a second
// thread: the file types they list, the names they propose and what reaches the host's
// buffer when the user confirms, cancels or picks something that is no file.
#include "module/Quillet.h"
#include "shellplan/FileDialogFilters.h"
#include "shellplan/ProposedSaveName.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <dlgs.h>
#include <shlobj.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace QuilletTest;
using Orvanel::ShellPlan::FilterPairs;

namespace {

const std::wstring kFolder = L"C:\\quillet-dialogs";
const std::wstring kUntouched = L"C:\\untouched\\name.png";

void MakeFiles() {
    CreateDirectoryW(kFolder.c_str(), nullptr);
    for (const wchar_t* name : {L"beach.png", L"clip.mov"}) {
        CloseHandle(CreateFileW((kFolder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
}

// The file types the dialog lists, against the descriptions of the list it was given.
bool ListsFileTypes(HWND dialog, const wchar_t* list) {
    HWND combo = GetDlgItem(dialog, cmb1);
    std::vector<std::wstring> shown, expected;
    for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t text[MAX_PATH] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        shown.push_back(text);
    }
    for (const auto& pair : FilterPairs(list)) {
        expected.push_back(pair.first);
    }
    return shown == expected;
}

void TypeName(HWND dialog, const std::wstring& name) {
    SetDlgItemTextW(dialog, cmb13, name.c_str());
}

// Runs `show` on a buffer holding `initial` while `drive` acts on the system dialog, which
// must appear and be closed by the driver, not by the watchdog. Returns the buffer.
std::wstring Drive(const std::wstring& initial, int (*show)(wchar_t*, HWND), HWND owner,
                   int expectedResult, const std::function<void(HWND)>& drive) {
    wchar_t path[MAX_PATH] = {};
    initial.copy(path, MAX_PATH - 1);
    CModalDriver driver(drive);
    CHECK(show(path, owner) == expectedResult);
    driver.Join();
    CHECK(driver.DialogFound());
    CHECK_FALSE(driver.WatchdogFired());
    return path;
}

// The runtime's default handler of invalid parameters ends the process on Windows (Wine's
// runtime only returns): while the test hands its splitter names too long on purpose, the
// refusal must come back as a result instead.
void IgnoreInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) {}

} // namespace

TEST_CASE("the Open dialogs: their file types, a file chosen, a missing name "
          "refused, cancel") {
    MakeFiles();
    bool listed = false;
    HWND owner = GetDesktopWindow();
    CHECK(Drive(kUntouched, ShowOpenDialogBox, owner, 1, [&](HWND dialog) {
              listed = ListsFileTypes(dialog, Orvanel::ShellPlan::kImageOpenFilter);
              owner = GetWindow(dialog, GW_OWNER);
              TypeName(dialog, kFolder + L"\\beach.png");
              ClickButton(dialog, IDOK);
          }) == kFolder + L"\\beach.png");
    CHECK(listed);
    CHECK(owner == nullptr); // the host's window does not own the dialog

    // A name that does not exist is answered with a message and the dialog stays open.
    bool refused = false;
    CHECK(Drive(kUntouched, ShowOpenDialogBox, nullptr, 0, [&](HWND dialog) {
              TypeName(dialog, kFolder + L"\\missing.png");
              ClickButton(dialog, IDOK);
              HWND message = WaitForOwnedDialog(dialog, 5000);
              PostMessageW(message, WM_COMMAND, IDOK, 0);
              Sleep(300);
              refused = message != nullptr && IsWindow(dialog);
              ClickButton(dialog, IDCANCEL);
          }) == kUntouched);
    CHECK(refused);

    listed = false;
    CHECK(Drive(kUntouched, ShowVideoOpenBox, nullptr, 1, [&](HWND dialog) {
              listed = ListsFileTypes(dialog, Orvanel::ShellPlan::kVideoOpenFilter);
              TypeName(dialog, kFolder + L"\\clip.mov");
              ClickButton(dialog, IDOK);
          }) == kFolder + L"\\clip.mov");
    CHECK(listed);
    CHECK(Drive(kUntouched, ShowVideoOpenBox, nullptr, 0,
                [](HWND dialog) { ClickButton(dialog, IDCANCEL); }) == kUntouched);
}

TEST_CASE("Save As proposes the base name and gives back the chosen path") {
    MakeFiles();
    std::wstring proposed;
    bool listed = false;
    const std::wstring chosen =
        Drive(L"C:\\Photos\\holiday.png", ShowSaveDialogBox, nullptr, 1, [&](HWND dialog) {
            proposed = ControlText(dialog, cmb13);
            listed = ListsFileTypes(dialog, Orvanel::ShellPlan::kSaveFilter);
            TypeName(dialog, kFolder + L"\\sunset");
            ClickButton(dialog, IDOK);
        });
    CHECK(proposed == L"holiday");
    CHECK(listed);
    // Windows appends the default extension, png; Wine the selected type's, the first one.
    CHECK((chosen == kFolder + L"\\sunset.png" || chosen == kFolder + L"\\sunset.pnm"));

    // Cancelled, the buffer keeps the proposed name; no name, or one with a part too long to
    // split, proposes nothing and the process goes on.
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"D:/archive/2019/beach.jpeg", L"beach"},
        {L"", L""},
        {L"C:\\" + std::wstring(254, L'd') + L"\\x", L""},
        {std::wstring(256, L'n') + L".png", L""}};
    for (const auto& [incoming, expected] : cases) {
        CAPTURE(incoming.size());
        proposed = L"not read";
        CHECK(Drive(incoming, ShowSaveDialogBox, nullptr, 0, [&](HWND dialog) {
                  proposed = ControlText(dialog, cmb13);
                  ClickButton(dialog, IDCANCEL);
              }) == expected);
        CHECK(proposed == expected);
    }
}

TEST_CASE("the name split agrees with the runtime's splitter and refuses what it refuses") {
    const _invalid_parameter_handler previous =
        _set_invalid_parameter_handler(IgnoreInvalidParameter);
    const std::wstring d253(253, L'd'), n255(255, L'n'), e254(254, L'e');
    for (const std::wstring& name : std::vector<std::wstring>{
             L"C:\\Photos\\holiday.png", L"D:/a.b/c/archive.tar.gz", L"\\\\server\\share\\notes",
             L"picture.", L"C:.profile", L"ab:c.jpg", L"plain", L"C:\\" + d253 + L"\\x",
             L"C:\\d" + d253 + L"\\x", n255 + L".png", n255 + L"n.", L"n." + e254, L"n.e" + e254}) {
        CAPTURE(name.size());
        wchar_t drive[3], folder[256], base[256], extension[256];
        const bool split =
            _wsplitpath_s(name.c_str(), drive, 3, folder, 256, base, 256, extension, 256) == 0;
        const auto proposal = Orvanel::ShellPlan::ProposeSaveName(name.c_str());
        CHECK(proposal.baseName == (split ? base : L""));
        CHECK(proposal.defaultExtension == (split && extension[0] ? extension + 1 : L""));
    }
    _set_invalid_parameter_handler(previous);
}

TEST_CASE("the folder browser: a folder chosen, cancelled, or an item that is "
          "no folder") {
    MakeFiles();
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND owner = nullptr;
    bool titled = false;
    CHECK(Drive(kUntouched, ShowFolderSelectDialogBox, host, 1, [&](HWND dialog) {
              owner = GetWindow(dialog, GW_OWNER);
              titled = FindWindowExW(dialog, nullptr, L"Static", L"Select a Folder");
              SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                           reinterpret_cast<LPARAM>(kFolder.c_str()));
              ClickButton(dialog, IDOK);
          }) == kFolder);
    CHECK(owner == host);
    CHECK(titled);
    CHECK(Drive(kUntouched, ShowFolderSelectDialogBox, host, 0,
                [](HWND dialog) { ClickButton(dialog, IDCANCEL); }) == kUntouched);

    // The computer itself is an item of the tree but no folder on disk.
    PIDLIST_ABSOLUTE computer = nullptr;
    REQUIRE(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer) == S_OK);
    CHECK(Drive(kUntouched, ShowFolderSelectDialogBox, host, 0, [&](HWND dialog) {
              SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(computer));
              ClickButton(dialog, IDOK);
          }) == kUntouched);
    CoTaskMemFree(computer);
    DestroyWindow(host);
}
