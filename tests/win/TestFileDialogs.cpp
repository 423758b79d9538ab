// The system's Open, Save As and folder dialogs through the exports, driven from a second
// thread: the filter lists they show, the names they propose and what reaches the host's
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

// Paths shown as text when a check fails.
namespace doctest {
template <> struct StringMaker<std::wstring> {
    static String convert(const std::wstring& text) {
        std::string narrow;
        for (wchar_t c : text) {
            narrow += c < 128 ? static_cast<char>(c) : '?';
        }
        return String(narrow.c_str());
    }
};
} // namespace doctest

using namespace QuilletTest;
using Orvanel::ShellPlan::FilterPairs;

namespace {

const std::wstring kFolder = L"C:\\quillet-dialogs";
const std::wstring kUntouched = L"C:\\untouched\\name.png";

void MakeFiles() {
    CreateDirectoryW(kFolder.c_str(), nullptr);
    for (const wchar_t* name : {L"beach.png", L"clip.avi", L"clip.mov", L"clip.mp4"}) {
        HANDLE file = CreateFileW((kFolder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        REQUIRE(file != INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    SetCurrentDirectoryW(kFolder.c_str());
}

// What the user sees in the file-type box, in order.
std::vector<std::wstring> FileTypes(HWND dialog) {
    HWND combo = GetDlgItem(dialog, cmb1);
    std::vector<std::wstring> types;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        types.push_back(text.c_str());
    }
    return types;
}

std::vector<std::wstring> Descriptions(const wchar_t* list) {
    std::vector<std::wstring> descriptions;
    for (const auto& pair : FilterPairs(list)) {
        descriptions.push_back(pair.first);
    }
    return descriptions;
}

void TypeName(HWND dialog, const std::wstring& name) {
    SetDlgItemTextW(dialog, cmb13, name.c_str());
}

// The file names the dialog's list shows, once it has settled.
std::vector<std::wstring> ListedFiles(HWND dialog) {
    Sleep(500);
    HWND list = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) {
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (lstrcmpW(name, WC_LISTVIEWW) != 0) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&list));
    std::vector<std::wstring> names;
    const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    return names;
}

// Runs `show` while `drive` acts on the system dialog; the dialog must appear and be closed
// by the driver, not by the watchdog.
int Drive(const std::function<int()>& show, const std::function<void(HWND)>& drive) {
    CModalDriver driver(drive);
    const int result = show();
    driver.Join();
    CHECK(driver.DialogFound());
    CHECK_FALSE(driver.WatchdogFired());
    return result;
}

struct PathBuffer {
    wchar_t text[MAX_PATH];
    explicit PathBuffer(const wchar_t* initial) { lstrcpyW(text, initial); }
    std::wstring str() const { return text; }
};

} // namespace

TEST_CASE("the image Open dialog: its file types, a file chosen, a name refused, cancel") {
    MakeFiles();
    PathBuffer path(kUntouched.c_str());
    std::vector<std::wstring> types;
    HWND owner = reinterpret_cast<HWND>(1);
    CHECK(Drive([&] { return ShowOpenDialogBox(path.text, GetDesktopWindow()); },
                [&](HWND dialog) {
                    types = FileTypes(dialog);
                    owner = GetWindow(dialog, GW_OWNER);
                    TypeName(dialog, kFolder + L"\\beach.png");
                    ClickButton(dialog, IDOK);
                }) == 1);
    CHECK(types == Descriptions(Orvanel::ShellPlan::kImageOpenFilter));
    CHECK(owner == nullptr); // the host's window is not the dialog's owner
    CHECK(path.str() == kFolder + L"\\beach.png");

    // A name that does not exist is answered with a message and the dialog stays open.
    PathBuffer refused(kUntouched.c_str());
    bool messageShown = false;
    CHECK(Drive([&] { return ShowOpenDialogBox(refused.text, nullptr); },
                [&](HWND dialog) {
                    TypeName(dialog, kFolder + L"\\missing.png");
                    ClickButton(dialog, IDOK);
                    HWND message = WaitForOwnedDialog(dialog, 5000);
                    messageShown = message != nullptr;
                    PostMessageW(message, WM_COMMAND, IDOK, 0);
                    Sleep(300);
                    messageShown = messageShown && IsWindow(dialog);
                    ClickButton(dialog, IDCANCEL);
                }) == 0);
    CHECK(messageShown);
    CHECK(refused.str() == kUntouched);
}

TEST_CASE("the video Open dialog: its file types, the M-JPEG filter, a clip chosen") {
    MakeFiles();
    PathBuffer path(kUntouched.c_str());
    std::vector<std::wstring> types, listed;
    CHECK(Drive([&] { return ShowVideoOpenBox(path.text, nullptr); },
                [&](HWND dialog) {
                    types = FileTypes(dialog);
                    HWND combo = GetDlgItem(dialog, cmb1);
                    const int mjpeg = static_cast<int>(types.size()) - 2;
                    SendMessageW(combo, CB_SETCURSEL, mjpeg, 0);
                    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK),
                                 reinterpret_cast<LPARAM>(combo));
                    listed = ListedFiles(dialog);
                    TypeName(dialog, L"clip.mov");
                    ClickButton(dialog, IDOK);
                }) == 1);
    CHECK(types == Descriptions(Orvanel::ShellPlan::kVideoOpenFilter));
    REQUIRE(types.size() == 11);
    CHECK(types[9] == L"M-JPEG (*.avi,*.mov)");
    CHECK(listed == std::vector<std::wstring>{L"clip.avi", L"clip.mov"});
    CHECK(path.str() == kFolder + L"\\clip.mov");

    PathBuffer cancelled(kUntouched.c_str());
    CHECK(Drive([&] { return ShowVideoOpenBox(cancelled.text, nullptr); },
                [](HWND dialog) { ClickButton(dialog, IDCANCEL); }) == 0);
    CHECK(cancelled.str() == kUntouched);
}

