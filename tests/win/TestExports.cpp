// The DLL as a host sees it: its export table, the import library, the plain exports and the
// exports whose dialogs are not built yet.
#include "module/Quillet.h"
#include "win/ExpectedExports.h"

#include <doctest/doctest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

const IMAGE_DATA_DIRECTORY& Directory(HMODULE module, int index) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[index];
}

std::set<std::string> ExportedNames(HMODULE module, DWORD& functionCount, std::string& dllName) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& entry = Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::set<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        result.insert(reinterpret_cast<const char*>(base + names[i]));
    }
    functionCount = exports->NumberOfFunctions;
    dllName = reinterpret_cast<const char*>(base + exports->Name);
    return result;
}

std::set<std::string> ImportedDlls(HMODULE module) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& entry = Directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
    std::set<std::string> result;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + entry.VirtualAddress);
         import->Name != 0; ++import) {
        std::string name = reinterpret_cast<const char*>(base + import->Name);
        for (char& c : name) {
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        result.insert(name);
    }
    return result;
}

struct ThreadWindowCount {
    static BOOL CALLBACK Count(HWND, LPARAM context) {
        ++*reinterpret_cast<int*>(context);
        return TRUE;
    }
    static int Now() {
        int count = 0;
        EnumThreadWindows(GetCurrentThreadId(), Count, reinterpret_cast<LPARAM>(&count));
        return count;
    }
};

} // namespace

TEST_CASE("the export table holds exactly the decorated names, each found by GetProcAddress") {
    HMODULE dll = GetModuleHandleW(L"Quillet.dll");
    REQUIRE(dll != nullptr);

    DWORD functionCount = 0;
    std::string dllName;
    const std::set<std::string> actual = ExportedNames(dll, functionCount, dllName);
    const std::set<std::string> expected(std::begin(kExpectedExports), std::end(kExpectedExports));
    CHECK(expected.size() == 16);
    CHECK(actual == expected);
    CHECK(functionCount == 16); // no export by ordinal only
    CHECK(dllName == "Quillet.dll");

    for (const char* name : kExpectedExports) {
        INFO(name);
        const bool found = GetProcAddress(dll, name) != nullptr;
        CHECK(found);
    }
}

TEST_CASE("the shared C++ runtime is the host's: libstdc++ is linked dynamically") {
    // std::wstring and std::vector cross the boundary; a private static runtime would free
    // them on another heap.
    const std::set<std::string> imports = ImportedDlls(GetModuleHandleW(L"Quillet.dll"));
    CHECK(imports.count("libstdc++-6.dll") == 1);
}

TEST_CASE("plain exports through the import library and through GetProcAddress") {
    CHECK(fnQuillet() == 42);
    CHECK(nQuillet == 0);

    HMODULE dll = GetModuleHandleW(L"Quillet.dll");
    FARPROC address = GetProcAddress(dll, "?fnQuillet@@YAHXZ");
    const bool exported = address != nullptr;
    REQUIRE(exported);
    int (*byName)() = nullptr;
    static_assert(sizeof(byName) == sizeof(address), "function pointers");
    std::memcpy(&byName, &address, sizeof(address));
    CHECK(byName() == 42);
    void* data = reinterpret_cast<void*>(GetProcAddress(dll, "?nQuillet@@3HA"));
    CHECK(data == static_cast<void*>(&nQuillet));

    CQuillet first;
    CQuillet second;
    CHECK(&(first = second) == &first);
}

TEST_CASE("exports whose dialogs are not built yet answer 'nothing chosen' and show nothing") {
    const int windowsBefore = ThreadWindowCount::Now();

    unsigned long color = 0x00123456;
    CHECK(ShowColorBox(nullptr, color) == 1);
    CHECK(color == 0x00123456);
    CHECK(ShowAssociateFilesExtension(nullptr) == 1);
    CHECK(ShowOpenCLDialogBox(nullptr, {L"Device A", L"Device B"}).empty());

    wchar_t path[MAX_PATH] = L"C:\\unchanged.png";
    CHECK(ShowOpenDialogBox(path, nullptr) == 0);
    CHECK(ShowSaveDialogBox(path, nullptr) == 0);
    CHECK(ShowVideoOpenBox(path, nullptr) == 0);
    CHECK(ShowFolderSelectDialogBox(path, nullptr) == 0);
    CHECK(std::wstring(path) == L"C:\\unchanged.png");

    CHECK(ShowPrintPreview(nullptr, nullptr, nullptr) == 0);
    const bool showPrinterDialog = true;
    CHECK(PrintDialog(nullptr, nullptr, nullptr, showPrinterDialog) == 0);

    unsigned long flareColor = 0xFF;
    int x = 1, y = 2, size = 3, reserved = 4, brightness = 5, hue = 6, intensity = 7;
    CHECK(ShowLensFlareDialogBox(nullptr, nullptr, flareColor, x, y, size, reserved, brightness,
                                 hue, intensity) == 0);
    CHECK((x == 1 && y == 2 && size == 3 && reserved == 4 && brightness == 5 && hue == 6 &&
           intensity == 7 && flareColor == 0xFF));

    CHECK(ThreadWindowCount::Now() == windowsBefore);
}
