// The dialogs that act on the system rather than on a picture, through the exports. The
// system's Open, Save As and folder dialogs, driven from a second thread: the file types they
// list, the names they propose and what reaches the host's buffer when the user confirms,
// cancels or picks something that is no file. Then the file association and the registry.
#include "module/Quillet.h"
#include "resources/resource.h"
#include "shellplan/AssociationPlan.h"
#include "shellplan/FileDialogFilters.h"
#include "support/DialogHarness.h"
#include "support/ImportPatch.h"

#include <dlgs.h>
#include <shlobj.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace QuilletTest;

namespace {

const std::wstring kFolder = L"C:\\quillet-dialogs";
const std::wstring kUntouched = L"C:\\untouched\\name.png";

void MakeFiles() {
    CreateDirectoryW(kFolder.c_str(), nullptr);
    CloseHandle(CreateFileW((kFolder + L"\\beach.png").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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

TEST_CASE("the Open dialogs: their file types, a file chosen, a cancel") {
    MakeFiles();
    CHECK(Drive(kUntouched, ShowOpenDialogBox, GetDesktopWindow(), 1, [&](HWND dialog) {
              CheckFileTypes(dialog, Orvanel::ShellPlan::kImageOpenFilter);
              CHECK(GetWindow(dialog, GW_OWNER) == nullptr); // the host's window does not own it
              Choose(dialog, kFolder + L"\\beach.png");
          }) == kFolder + L"\\beach.png");
    CHECK(Drive(kUntouched, ShowVideoOpenBox, nullptr, 0, [&](HWND dialog) {
              CheckFileTypes(dialog, Orvanel::ShellPlan::kVideoOpenFilter);
              Cancel(dialog);
          }) == kUntouched);
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
    // A proposal without an extension: both append the selected type's to a name typed without.
    CHECK(Drive(L"holiday", ShowSaveDialogBox, nullptr, 1, [&](HWND dialog) {
              Choose(dialog, kFolder + L"\\sunset");
          }) == kFolder + L"\\sunset.pnm");

    // Cancelled, the buffer keeps the proposed name; one with a part too long to split proposes
    // nothing and the process goes on.
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"D:/archive/2019/beach.jpeg", L"beach"},
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

// ShowAssociateFilesExtension driven as a user would. What the registry holds afterwards, types
// and raw bytes, must equal, key for key and byte for byte, what was there before with the
// registration of the boxes left checked. The viewer's path comes from the running program's,
// which the DLL is told through its import of GetModuleFileNameW.
// Which box registers which extensions is pinned by the native plan tests; here, that the
// dialog reads its boxes and that the writes reach the registry as written.
namespace {

// Key path ("hkcr\..." or "hkcu\...", lower case) -> value name -> the value's type, a colon and
// its data as stored, the terminator of a string included. Keys without values are left out:
// which keys the plan creates is pinned by the native plan tests.
using Model = std::map<std::wstring, std::map<std::wstring, std::wstring>>;
std::wstring String(const std::wstring& text) { return L"1:" + text + L'\0'; }

const std::wstring kFileExtsPath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(text.data(), DWORD(text.size()));
    return text;
}

// The values of a key, and with `recurse` those of every key below it.
void ReadTree(HKEY root, const std::wstring& path, bool recurse, Model& model) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    const std::wstring name = Lower((root == HKEY_CLASSES_ROOT ? L"hkcr\\" : L"hkcu\\") + path);
    wchar_t text[16384];
    BYTE data[4096];
    for (DWORD i = 0, length = 16384, type = 0, bytes = sizeof data;
         RegEnumValueW(key, i, text, &length, nullptr, &type, data, &bytes) == ERROR_SUCCESS;
         ++i, length = 16384, bytes = sizeof data)
        model[name][Lower(text)] =
            std::to_wstring(type) + L":" +
            std::wstring(reinterpret_cast<const wchar_t*>(data), (bytes + 1) / sizeof(wchar_t));
    std::vector<std::wstring> children;
    for (DWORD i = 0, length = 256;
         recurse && RegEnumKeyExW(key, i, text, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 256)
        children.push_back(text);
    RegCloseKey(key);
    for (const std::wstring& child : children)
        ReadTree(root, path + L"\\" + child, true, model);
}

// What the registry functions read of the keys the association may touch: the two application
// keys, the Explorer choices and the extensions' own values.
Model ReadWithApi() {
    Model model;
    ReadTree(HKEY_CLASSES_ROOT, L"Orvanel.Document", true, model);
    ReadTree(HKEY_CLASSES_ROOT, L"Applications\\OrvanelViewer.exe", true, model);
    ReadTree(HKEY_CURRENT_USER, kFileExtsPath, true, model);
    for (const auto& box : Orvanel::ShellPlan::ExtensionBoxes())
        for (const std::wstring& extension : box.extensions)
            ReadTree(HKEY_CLASSES_ROOT, L"." + extension, false, model);
    return model;
}

// The path the DLL reads as the running program's while it lives.
struct ProgramPath {
    static inline const wchar_t* path = nullptr;
    static DWORD WINAPI Read(HMODULE, LPWSTR buffer, DWORD size) {
        return lstrcpynW(buffer, path, int(size)), DWORD(lstrlenW(buffer));
    }
    ImportPatch<decltype(&GetModuleFileNameW)> patch{GetModuleHandleW(L"Quillet.dll"),
                                                     "GetModuleFileNameW", Read};
    explicit ProgramPath(const wchar_t* program) { path = program; }
};

// Opens the dialog owned by a host window, checks that it opens with its 25 boxes checked,
// clicks every box not to be kept, then `close`s it. Gives the export's result.
int Run(const std::function<bool(int id)>& keep, const std::function<void(HWND)>& close) {
    CHostWindow host;
    return RunDialog(
        [&] { return ShowAssociateFilesExtension(host); },
        [&](HWND dialog) {
            CHECK(GetWindow(dialog, GW_OWNER) == host);
            int boxes = 0;
            for (HWND box = GetWindow(dialog, GW_CHILD); box; box = GetWindow(box, GW_HWNDNEXT)) {
                const int id = GetDlgCtrlID(box);
                if ((GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
                    boxes += IsDlgButtonChecked(dialog, id) == BST_CHECKED;
                    if (!keep(id))
                        SendMessageW(box, BM_CLICK, 0, 0);
                }
            }
            CHECK(boxes == 25);
            close(dialog);
        });
}

// The registry against what it was with the writes of the registration of `extensions` added
// (`registered`), or unchanged.
void CheckRegistry(Model want, const std::vector<std::wstring>& extensions, bool registered) {
    const auto put = [&](const std::wstring& key, const std::wstring& name,
                         const std::wstring& value) { want[Lower(key)][Lower(name)] = value; };
    const std::wstring viewer = L"C:\\Apps\\OrvanelViewer.exe"; // the program's, renamed
    for (const std::wstring top :
         {L"hkcr\\Orvanel.Document", L"hkcr\\Applications\\OrvanelViewer.exe"}) {
        if (!registered)
            break;
        put(top, L"", String(L"Orvanel Document"));
        put(top + L"\\shell\\open\\command", L"", String(L"\"" + viewer + L"\" \"%1\""));
        put(top + L"\\DefaultIcon", L"", String(viewer + L",1"));
    }
    for (const std::wstring& extension : extensions) {
        const std::wstring explorer = L"hkcu\\" + kFileExtsPath + L"\\." + extension;
        put(explorer, L"Application", String(L"OrvanelViewer.exe"));
        put(explorer + L"\\UserChoice", L"ProgId", String(L"Applications\\OrvanelViewer.exe"));
        put(explorer + L"\\OpenWithProgids", L"Orvanel.Document", L"0:");
        put(L"hkcr\\." + extension, L"Content Type", String(L"image/" + extension));
        put(L"hkcr\\." + extension, L"PerceivedType", String(L"image"));
    }
    const Model got = ReadWithApi();
    CHECK(got.size() == want.size());
    for (const auto& [key, values] : want) {
        CAPTURE(std::string(key.begin(), key.end()));
        REQUIRE(got.count(key) == 1);
        CHECK(got.at(key) == values);
    }
}

} // namespace

TEST_CASE("another name, too long a path, Cancel, a close: nothing written; OK the boxes kept") {
    // A key that exists before the association runs: its default value must stay. The registry
    // as it is then, which the association may only add to.
    REQUIRE(RegSetKeyValueW(HKEY_CLASSES_ROOT, L".png", nullptr, REG_SZ, L"pngfile", 16) ==
            ERROR_SUCCESS);
    const Model before = ReadWithApi();
    CHECK((before.at(L"hkcr\\.png").at(L"") == String(L"pngfile")));
    // Another program, and one whose path (259 characters) leaves no room for the open command.
    for (const std::wstring& program :
         {std::wstring(L"C:\\Apps\\Viewer.exe"),
          L"C:\\" + std::wstring(233, L'd') + L"\\OrvanelAssociation.exe"}) {
        const ProgramPath other(program.c_str());
        CHECK(Run([](int) { return true; }, [](HWND dialog) { ClickButton(dialog, IDOK); }) == 1);
    }
    const ProgramPath association(L"C:\\Apps\\OrvanelAssociation.exe");
    const std::set<int> kept{IDC_ASSOCIATE_PNM, IDC_ASSOCIATE_MP4, IDC_ASSOCIATE_GIF,
                             IDC_ASSOCIATE_MNG, IDC_ASSOCIATE_PNG};
    const auto keep = [&](int id) { return kept.count(id) != 0; };
    CHECK(Run(keep, [](HWND dialog) { ClickButton(dialog, IDCANCEL); }) == 1);
    CHECK(Run(keep, [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }) == 1);
    CheckRegistry(before, {}, false);
    // The PNM box stands for two pairs of extensions (the first of them MNG's), the MNG box for
    // none; the existing .png keeps its default value.
    CHECK(Run(keep, [](HWND dialog) { ClickButton(dialog, IDOK); }) == 1);
    CheckRegistry(before, {L"gif", L"png", L"mng", L"jng", L"mp4", L"m4s", L"pgm", L"pnm"}, true);
}
