#include "support/GdiHandleLedger.h"

#include "support/ImportPatch.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace QuilletTest {

namespace {

// The calls the libraries import now. A creator they start calling must be added here and to
// kWatched; until then, releasing what it made is a fault (a handle no watched call made).
enum Fn : int {
    kCreateSolidBrush,
    kCreatePen,
    kCreateCompatibleBitmap,
    kCreateDIBSection,
    kCreateCompatibleDC,
    kCreateDCW,
    kGetDC,
    kBeginPaint,
    kDeleteObject,
    kDeleteDC,
    kReleaseDC,
    kEndPaint,
    kFnCount
};

struct Record {
    void* handle;
    Fn creator;
    std::string caller, context;
};

std::mutex mutex;
std::vector<Record> live; // oldest first
std::string context, firstFault;
unsigned long created = 0;
void* real[kFnCount];                          // the system's functions
std::vector<std::pair<void**, void*>> patched; // each replaced entry with what it held

template <typename F> F Real(Fn id) { return reinterpret_cast<F>(real[id]); }
void Created(Fn id, void* handle, const void* returnAddress);
template <typename Call> int Release(Fn id, void* handle, const void* returnAddress, Call call);

// The wrapper of a creator: the real call, then the record of what it made.
template <Fn id, typename R, typename... A> const void* Creator(R (*)(A...)) {
    struct Hook {
        static R WINAPI Call(A... arguments) {
            const R handle = Real<R (*)(A...)>(id)(arguments...);
            Created(id, reinterpret_cast<void*>(handle), __builtin_return_address(0));
            return handle;
        }
    };
    return reinterpret_cast<const void*>(&Hook::Call);
}

BOOL WINAPI DeleteObjectHook(HGDIOBJ object) {
    return Release(kDeleteObject, object, __builtin_return_address(0),
                   [&] { return Real<decltype(&DeleteObject)>(kDeleteObject)(object); });
}

BOOL WINAPI DeleteDCHook(HDC dc) {
    return Release(kDeleteDC, dc, __builtin_return_address(0),
                   [&] { return Real<decltype(&DeleteDC)>(kDeleteDC)(dc); });
}

int WINAPI ReleaseDCHook(HWND window, HDC dc) {
    return Release(kReleaseDC, dc, __builtin_return_address(0),
                   [&] { return Real<decltype(&ReleaseDC)>(kReleaseDC)(window, dc); });
}

BOOL WINAPI EndPaintHook(HWND window, const PAINTSTRUCT* paint) {
    return Release(kEndPaint, paint->hdc, __builtin_return_address(0),
                   [&] { return Real<decltype(&EndPaint)>(kEndPaint)(window, paint); });
}

// Each call, in the order of Fn: its name, its wrapper and, for a creator, the one call that
// gives back what it made.
const struct {
    const char* name;
    const void* hook;
    Fn releaser;
} kWatched[kFnCount] = {
    {"CreateSolidBrush", Creator<kCreateSolidBrush>(&CreateSolidBrush), kDeleteObject},
    {"CreatePen", Creator<kCreatePen>(&CreatePen), kDeleteObject},
    {"CreateCompatibleBitmap", Creator<kCreateCompatibleBitmap>(&CreateCompatibleBitmap),
     kDeleteObject},
    {"CreateDIBSection", Creator<kCreateDIBSection>(&CreateDIBSection), kDeleteObject},
    {"CreateCompatibleDC", Creator<kCreateCompatibleDC>(&CreateCompatibleDC), kDeleteDC},
    {"CreateDCW", Creator<kCreateDCW>(&CreateDCW), kDeleteDC},
    {"GetDC", Creator<kGetDC>(&GetDC), kReleaseDC},
    {"BeginPaint", Creator<kBeginPaint>(&BeginPaint), kEndPaint},
    {"DeleteObject", reinterpret_cast<const void*>(&DeleteObjectHook), kFnCount},
    {"DeleteDC", reinterpret_cast<const void*>(&DeleteDCHook), kFnCount},
    {"ReleaseDC", reinterpret_cast<const void*>(&ReleaseDCHook), kFnCount},
    {"EndPaint", reinterpret_cast<const void*>(&EndPaintHook), kFnCount}};

std::string Hex(const void* value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value)));
    return text;
}

// "Quillet.dll+0x1a2b" for the call before a return address, which lies in a patched module:
// the offset finds the line with addr2line whatever base the module was loaded at.
std::string Caller(const void* returnAddress) {
    const char* address = static_cast<const char*>(returnAddress) - 1;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(address), &module);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\') != nullptr ? std::strrchr(path, '\\') + 1 : path;
    return name +
           ("+" + Hex(reinterpret_cast<const void*>(address - reinterpret_cast<char*>(module))));
}

