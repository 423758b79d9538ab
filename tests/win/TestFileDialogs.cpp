// The system's Open, Save As and folder dialogs through the exports, driven from a second
// thread: the file types they list, the names they propose and what reaches the host's
// buffer when the user confirms, cancels or picks something that is no file.
#include "module/Quillet.h"
#include "shellplan/FileDialogFilters.h"
#include "support/DialogHarness.h"

#include <dlgs.h>
#include <shlobj.h>

#include <string>
#include <vector>

using namespace QuilletTest;

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

// The file types the dialog lists, against the descriptions of the list it was given (whose
// texts the native tests pin).
void CheckFileTypes(HWND dialog, const wchar_t* list) {
    std::vector<std::wstring> expected;
    for (const auto& pair : Orvanel::ShellPlan::FilterPairs(list))
        expected.push_back(pair.first);
    CHECK(ComboItems(dialog, cmb1) == expected);
}

// Types a name and confirms it.
void Choose(HWND dialog, const std::wstring& name) {
    SetDlgItemTextW(dialog, cmb13, name.c_str());
    ClickButton(dialog, IDOK);
}

void Cancel(HWND dialog) { ClickButton(dialog, IDCANCEL); }

// Runs `show` on a buffer holding `initial` while `drive` acts on the system dialog; checks
// its answer and gives the buffer.
std::wstring Drive(const std::wstring& initial, int (*show)(wchar_t*, HWND), HWND owner, int answer,
                   const std::function<void(HWND)>& drive) {
    wchar_t path[MAX_PATH] = {};
    initial.copy(path, MAX_PATH - 1);
    CHECK(RunDialog([&] { return show(path, owner); }, drive) == answer);
    return path;
}

} // namespace

TEST_CASE("the Open dialogs: their file types, a file chosen, cancel") {
    MakeFiles();
    CHECK(Drive(kUntouched, ShowOpenDialogBox, GetDesktopWindow(), 1, [&](HWND dialog) {
              CheckFileTypes(dialog, Orvanel::ShellPlan::kImageOpenFilter);
              CHECK(GetWindow(dialog, GW_OWNER) == nullptr); // the host's window does not own it
              Choose(dialog, kFolder + L"\\beach.png");
          }) == kFolder + L"\\beach.png");
    CHECK(Drive(kUntouched, ShowVideoOpenBox, nullptr, 1, [&](HWND dialog) {
              CheckFileTypes(dialog, Orvanel::ShellPlan::kVideoOpenFilter);
              Choose(dialog, kFolder + L"\\clip.mov");
          }) == kFolder + L"\\clip.mov");
    CHECK(Drive(kUntouched, ShowVideoOpenBox, nullptr, 0, Cancel) == kUntouched);
}

TEST_CASE("Save As proposes the base name and gives back the chosen path") {
    MakeFiles();
    const std::wstring chosen =
        Drive(L"C:\\Photos\\holiday.png", ShowSaveDialogBox, nullptr, 1, [&](HWND dialog) {
            CHECK(ControlText(dialog, cmb13) == L"holiday");
            CheckFileTypes(dialog, Orvanel::ShellPlan::kSaveFilter);
            Choose(dialog, kFolder + L"\\sunset");
        });
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
        CHECK(Drive(incoming, ShowSaveDialogBox, nullptr, 0, [&](HWND dialog) {
                  CHECK(ControlText(dialog, cmb13) == expected);
                  Cancel(dialog);
              }) == expected);
    }
}

TEST_CASE("the folder browser: a folder chosen, cancelled, or an item that is no folder") {
    MakeFiles();
    CHostWindow host;
    CHECK(Drive(kUntouched, ShowFolderSelectDialogBox, host, 1, [&](HWND dialog) {
              CHECK(GetWindow(dialog, GW_OWNER) == host);
              CHECK(FindWindowExW(dialog, nullptr, L"Static", L"Select a Folder") != nullptr);
              SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, LPARAM(kFolder.c_str()));
              ClickButton(dialog, IDOK);
          }) == kFolder);
    CHECK(Drive(kUntouched, ShowFolderSelectDialogBox, host, 0, Cancel) == kUntouched);
    // The computer itself is an item of the tree but no folder on disk.
    PIDLIST_ABSOLUTE computer = nullptr;
    REQUIRE(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer) == S_OK);
    CHECK(Drive(kUntouched, ShowFolderSelectDialogBox, host, 0, [&](HWND dialog) {
              SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(computer));
              ClickButton(dialog, IDOK);
          }) == kUntouched);
    CoTaskMemFree(computer);
}
