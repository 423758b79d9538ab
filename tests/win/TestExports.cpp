// Quillet.dll as a host sees it: its export table, the import library, the plain exports, the
// exports given nothing to work with, the About box, the OpenCL device chooser, the system's file
// dialogs, the file association and the dialog templates.
#include "host/MargeData.h"
#include "module/Quillet.h"
#include "resources/resource.h"
#include "shellplan/AssociationPlan.h"
#include "shellplan/FileDialogFilters.h"
#include "support/DialogHarness.h"
#include "support/ImportPatch.h"

#include <dbghelp.h>
#include <dlgs.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace QuilletTest;

namespace {

// The decorated names hosts look up in Quillet.dll, exactly these and no others.
const char* const kExpectedExports[] = {
    "??0CQuillet@@QEAA@XZ",
    "??4CQuillet@@QEAAAEAV0@AEBV0@@Z",
    "?fnQuillet@@YAHXZ",
    "?nQuillet@@3HA",
    "?ShowDialogBox@@YA_JPEAUHWND__@@@Z",
    "?ShowAssociateFilesExtension@@YAHPEAUHWND__@@@Z",
    "?ShowColorBox@@YAHPEAUHWND__@@AEAK@Z",
    "?ShowOpenCLDialogBox@@YA?AV?$basic_string@_WU?$char_traits@_W@std@@V?$allocator@_W@2@@std@@"
    "PEAUHWND__@@V?$vector@V?$basic_string@_WU?$char_traits@_W@std@@V?$allocator@_W@2@@std@@V?$"
    "allocator@V?$basic_string@_WU?$char_traits@_W@std@@V?$allocator@_W@2@@std@@@2@@2@@Z",
    "?ShowOpenDialogBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowSaveDialogBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowVideoOpenBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowFolderSelectDialogBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowPrintPreview@@YAHPEAUHWND__@@PEAVCMargeData@@PEAVCOrvanelBitmap@@@Z",
    "?PrintDialog@@YAHPEAUHWND__@@PEAVCMargeData@@PEAVCOrvanelBitmap@@AEB_N@Z",
    "?ShowMotionBlur@@YAHPEAUHWND__@@PEAVCOrvanelBitmap@@AEAN22@Z",
    "?ShowLensFlareDialogBox@@YAHPEAUHWND__@@PEAVCOrvanelBitmap@@AEAKAEAH333333@Z",
};
static_assert(std::size(kExpectedExports) == 16);

// A data directory of a loaded module, as a pointer into its image.
template <typename T> const T* Directory(HMODULE module, USHORT index) {
    ULONG size = 0;
    return static_cast<const T*>(ImageDirectoryEntryToData(module, TRUE, index, &size));
}

const char* At(HMODULE module, DWORD offset) {
    return reinterpret_cast<const char*>(module) + offset;
}

} // namespace

TEST_CASE("the export table holds exactly the decorated names; the C++ runtime is shared") {
    HMODULE dll = GetModuleHandleW(L"Quillet.dll");
    REQUIRE(dll != nullptr);
    auto* exports = Directory<IMAGE_EXPORT_DIRECTORY>(dll, IMAGE_DIRECTORY_ENTRY_EXPORT);
    auto* names = reinterpret_cast<const DWORD*>(At(dll, exports->AddressOfNames));
    std::set<std::string> actual;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        actual.insert(At(dll, names[i]));
    CHECK(actual ==
          std::set<std::string>(std::begin(kExpectedExports), std::end(kExpectedExports)));
    CHECK(exports->NumberOfFunctions == 16); // no export by ordinal only
    CHECK(std::string(At(dll, exports->Name)) == "Quillet.dll");

    // std::wstring and std::vector cross the boundary: the DLL must share the host's C++
    // runtime, not carry a static one with a heap of its own.
    bool sharedRuntime = false;
    for (auto* import = Directory<IMAGE_IMPORT_DESCRIPTOR>(dll, IMAGE_DIRECTORY_ENTRY_IMPORT);
         import->Name != 0; ++import) {
        sharedRuntime |= lstrcmpiA(At(dll, import->Name), "libstdc++-6.dll") == 0;
    }
    CHECK(sharedRuntime);
}