std::string Describe(const Record& record) {
    return Hex(record.handle) + " made by " + kWatched[record.creator].name + " at " +
           record.caller + " during " + record.context;
}

void Fault(const std::string& what) {
    if (firstFault.empty()) {
        firstFault = what + " [" + context + "]";
    }
}

std::vector<Record>::iterator FindLive(const void* handle) {
    return std::find_if(live.begin(), live.end(),
                        [handle](const Record& record) { return record.handle == handle; });
}

void Created(Fn id, void* handle, const void* returnAddress) {
    std::lock_guard<std::mutex> lock(mutex);
    if (handle != nullptr) {
        ++created;
        live.push_back({handle, id, Caller(returnAddress), context});
    }
}

// Checks a release, which `call` makes, and records it.
template <typename Call> int Release(Fn id, void* handle, const void* returnAddress, Call call) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::string what =
        std::string(kWatched[id].name) + "(" + Hex(handle) + ") at " + Caller(returnAddress);
    // A device context goes back with the objects it had of its own: what a caller selected
    // into it has been selected out again (a bitmap left there cannot be deleted on Windows).
    // Another handle has no current objects.
    for (UINT kind : {OBJ_BITMAP, OBJ_BRUSH, OBJ_PEN, OBJ_FONT}) {
        const auto selected = FindLive(GetCurrentObject(static_cast<HDC>(handle), kind));
        if (selected != live.end()) {
            Fault(what + " with " + Describe(*selected) + " still selected");
        }
    }
    // A pen or brush is given back once no device context holds it: deleting it while selected
    // fails on Windows and leaves the object behind.
    for (const Record& holder : live) {
        const bool isContext = holder.creator == kCreateCompatibleDC ||
                               holder.creator == kCreateDCW || holder.creator == kGetDC ||
                               holder.creator == kBeginPaint;
        for (UINT kind : {OBJ_PEN, OBJ_BRUSH}) {
            if (isContext && id == kDeleteObject &&
                GetCurrentObject(static_cast<HDC>(holder.handle), kind) == handle) {
                Fault(what + " while selected into " + Describe(holder));
            }
        }
    }
    const int done = call();
    const auto found = FindLive(handle);
    if (found == live.end()) {
        Fault(what + ": no watched call made this handle");
    } else if (kWatched[found->creator].releaser != id) {
        Fault(what + " gives back " + Describe(*found));
    } else if (done == 0) {
        Fault(what + " failed for " + Describe(*found));
    } else {
        live.erase(found);
    }
    return done;
}

void Write(void** entry, const void* value) {
    DWORD protection = 0;
    VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
    *entry = const_cast<void*>(value);
    VirtualProtect(entry, sizeof *entry, protection, &protection);
}

} // namespace

// The names stay in the lookup table; the address table beside it holds what the loader bound.
void** FindImportEntry(HMODULE module, const char* function) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         imports != 0 && dll->Name != 0; ++dll) {
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto** addresses = reinterpret_cast<void**>(base + dll->FirstThunk);
        for (int i = 0; dll->OriginalFirstThunk != 0 && names[i].u1.AddressOfData != 0; ++i) {
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal) &&
                std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return &addresses[i];
            }
        }
    }
    return nullptr;
}

CGdiHandleLedger::CGdiHandleLedger(const std::vector<HMODULE>& modules) {
    std::lock_guard<std::mutex> lock(mutex);
    live.clear();
    context.clear();
    firstFault.clear();
    created = 0;
    for (HMODULE module : modules) {
        for (int id = 0; id < kFnCount; ++id) {
            void** entry = FindImportEntry(module, kWatched[id].name);
            if (entry != nullptr) {
                real[id] = *entry; // before the entry is written: a wrapper may run at once
                patched.emplace_back(entry, *entry);
                Write(entry, kWatched[id].hook);
            }
        }
    }
}

CGdiHandleLedger::~CGdiHandleLedger() {
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& [entry, original] : patched) {
        Write(entry, original);
    }
    patched.clear();
}

void CGdiHandleLedger::SetContext(const std::string& newContext) {
    std::lock_guard<std::mutex> lock(mutex);
    context = newContext;
}

unsigned long CGdiHandleLedger::Created() const {
    std::lock_guard<std::mutex> lock(mutex);
    return created;
}

std::string CGdiHandleLedger::Leaks() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::string text;
    for (const Record& record : live) {
        text += Describe(record) + "\n";
    }
    return text;
}

std::string CGdiHandleLedger::FirstFault() const {
    std::lock_guard<std::mutex> lock(mutex);
    return firstFault;
}

} // namespace QuilletTest
