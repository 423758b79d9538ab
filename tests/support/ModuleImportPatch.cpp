#include "support/ModuleImportPatch.h"

namespace QuilletTest {

namespace {

const unsigned char* Base(HMODULE module) { return reinterpret_cast<const unsigned char*>(module); }

template <typename T> const T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<const T*>(Base(module) + rva);
}

void WriteEntry(void** entry, void* value) {
    DWORD oldProtection = 0;
    VirtualProtect(entry, sizeof(*entry), PAGE_READWRITE, &oldProtection);
    *entry = value;
    VirtualProtect(entry, sizeof(*entry), oldProtection, &oldProtection);
}

} // namespace

void** FindImportEntry(HMODULE module, const char* dll, const char* function) {
    if (module == nullptr) {
        return nullptr;
    }
    const auto* dos = At<IMAGE_DOS_HEADER>(module, 0);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return nullptr;
    }
    const auto* nt = At<IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE) {
        return nullptr;
    }
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (const auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(At<char>(module, descriptor->Name), dll) != 0) {
            continue;
        }
        // The names stay in the lookup table; the address table beside it holds what the
        // loader bound. Without a lookup table the names are gone.
        if (descriptor->OriginalFirstThunk == 0) {
            return nullptr;
        }
        const auto* names = At<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk);
        auto** addresses = const_cast<void**>(At<void*>(module, descriptor->FirstThunk));
        for (int i = 0; names[i].u1.AddressOfData != 0; ++i) {
            if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names[i].u1.AddressOfData));
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return &addresses[i];
            }
        }
    }
    return nullptr;
}

CModuleImportPatch::CModuleImportPatch(HMODULE module, const char* dll, const char* function,
                                       const void* replacement)
    : entry_(FindImportEntry(module, dll, function)) {
    if (entry_ != nullptr) {
        original_ = *entry_;
        WriteEntry(entry_, const_cast<void*>(replacement));
    }
}

CModuleImportPatch::~CModuleImportPatch() {
    if (entry_ != nullptr) {
        WriteEntry(entry_, original_);
    }
}

} // namespace QuilletTest