TEST_CASE("plain exports through the import library") {
    CHECK(fnQuillet() == 42);
    CHECK(nQuillet == 0);

    CQuillet first, second;
    CHECK(&(first = second) == &first);
}

TEST_CASE("exports given nothing to work with show nothing and leave the caller's values") {
    const auto unshown = [](const std::function<int()>& show) {
        return RunDialog(
            show, [](HWND) {}, false);
    };
    // No buffer for the path: nothing to ask for.
    for (int (*show)(wchar_t*, HWND) :
         {ShowOpenDialogBox, ShowSaveDialogBox, ShowVideoOpenBox, ShowFolderSelectDialogBox})
        CHECK(unshown([&] { return show(nullptr, nullptr); }) == 0);
    // No picture, a picture without pixels, no layout record: nothing to preview, lay out or
    // print.
    COrvanelBitmap noPixels, picture = Pattern(20, 10);
    CMargeData layout{5, 4, 2, 3, 0, false, 0};
    unsigned long color = 7;
    int n = -1;
    double d = -1.5;
    CStartedDocuments documents(GetModuleHandleW(L"Quillet.dll"));
    for (COrvanelBitmap* bitmap : {&noPixels, static_cast<COrvanelBitmap*>(nullptr)}) {
        CHECK(unshown([&] { return ShowMotionBlur(nullptr, bitmap, d, d, d); }) == 0);
        CHECK(unshown([&] {
                  return ShowLensFlareDialogBox(nullptr, bitmap, color, n, n, n, n, n, n, n);
              }) == 0);
        CHECK(unshown([&] { return ShowPrintPreview(nullptr, &layout, bitmap); }) == 0);
        unshown([&] { return PrintDialog(nullptr, &layout, bitmap, false); });
    }
    CHECK(unshown([&] { return ShowPrintPreview(nullptr, nullptr, &picture); }) == 0);
    unshown([&] { return PrintDialog(nullptr, nullptr, &picture, false); });
    CHECK(documents.count == 0);
    CHECK((d == -1.5 && n == -1 && color == 7 && layout.marginTop == 5 && layout.position == 0));
}

TEST_CASE("the About box shows its four strings, is centred and is owned by the host") {
    // The lines top to bottom: product with version, author, company, web address.
    const int lines[4] = {IDC_ABOUT_LINE1, IDC_ABOUT_LINE2, IDC_ABOUT_LINE3, IDC_ABOUT_LINE4};
    const UINT strings[4] = {IDS_ABOUT_PRODUCT, IDS_ABOUT_AUTHOR, IDS_ABOUT_COMPANY, IDS_ABOUT_WEB};
    CHostWindow host;
    RunDialog([&] { return ShowDialogBox(host); },
              [&](HWND dialog) {
                  for (int i = 0; i < 4; ++i) {
                      wchar_t expected[256] = {};
                      LoadStringW(GetModuleHandleW(L"Quillet.dll"), strings[i], expected, 255);
                      CHECK((expected[0] != 0 && ControlText(dialog, lines[i]) == expected));
                  }
                  RECT rect{};
                  GetWindowRect(dialog, &rect);
                  CHECK(std::abs(rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) <= 1);
                  CHECK(std::abs(rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 1);
                  CHECK(GetWindow(dialog, GW_OWNER) == host);
                  ClickButton(dialog, IDC_ABOUT_OK);
              });
}

// ShowOpenCLDialogBox driven as a user would: the host's names listed in its order, the first
// shown, the one confirmed handed back, and the empty string when no item of the list was.
TEST_CASE("OpenCL chooser: the host's names in its order, the first shown; what comes back") {
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
        const std::wstring chosen = RunDialog(
            [&] { return ShowOpenCLDialogBox(host, names); },
            [&](HWND dialog) {
                CHECK(ComboItems(dialog, IDC_OPENCL_DEVICE) == names); // not sorted
                CHECK(ControlText(dialog, IDC_OPENCL_DEVICE) == names.front());
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
                        ClickButton(dialog, IDOK);
                    })
              .empty());
}

