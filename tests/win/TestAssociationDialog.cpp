// ShowAssociateFilesExtension driven as a user would, each case in a wine prefix of its own
// (tests/win/association-registry.sh). What the registry holds afterwards is read back twice,
// with the registry functions and from the text of `reg export`, and must equal, key for key
// and byte for byte, the registration that the boxes left checked describe.
#include "module/Quillet.h"
#include "resources/resource.h"
#include "shellplan/AssociationPlan.h"
#include "testing/ModalDriver.h"
#include "testing/UserActions.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace QuilletTest;
using Orvanel::ShellPlan::CAssociationRegistration;
using Orvanel::ShellPlan::CRegistryWriterInterface;
using Orvanel::ShellPlan::ExtensionBoxes;
using Orvanel::ShellPlan::RegistryRoot;

namespace {

// Key path ("hkcr\..." or "hkcu\...", lower case) -> value name -> the value's type, a colon and
// its data as stored, the terminator of a string included.
using Model = std::map<std::wstring, std::map<std::wstring, std::wstring>>;
const std::wstring kNone = L"0:";
std::wstring String(const std::wstring& text) { return L"1:" + text + L'\0'; }

const std::wstring kFileExtsPath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const std::wstring kFileExts =
    L"hkcu\\software\\microsoft\\windows\\currentversion\\explorer\\fileexts\\";

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = towlower(c);
    return text;
}

std::set<std::wstring> Extensions() {
    std::set<std::wstring> all;
    for (const auto& box : ExtensionBoxes())
        all.insert(box.extensions.begin(), box.extensions.end());
    return all;
}

// The keys the association may touch: its two application keys, the Explorer choices and the
// extensions' own keys.
bool InScope(const std::wstring& key) {
    static const std::set<std::wstring> extensions = Extensions();
    for (const wchar_t* top : {L"hkcr\\orvanel.document", L"hkcr\\applications\\orvanelviewer.exe"})
        if (key == top || key.rfind(top + std::wstring(L"\\"), 0) == 0)
            return true;
    if (key.rfind(kFileExts, 0) == 0)
        return true;
    return key.rfind(L"hkcr\\.", 0) == 0 && extensions.count(key.substr(6)) != 0;
}

Model Scoped(const Model& model) {
    Model scoped;
    for (const auto& [key, values] : model)
        if (InScope(key))
            scoped[key] = values;
    return scoped;
}

// What the writes of the plan leave in a registry: keys with their parents, values only in keys
// that exist.
class CModelWriter : public CRegistryWriterInterface {
public:
    Model model;
    bool CreateRegistryKey(RegistryRoot root, const std::wstring& path) override {
        const std::wstring key = Key(root, path);
        for (size_t at = key.find(L'\\', 5); at != std::wstring::npos; at = key.find(L'\\', at + 1))
            model[key.substr(0, at)];
        model[key];
        return true;
    }
    bool SetRegistryString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                           const std::wstring& text) override {
        auto key = model.find(Key(root, path));
        if (key == model.end())
            return false;
        key->second[Lower(name)] = String(text);
        return true;
    }
    bool AddRegistryEmptyValue(RegistryRoot root, const std::wstring& path,
                               const std::wstring& name) override {
        CreateRegistryKey(root, path);
        model[Key(root, path)][Lower(name)] = kNone;
        return true;
    }
    static std::wstring Key(RegistryRoot root, const std::wstring& path) {
        return Lower((root == RegistryRoot::ClassesRoot ? L"HKCR\\" : L"HKCU\\") + path);
    }
};

// --- read back with the registry functions -------------------------------------------------

void ReadTree(HKEY root, const std::wstring& name, const std::wstring& path, Model& model) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    auto& values = model[Lower(name + L"\\" + path)];
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[16384];
        BYTE data[4096];
        DWORD nameLength = 16384, type = 0, bytes = sizeof data;
        if (RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type, data, &bytes) !=
            ERROR_SUCCESS)
            break;
        values[Lower(valueName)] =
            std::to_wstring(type) + L":" +
            std::wstring(reinterpret_cast<const wchar_t*>(data), (bytes + 1) / sizeof(wchar_t));
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        wchar_t child[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.push_back(child);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children)
        ReadTree(root, name, path + L"\\" + child, model);
}