TEST_CASE("Save As proposes the base name and gives back the chosen path") {
    MakeFiles();
    PathBuffer path(L"C:\\Photos\\holiday.png");
    std::wstring proposed;
    std::vector<std::wstring> types;
    CHECK(Drive([&] { return ShowSaveDialogBox(path.text, nullptr); },
                [&](HWND dialog) {
                    proposed = ControlText(dialog, cmb13);
                    types = FileTypes(dialog);
                    TypeName(dialog, kFolder + L"\\sunset");
                    ClickButton(dialog, IDOK);
                }) == 1);
    CHECK(proposed == L"holiday");
    CHECK(types == Descriptions(Orvanel::ShellPlan::kSaveFilter));
    // Windows appends the default extension, png; Wine the selected type's, the first one.
    const std::wstring chosen = path.str();
    CHECK((chosen == kFolder + L"\\sunset.png" || chosen == kFolder + L"\\sunset.pnm"));

    // Cancelled, the buffer keeps the proposed name.
    PathBuffer cancelled(L"D:/archive/2019/beach.jpeg");
    CHECK(Drive([&] { return ShowSaveDialogBox(cancelled.text, nullptr); },
                [&](HWND dialog) { ClickButton(dialog, IDCANCEL); }) == 0);
    CHECK(cancelled.str() == L"beach");
}

// The runtime's default handler of invalid parameters ends the process on Windows (Wine's
// runtime only returns): while the test hands its splitter names too long on purpose, the
// refusal must come back as a result instead.
static void IgnoreInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned,
                                   uintptr_t) {}

TEST_CASE("Save As with no name, or a name too long to split, proposes nothing") {
    const std::wstring overlongFolder = L"C:\\" + std::wstring(254, L'd') + L"\\x.png";
    for (const std::wstring& incoming : {std::wstring(), overlongFolder.substr(0, MAX_PATH - 1),
                                         std::wstring(256, L'n') + L".png"}) {
        CAPTURE(incoming.size());
        PathBuffer path(incoming.c_str());
        std::wstring proposed = L"not read";
        CHECK(Drive([&] { return ShowSaveDialogBox(path.text, nullptr); },
                    [&](HWND dialog) {
                        proposed = ControlText(dialog, cmb13);
                        ClickButton(dialog, IDCANCEL);
                    }) == 0);
        CHECK(proposed == L"");
        CHECK(path.str() == L"");
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
        CAPTURE(name);
        wchar_t drive[3], folder[256], base[256], extension[256];
        const bool split =
            _wsplitpath_s(name.c_str(), drive, 3, folder, 256, base, 256, extension, 256) == 0;
        const auto proposal = Orvanel::ShellPlan::ProposeSaveName(name.c_str());
        CHECK(proposal.baseName == (split ? base : L""));
        CHECK(proposal.defaultExtension == (split && extension[0] ? extension + 1 : L""));
    }
    _set_invalid_parameter_handler(previous);
}

TEST_CASE("the folder browser: a folder chosen, cancelled, or an item that is no folder") {
    MakeFiles();
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    PathBuffer path(kUntouched.c_str());
    bool titled = false;
    HWND owner = nullptr;
    CHECK(Drive([&] { return ShowFolderSelectDialogBox(path.text, host); },
                [&](HWND dialog) {
                    owner = GetWindow(dialog, GW_OWNER);
                    titled = FindWindowExW(dialog, nullptr, L"Static", L"Select a Folder");
                    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                                 reinterpret_cast<LPARAM>(kFolder.c_str()));
                    ClickButton(dialog, IDOK);
                }) == 1);
    CHECK(owner == host);
    CHECK(titled);
    CHECK(path.str() == kFolder);

    PathBuffer cancelled(kUntouched.c_str());
    CHECK(Drive([&] { return ShowFolderSelectDialogBox(cancelled.text, host); },
                [](HWND dialog) { ClickButton(dialog, IDCANCEL); }) == 0);
    CHECK(cancelled.str() == kUntouched);

    // The computer itself is an item of the tree but no folder on disk.
    PIDLIST_ABSOLUTE computer = nullptr;
    REQUIRE(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer) == S_OK);
    PathBuffer virtualItem(kUntouched.c_str());
    CHECK(Drive([&] { return ShowFolderSelectDialogBox(virtualItem.text, host); },
                [&](HWND dialog) {
                    SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE,
                                 reinterpret_cast<LPARAM>(computer));
                    ClickButton(dialog, IDOK);
                }) == 0);
    CHECK(virtualItem.str() == kUntouched);
    CoTaskMemFree(computer);
    DestroyWindow(host);
}