// The system's Open, Save As and folder dialogs through the exports, driven from a second
// thread: the file types they list, the names they propose and what reaches the host's
// buffer when the user confirms, cancels or picks something that is no file.
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

TEST_CASE("another program's name writes nothing; Cancel and a close neither; OK the boxes kept") {
    // A key that exists before the association runs: its default value must stay. The registry
    // as it is then, which the association may only add to.
    REQUIRE(RegSetKeyValueW(HKEY_CLASSES_ROOT, L".png", nullptr, REG_SZ, L"pngfile", 16) ==
            ERROR_SUCCESS);
    const Model before = ReadWithApi();
    CHECK((before.at(L"hkcr\\.png").at(L"") == String(L"pngfile")));
    {
        const ProgramPath other(L"C:\\Apps\\Viewer.exe");
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

// Every dialog template compiled into Quillet.dll, control by control, against the table the
// dialog was designed from: style, size, font, and each control's id, class, text, style,
// extended style and placement. The resource script is not what ships; the compiled bytes
// are, read here as the dialog manager reads them (DLGTEMPLATEEX and its items).
namespace {

// A dialog or one of its controls, as designed or as compiled. Classes are lower case, those
// stored as ordinals by name; an ordinal text or menu reads "#<number>".
struct Item {
    int id;
    std::wstring className, text;
    DWORD style, exStyle;
    int x, y, cx, cy;
    std::wstring font = L""; // the dialog's typeface and point size; a control's extra bytes
};

struct Dialog {
    Item frame; // id: the resource; x and y -1 when the design centres the dialog at run time
    std::vector<Item> controls;
};

// Both as one line, so that a difference shows whole.
std::string Describe(const Item& item) {
    const std::wstring text =
        std::to_wstring(item.id) + L" " + item.className + L" \"" + item.text + L"\" " + item.font;
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(),
                                    int(utf8.size()), nullptr, nullptr));
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " style 0x%08lX ex 0x%08lX at %d,%d %dx%d",
                  static_cast<unsigned long>(item.style), static_cast<unsigned long>(item.exStyle),
                  item.x, item.y, item.cx, item.cy);
    return utf8 + numbers;
}

// Reads front to back; a read past the end sets `failed` and gives zeros.
struct Cursor {
    const BYTE *at, *end;
    bool failed = false;

    template <class T> T Read() {
        T value{};
        failed = failed || at + sizeof(T) > end;
        if (!failed)
            std::memcpy(&value, at, sizeof(T));
        at += sizeof(T);
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (WCHAR c = Read<WCHAR>(); !failed && c != 0; c = Read<WCHAR>())
            text.push_back(c);
        return text;
    }
    // A string, or 0xFFFF followed by an ordinal; a lone 0 is none. Predefined classes stored
    // as ordinals come back by name.
    std::wstring StringOrOrdinal(bool isClass = false) {
        if (at + 2 > end || at[0] != 0xFF || at[1] != 0xFF)
            return String();
        const WORD ordinal = (Read<WORD>(), Read<WORD>());
        static const wchar_t* const kPredefined[] = {L"button",  L"edit",      L"static",
                                                     L"listbox", L"scrollbar", L"combobox"};
        return isClass && ordinal >= 0x80 && ordinal <= 0x85 ? kPredefined[ordinal - 0x80]
                                                             : L"#" + std::to_wstring(ordinal);
    }
    // Resources lie DWORD-aligned in memory, so the items' alignment is the pointer's.
    void AlignToDword() { at += (4 - reinterpret_cast<std::uintptr_t>(at) % 4) % 4; }
};