Model ReadWithApi() {
    Model model;
    ReadTree(HKEY_CLASSES_ROOT, L"HKCR", L"Orvanel.Document", model);
    ReadTree(HKEY_CLASSES_ROOT, L"HKCR", L"Applications\\OrvanelViewer.exe", model);
    ReadTree(HKEY_CURRENT_USER, L"HKCU", kFileExtsPath, model);
    for (const std::wstring& extension : Extensions())
        ReadTree(HKEY_CLASSES_ROOT, L"HKCR", L"." + extension, model);
    return Scoped(model);
}

// --- read back from reg export ---------------------------------------------------------------

// A model as `reg export` writes it, one line per key and per value, lower case (the text's
// case is checked through the registry functions).
std::set<std::wstring> RegLines(const Model& model) {
    const auto quoted = [](const std::wstring& text) {
        std::wstring out = L"\"";
        for (wchar_t c : text)
            out += (c == L'\\' || c == L'"') ? std::wstring{L'\\', c} : std::wstring{c};
        return out + L"\"";
    };
    std::set<std::wstring> lines;
    for (const auto& [key, values] : model) {
        lines.insert(L"[" +
                     std::wstring(key[3] == L'r' ? L"hkey_classes_root" : L"hkey_current_user") +
                     key.substr(4) + L"]");
        for (const auto& [name, value] : values)
            lines.insert(
                Lower((name.empty() ? L"@" : quoted(name)) + L"=" +
                      (value == kNone ? L"hex(0):" : quoted(value.substr(2, value.size() - 3)))));
    }
    return lines;
}

// The lines of the keys in scope in what `reg export` writes of the classes root and of the
// Explorer choices (UTF-16, CRLF).
std::set<std::wstring> ExportedLines() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"association-export.reg";
    std::set<std::wstring> lines;
    for (const std::wstring& key :
         std::initializer_list<std::wstring>{L"HKCR", L"HKCU\\" + kFileExtsPath}) {
        DeleteFileW(file.c_str());
        std::wstring command = L"reg.exe export \"" + key + L"\" \"" + file + L"\" /y";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        REQUIRE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
        REQUIRE(WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        std::wstring text, line, scope;
        if (FILE* stream = _wfopen(file.c_str(), L"rb")) { // no file: the key does not exist
            for (wchar_t c; fread(&c, sizeof c, 1, stream) == 1;)
                text += c;
            fclose(stream);
        }
        for (std::wistringstream in(text); std::getline(in, line, L'\n');) {
            line = Lower(line.substr(0, line.find_last_not_of(L"\r\xFEFF") + 1));
            if (!line.empty() && line[0] == L'[') // "[hkey_classes_root\...]" gives "hkcr\..."
                scope = (line[7] == L'l' ? L"hkcr" : L"hkcu") + line.substr(18, line.size() - 19);
            if (!line.empty() && InScope(scope))
                lines.insert(line);
        }
    }
    return lines;
}

// --- the dialog ---------------------------------------------------------------------------

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// A key that exists before the association runs: its default value must stay. Gives what the
// registry holds then, which the association may only add to.
Model SeedExistingExtension() {
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExW(HKEY_CLASSES_ROOT, L".png", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) == ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"pngfile"), 16);
    RegCloseKey(key);
    Model before = ReadWithApi();
    CHECK((before.at(L"hkcr\\.png").at(L"") == String(L"pngfile")));
    return before;
}

// Opens the dialog owned by a host window, records which boxes it opened checked, clicks each
// box of `toggle`, then `close`s it. Gives the export's result.
int Run(const std::set<int>& toggle, const std::function<void(HWND)>& close,
        std::vector<int>* checkedAtStart = nullptr) {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND owner = nullptr;
    CModalDriver driver([&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        for (int box : Orvanel::ShellPlan::DialogBoxIds())
            if (checkedAtStart != nullptr && IsDlgButtonChecked(dialog, box) == BST_CHECKED)
                checkedAtStart->push_back(box);
        for (int box : toggle)
            SendDlgItemMessageW(dialog, box, BM_CLICK, 0, 0);
        close(dialog);
    });
    const int result = ShowAssociateFilesExtension(host);
    driver.Join();
    CHECK((driver.DialogFound() && !driver.WatchdogFired()));
    CHECK(owner == host);
    DestroyWindow(host);
    return result;
}

const auto kOk = [](HWND dialog) { ClickButton(dialog, IDOK); };

