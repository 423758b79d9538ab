// Quillet.dll as a host sees it: its export table, the import library, the plain exports, the
// About box and the OpenCL device chooser. The exports given hostile arguments, the system's
// file dialogs, the file association and the compiled templates are checked in the same program
// (TestHostileArguments.cpp, TestSystemDialogs.cpp, TestDialogTemplates.cpp).
#include "module/Quillet.h"
#include "resources/resource.h"
#include "support/DialogHarness.h"

#include <dbghelp.h>

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

TEST_CASE("the version resource: 1.0.0 and the names file properties show") {
    std::vector<unsigned char> info(GetFileVersionInfoSizeW(L"Quillet.dll", nullptr) + 1);
    REQUIRE(GetFileVersionInfoW(L"Quillet.dll", 0, info.size(), info.data()));
    const auto value = [&](const std::wstring& key) {
        void* found = nullptr;
        UINT bytes = 0;
        return VerQueryValueW(info.data(), key.c_str(), &found, &bytes) ? found : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value(L"\\"));
    CHECK((fixed && fixed->dwFileVersionMS == 0x10000 && fixed->dwFileVersionLS == 0 &&
           fixed->dwProductVersionMS == 0x10000 && fixed->dwProductVersionLS == 0));
    for (const std::wstring entry :
         {L"FileVersion=1.0.0", L"ProductVersion=1.0.0", L"ProductName=Quillet",
          L"OriginalFilename=Quillet.dll", L"InternalName=Quillet",
          L"FileDescription=Quillet dialogs for the image viewer"}) {
        const std::size_t equals = entry.find(L'=');
        const auto* text = static_cast<const wchar_t*>(
            value(L"\\StringFileInfo\\040904B0\\" + entry.substr(0, equals)));
        CHECK_MESSAGE((text && entry.substr(equals + 1) == text),
                      std::string(entry.begin(), entry.end()));
    }
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
    // OK with the selection as it opened, and with no item selected and a name typed into the
    // box's edit field: not a device of the host's. Other choices are in the hostile table.
    const struct {
        int select; // -2: leave the selection as it opened
        const wchar_t* typed;
        const wchar_t* answer;
    } cases[] = {
        {-2, nullptr, L"Zeta GPU"},
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
}