// The compiled template of dialog `id`; false when there is none or its bytes are not an
// extended template that ends where they do.
bool LoadDialog(HMODULE module, int id, Dialog& parsed) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    const void* data = resource ? LockResource(LoadResource(module, resource)) : nullptr;
    if (data == nullptr)
        return false;
    Cursor in{static_cast<const BYTE*>(data),
              static_cast<const BYTE*>(data) + SizeofResource(module, resource)};
    if (in.Read<WORD>() != 1 || in.Read<WORD>() != 0xFFFF)
        return false;
    Item& f = parsed.frame;
    f.id = id;
    in.Read<DWORD>(); // help id
    f.exStyle = in.Read<DWORD>(), f.style = in.Read<DWORD>();
    const WORD count = in.Read<WORD>();
    f.x = in.Read<short>(), f.y = in.Read<short>(), f.cx = in.Read<short>(),
    f.cy = in.Read<short>();
    f.className = in.StringOrOrdinal() + L"|"; // the menu, then the class
    f.className += in.StringOrOrdinal();
    f.text = in.String();
    if (f.style & (DS_SETFONT | DS_SHELLFONT)) {
        const WORD points = in.Read<WORD>();
        in.Read<DWORD>(); // weight, italic, character set
        f.font = in.String() + L" " + std::to_wstring(points);
    }
    for (WORD i = 0; i < count && !in.failed; ++i) {
        in.AlignToDword();
        Item item{};
        in.Read<DWORD>(); // help id
        item.exStyle = in.Read<DWORD>(), item.style = in.Read<DWORD>();
        item.x = in.Read<short>(), item.y = in.Read<short>();
        item.cx = in.Read<short>(), item.cy = in.Read<short>();
        item.id = static_cast<int>(in.Read<DWORD>());
        item.className = in.StringOrOrdinal(true);
        CharLowerBuffW(item.className.data(), DWORD(item.className.size()));
        item.text = in.StringOrOrdinal();
        const WORD extraBytes = in.Read<WORD>();
        in.at += extraBytes; // a read past the end shows at the next item or check
        item.font = extraBytes != 0 ? L"extra bytes" : L"";
        parsed.controls.push_back(item);
    }
    return !in.failed && in.at <= in.end;
}

const wchar_t *const kButton = L"button", *const kEdit = L"edit", *const kStatic = L"static",
                     *const kTrackbar = L"msctls_trackbar32";
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT, kGroupLabel = kLabel | WS_GROUP;
constexpr DWORD kOk = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON,
                kCancel = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kSlider = kChild | WS_TABSTOP | TBS_BOTH | TBS_NOTICKS | TBS_HORZ;
constexpr DWORD kValueBox = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kHueSlider = kChild | WS_TABSTOP | TBS_VERT | TBS_LEFT | TBS_NOTICKS;
constexpr DWORD kOption = kChild | BS_AUTORADIOBUTTON,
                kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
// The styles as the designs spell them out, as numbers.
static_assert(kSlider == 0x50010018 && kValueBox == 0x50810080 && kHueSlider == 0x50010016);
static_assert(kOption == 0x50000009 && kCheckBox == 0x50010003 && kOk == 0x50010001);
constexpr DWORD kPopup = 0x80C808C0; // popup, caption, system menu, modal frame, centred, font