// Checks both readings against the registration of the boxes left checked.
void CheckRegistry(const Model& before, const std::set<int>& checked, bool registered = true) {
    CModelWriter expected;
    expected.model = before;
    if (registered)
        CAssociationRegistration(expected).Register(
            ProgramPath(), [&](int box) { return checked.count(box) != 0; });
    const Model want = Scoped(expected.model), got = ReadWithApi();
    CHECK(got.size() == want.size());
    for (const auto& [key, values] : want) {
        CAPTURE(std::string(key.begin(), key.end()));
        REQUIRE(got.count(key) == 1);
        CHECK(got.at(key) == values);
    }
    // The same registry as the system's own tool writes it out.
    const std::set<std::wstring> wantLines = RegLines(want), gotLines = ExportedLines();
    CHECK(gotLines.size() == wantLines.size());
    for (const std::wstring& line : wantLines) {
        CAPTURE(std::string(line.begin(), line.end()));
        CHECK(gotLines.count(line) == 1);
    }
}

} // namespace

TEST_CASE("all boxes: the viewer and every extension registered") {
    REQUIRE(ProgramPath().find(L"\\OrvanelAssociationTest.exe") != std::wstring::npos);
    const Model before = SeedExistingExtension();
    std::vector<int> checkedAtStart;
    CHECK(Run({}, kOk, &checkedAtStart) == 1);
    CHECK(checkedAtStart == Orvanel::ShellPlan::DialogBoxIds());
    CheckRegistry(before, {checkedAtStart.begin(), checkedAtStart.end()});

    // The texts as a host's shell reads them, beside this program.
    std::wstring viewer = ProgramPath();
    viewer.replace(viewer.rfind(L"OrvanelAssociationTest"), 22, L"OrvanelViewerTest");
    const Model got = ReadWithApi();
    CHECK((got.at(L"hkcr\\orvanel.document\\shell\\open\\command").at(L"") ==
           String(L"\"" + viewer + L"\" \"%1\"")));
    CHECK((got.at(L"hkcr\\applications\\orvanelviewer.exe\\defaulticon").at(L"") ==
           String(viewer + L",1")));
    CHECK((got.at(L"hkcr\\.mp4").at(L"content type") == String(L"image/mp4")));
    CHECK((got.at(kFileExts + L".mp4\\openwithprogids").at(L"orvanel.document") == kNone));
    CHECK(got.at(L"hkcr\\.png").at(L"") == String(L"pngfile"));
}

TEST_CASE("no box: the viewer alone") {
    const Model before = SeedExistingExtension();
    const auto& ids = Orvanel::ShellPlan::DialogBoxIds();
    CHECK(Run({ids.begin(), ids.end()}, kOk) == 1);
    CheckRegistry(before, {});
    CHECK(ReadWithApi().count(L"hkcr\\orvanel.document") == 1);
}

TEST_CASE("a mix: the boxes left checked, the one box that registers nothing") {
    const Model before = SeedExistingExtension();
    const std::set<int> kept = {IDC_ASSOCIATE_PNM, IDC_ASSOCIATE_MP4, IDC_ASSOCIATE_GIF,
                                IDC_ASSOCIATE_MNG};
    std::set<int> toggle;
    for (int box : Orvanel::ShellPlan::DialogBoxIds())
        if (kept.count(box) == 0)
            toggle.insert(box);
    CHECK(Run(toggle, kOk) == 1);
    CheckRegistry(before, kept);
    const Model got = ReadWithApi();
    for (const wchar_t* extension : {L"gif", L"mng", L"jng", L"mp4", L"m4s", L"pgm", L"pnm"})
        CHECK(got.count(L"hkcr\\." + std::wstring(extension)) == 1);
    CHECK(got.count(L"hkcr\\.bmp") == 0);
}

TEST_CASE("Cancel and a close write nothing") {
    const Model before = SeedExistingExtension();
    CHECK(Run({IDC_ASSOCIATE_BMP}, [](HWND dialog) { ClickButton(dialog, IDCANCEL); }) == 1);
    CHECK(Run({}, [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }) == 1);
    CheckRegistry(before, {}, false);
}

TEST_CASE("another program's name: nothing written, the dialog ends as usual") {
    REQUIRE(ProgramPath().find(L"OrvanelAssociation") == std::wstring::npos);
    const Model before = SeedExistingExtension();
    CHECK(Run({}, kOk) == 1);
    CheckRegistry(before, {}, false);
}