const Dialog kDialogs[] = {
    {{IDD_ABOUT, L"|", L"About ...", 0x10C808C0, 0, 22, 17, 230, 75, L"System 8"},
     {{IDC_ABOUT_OK, kButton, L"OK", 0x50010000, WS_EX_STATICEDGE, 82, 60, 68, 14},
      {IDC_ABOUT_LINE1, kStatic, L"Static", 0x50020000, 0, 48, 10, 167, 10},
      {IDC_ABOUT_LINE2, kStatic, L"Static", 0x50020000, 0, 48, 22, 167, 10},
      {IDC_ABOUT_LINE3, kStatic, L"Static", 0x50020000, 0, 48, 34, 167, 10},
      {IDC_ABOUT_LINE4, kStatic, L"Static", 0x50020000, 0, 49, 46, 167, 10}}},
    {{IDD_MOTION_BLUR, L"|", L"Motion Blur Pr\u00E9visualisation", kPopup, 0, -1, -1, 390, 278,
      L"MS Sans Serif 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 105, 256, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 206, 256, 50, 14},
      {-1, kStatic, L"Preview", kGroupLabel, 0, 7, 8, 26, 8},
      {IDC_MOTION_BLUR_RADIUS, kTrackbar, L"Slider1", kSlider, 0, 4, 30, 113, 15},
      {-1, kStatic, L"Radius :", kLabel, 0, 9, 20, 27, 8},
      {IDC_MOTION_BLUR_RADIUS_EDIT, kEdit, L"", kValueBox, 0, 52, 19, 64, 12},
      {IDC_MOTION_BLUR_SIGMA, kTrackbar, L"Slider1", kSlider, 0, 128, 29, 113, 15},
      {-1, kStatic, L"Sigma :", kLabel, 0, 134, 18, 24, 8},
      {IDC_MOTION_BLUR_SIGMA_EDIT, kEdit, L"", kValueBox, 0, 176, 15, 66, 14},
      {IDC_MOTION_BLUR_ANGLE, kTrackbar, L"Slider1", kSlider, 0, 266, 31, 113, 15},
      {-1, kStatic, L"Angle :", kLabel, 0, 269, 19, 23, 8},
      {IDC_MOTION_BLUR_ANGLE_EDIT, kEdit, L"", kValueBox, 0, 311, 16, 66, 14}}},
    {{IDD_LENS_FLARE, L"|", L"Lens Flare", kPopup, 0, -1, -1, 349, 274, L"MS Sans Serif 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 103, 260, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 176, 260, 50, 14},
      {-1, kStatic, L"Preview", kGroupLabel, 0, 7, 8, 218, 10},
      {IDC_LENS_FLARE_BRIGHTNESS, kTrackbar, L"Slider1", kSlider, 0, 3, 30, 340, 15},
      {-1, kStatic, L"Brightness :", kGroupLabel, 0, 7, 20, 62, 9},
      {IDC_LENS_FLARE_BRIGHTNESS_EDIT, kEdit, L"", kValueBox, 0, 92, 19, 64, 12},
      {IDC_LENS_FLARE_INTENSITY, kTrackbar, L"Slider1", kSlider, 0, 3, 63, 340, 15},
      {-1, kStatic, L"Color Intensity  :", kGroupLabel, 0, 7, 49, 80, 11},
      {IDC_LENS_FLARE_INTENSITY_EDIT, kEdit, L"", kValueBox, 0, 92, 48, 66, 14},
      {-1, kStatic, L"Size :", kGroupLabel, 0, 8, 86, 18, 8},
      {IDC_LENS_FLARE_SIZE_EDIT, kEdit, L"", kValueBox, 0, 92, 82, 64, 14},
      {IDC_LENS_FLARE_SIZE, kTrackbar, L"", kSlider, 0, 3, 99, 340, 15},
      {-1, kStatic, L"Choose Color :", kGroupLabel, 0, 257, 51, 47, 8}}},
    {{IDD_COLOR_BOX, L"|", L"Color Box", kPopup, 0, -1, -1, 398, 247, L"MS Sans Serif 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 123, 226, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 193, 226, 50, 14},
      {IDC_COLOR_HUE_SLIDER, kTrackbar, L"Slider2", kHueSlider, 0, 245, 33, 19, 155},
      {IDC_COLOR_HUE_OPTION, kButton, L"T", kOption, 0, 295, 33, 40, 13},
      {IDC_COLOR_HUE_EDIT, kEdit, L"", kValueBox, 0, 337, 33, 44, 15},
      {IDC_COLOR_SATURATION_OPTION, kButton, L"S", kOption, 0, 295, 51, 40, 14},
      {IDC_COLOR_SATURATION_EDIT, kEdit, L"", kValueBox, 0, 337, 50, 44, 16},
      {IDC_COLOR_BRIGHTNESS_OPTION, kButton, L"L", kOption, 0, 295, 69, 40, 16},
      {IDC_COLOR_BRIGHTNESS_EDIT, kEdit, L"", kValueBox, 0, 337, 70, 44, 15},
      {IDC_COLOR_RED_OPTION, kButton, L"R", kOption, 0, 295, 108, 40, 11},
      {IDC_COLOR_RED_EDIT, kEdit, L"", kValueBox, 0, 337, 105, 44, 14},
      {IDC_COLOR_GREEN_OPTION, kButton, L"G", kOption, 0, 295, 124, 40, 13},
      {IDC_COLOR_GREEN_EDIT, kEdit, L"", kValueBox, 0, 337, 122, 44, 14},
      {IDC_COLOR_BLUE_OPTION, kButton, L"B", kOption, 0, 295, 140, 40, 15},
      {IDC_COLOR_BLUE_EDIT, kEdit, L"", kValueBox, 0, 337, 140, 44, 13},
      {-1, kStatic, L"Color Select :", kGroupLabel, 0, 7, 10, 99, 14},
      {IDC_COLOR_HEX_EDIT, kEdit, L"", kValueBox, 0, 308, 164, 74, 12},
      {-1, kStatic, L"#", kGroupLabel, 0, 297, 167, 8, 8}}},
    {{IDD_PRINT_PREVIEW, L"|", L"Propriété d'impression", kPopup, 0, -1, -1, 398, 235,
      L"MS Sans Serif 8"},
     {{IDC_PRINT_POSITION_GROUP, kButton, L"Position de l'image dans la page :",
       kChild | BS_GROUPBOX, 0, 204, 12, 178, 74},
      {IDC_PRINT_POSITION_START, kButton, L"Haut", kOption, 0, 215, 28, 159, 17},
      {IDC_PRINT_POSITION_MIDDLE, kButton, L"Milieu", kOption, 0, 215, 46, 159, 17},
      {IDC_PRINT_POSITION_END, kButton, L"Bas", kOption, 0, 215, 64, 159, 17},
      {IDC_PRINT_MARGIN_GROUP, kButton, L"Marge", kChild | BS_GROUPBOX, 0, 204, 92, 178, 96},
      {IDC_PRINT_MARGIN_TOP, kEdit, L"", kValueBox, 0, 262, 110, 51, 16},
      {IDC_PRINT_MARGIN_BOTTOM, kEdit, L"", kValueBox, 0, 262, 130, 51, 16},
      {IDC_PRINT_MARGIN_RIGHT, kEdit, L"", kValueBox, 0, 262, 150, 51, 16},
      {IDC_PRINT_MARGIN_LEFT, kEdit, L"", kValueBox, 0, 262, 170, 52, 16},
      {IDOK, kButton, L"Imprimer", kOk, 0, 127, 214, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 193, 214, 50, 14},
      {IDC_PRINT_ROTATE, kButton, L"Roter l'image", kCheckBox, 0, 13, 8, 62, 11}}},
    {{IDD_PRINT_JOB, L"|", L"Annuler l'impression", kPopup, 0, -1, -1, 186, 66, L"MS Sans Serif 8"},
     {{IDCANCEL, kButton, L"Annuler", kCancel, 0, 67, 45, 50, 14},
      {IDC_PRINT_JOB_TEXT, kStatic, L"Annuler l'impression", kLabel, 0, 61, 22, 63, 12}}},
    {{IDD_OPENCL, L"|", L"OpenCL Device Selection", 0x80C800C8, 0, -1, -1, 225, 122,
      L"MS Shell Dlg 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 53, 101, 50, 14},
      {IDCANCEL, kButton, L"Annuler", kCancel, 0, 119, 101, 50, 14},
      {IDC_OPENCL_DEVICE, L"combobox", L"", kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN, 0, 32,
       51, 149, 30},
      {-1, kStatic, L"Select OpenCL Device :", kGroupLabel, 0, 32, 36, 76, 8}}},
    {{IDD_ASSOCIATION, L"|", L"Association", 0x80C800C8, 0, -1, -1, 191, 222, L"MS Shell Dlg 8"},
     {{IDOK, kButton, L"OK", kOk, 0, 40, 201, 50, 14},
      {IDCANCEL, kButton, L"Annuler", 0x50010000, 0, 107, 201, 50, 14},
      {IDC_ASSOCIATE_BMP, kButton, L"BMP", kCheckBox, 0, 14, 11, 29, 10},
      {IDC_ASSOCIATE_PNM, kButton, L"PNM", kCheckBox, 0, 14, 26, 29, 10},
      {IDC_ASSOCIATE_PCX, kButton, L"PCX", kCheckBox, 0, 14, 40, 29, 10},
      {IDC_ASSOCIATE_JPEG, kButton, L"JPEG", kCheckBox, 0, 14, 54, 29, 10},
      {IDC_ASSOCIATE_JPEG2000, kButton, L"JPEG 2000", kCheckBox, 0, 14, 68, 59, 10},
      {IDC_ASSOCIATE_BPG, kButton, L"BPG", kCheckBox, 0, 14, 82, 29, 10},
      {IDC_ASSOCIATE_TIFF, kButton, L"TIFF", kCheckBox, 0, 14, 96, 29, 10},
      {IDC_ASSOCIATE_PNG, kButton, L"PNG", kCheckBox, 0, 14, 111, 29, 10},
      {IDC_ASSOCIATE_TGA, kButton, L"TGA", kCheckBox, 0, 14, 125, 29, 10},
      {IDC_ASSOCIATE_PHOTO_CD, kButton, L"Kodak Photo CD", kCheckBox, 0, 14, 139, 69, 10},
      {IDC_ASSOCIATE_CAMERA_RAW, kButton, L"Camera RAW", kCheckBox, 0, 14, 154, 62, 10},
      {IDC_ASSOCIATE_PHOTOSHOP, kButton, L"PhotoShop", kCheckBox, 0, 14, 168, 63, 10},
      {IDC_ASSOCIATE_GIF, kButton, L"GIF", kCheckBox, 0, 14, 182, 29, 10},
      {IDC_ASSOCIATE_MP4, kButton, L"MP4", kCheckBox, 0, 102, 11, 29, 10},
      {IDC_ASSOCIATE_MPEG, kButton, L"MPEG", kCheckBox, 0, 102, 26, 34, 10},
      {IDC_ASSOCIATE_MPEG2, kButton, L"MPEG 2", kCheckBox, 0, 102, 40, 40, 10},
      {IDC_ASSOCIATE_WINREC, kButton, L"WINREC", kCheckBox, 0, 102, 54, 43, 10},
      {IDC_ASSOCIATE_AVCHD, kButton, L"AVCHD", kCheckBox, 0, 102, 68, 39, 10},
      {IDC_ASSOCIATE_AVI, kButton, L"AVI", kCheckBox, 0, 102, 82, 27, 10},
      {IDC_ASSOCIATE_WMV, kButton, L"Windows Media Video", kCheckBox, 0, 102, 96, 85, 10},
      {IDC_ASSOCIATE_QUICKTIME, kButton, L"QuickTime", kCheckBox, 0, 102, 111, 48, 10},
      {IDC_ASSOCIATE_PPM, kButton, L"PPM", kCheckBox, 0, 102, 139, 29, 10},
      {IDC_ASSOCIATE_PGX, kButton, L"PGX", kCheckBox, 0, 102, 154, 29, 10},
      {IDC_ASSOCIATE_MNG, kButton, L"MNG", kCheckBox, 0, 102, 168, 31, 10},
      {IDC_ASSOCIATE_JPC, kButton, L"JPC", kCheckBox, 0, 102, 182, 28, 10}}},
};

} // namespace

TEST_CASE("the compiled dialog templates match their designs") {
    // Loaded the way a host loads it, from beside this program.
    HMODULE library = LoadLibraryW(L"Quillet.dll");
    REQUIRE(library != nullptr);
    for (const Dialog& want : kDialogs) {
        CAPTURE(want.frame.id);
        Dialog got;
        REQUIRE_MESSAGE(LoadDialog(library, want.frame.id, got),
                        "no extended template that ends where its resource does");
        if (want.frame.x == -1) { // centred at run time: wherever the script puts it
            got.frame.x = got.frame.y = -1;
        }
        CHECK(Describe(got.frame) == Describe(want.frame));
        REQUIRE(got.controls.size() == want.controls.size());
        for (size_t i = 0; i < want.controls.size(); ++i)
            CHECK(Describe(got.controls[i]) == Describe(want.controls[i]));
    }
    FreeLibrary(library);
}
