#include "support/GdiHandleLedger.h"

#include "support/ImportPatch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace QuilletTest {

namespace {

struct Record {
    void* handle;
    int creator; // in kWatched
    std::string context;
};

std::mutex mutex;
std::vector<Record> live; // oldest first
std::string context, firstFault;
unsigned long created = 0;
const void* real[12]; // the system's functions, in the order of kWatched

void Created(int id, void* handle) {
    std::lock_guard<std::mutex> lock(mutex);
    if (handle != nullptr) {
        ++created;
        live.push_back({handle, id, context});
    }
}

template <typename Call> int Release(int id, void* handle, Call call);

// What a releasing call gives back.
void* Handle(HGDIOBJ object) { return object; }
void* Handle(HDC dc) { return dc; }
void* Handle(HWND, HDC dc) { return dc; }
void* Handle(HWND, const PAINTSTRUCT* paint) { return paint->hdc; }

// The wrapper of call `id`: a creator's records what the real call made, a releaser's checks
// and records the release.
template <int id, bool releases, typename R, typename... A> const void* Hook(R (*)(A...)) {
    struct Wrapper {
        static R WINAPI Call(A... arguments) {
            const auto call = [&] { return reinterpret_cast<R (*)(A...)>(real[id])(arguments...); };
            if constexpr (releases) {
                return Release(id, Handle(arguments...), call);
            } else {
                const R handle = call();
                Created(id, reinterpret_cast<void*>(handle));
                return handle;
            }
        }
    };
    return reinterpret_cast<const void*>(&Wrapper::Call);
}

// The calls the libraries import now, each with its wrapper and, for a creator, the one call
// that gives back what it made. A creator they start calling must be added here; until then,
// releasing what it made is a fault (a handle no watched call made).
const struct {
    const char* name;
    const void* hook;
    const char* releaser;
} kWatched[12] = {
    {"CreateSolidBrush", Hook<0, false>(&CreateSolidBrush), "DeleteObject"},
    {"CreatePen", Hook<1, false>(&CreatePen), "DeleteObject"},
    {"CreateCompatibleBitmap", Hook<2, false>(&CreateCompatibleBitmap), "DeleteObject"},
    {"CreateDIBSection", Hook<3, false>(&CreateDIBSection), "DeleteObject"},
    {"CreateCompatibleDC", Hook<4, false>(&CreateCompatibleDC), "DeleteDC"},
    {"CreateDCW", Hook<5, false>(&CreateDCW), "DeleteDC"},
    {"GetDC", Hook<6, false>(&GetDC), "ReleaseDC"},
    {"BeginPaint", Hook<7, false>(&BeginPaint), "EndPaint"},
    {"DeleteObject", Hook<8, true>(&DeleteObject), nullptr},
    {"DeleteDC", Hook<9, true>(&DeleteDC), nullptr},
    {"ReleaseDC", Hook<10, true>(&ReleaseDC), nullptr},
    {"EndPaint", Hook<11, true>(&EndPaint), nullptr}};

std::string Number(const void* value) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(value));
}

std::string Describe(const Record& record) {
    return Number(record.handle) + " made by " + kWatched[record.creator].name + " during " +
           record.context;
}

void Fault(const std::string& what) {
    if (firstFault.empty())
        firstFault = what + " [" + context + "]";
}

std::vector<Record>::iterator FindLive(const void* handle) {
    return std::find_if(live.begin(), live.end(),
                        [handle](const Record& record) { return record.handle == handle; });
}

// Checks a release, which `call` makes, and records it.
template <typename Call> int Release(int id, void* handle, Call call) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::string name = kWatched[id].name;
    const std::string what = name + "(" + Number(handle) + ")";
    // A device context goes back with the objects it had of its own: what a caller selected
    // into it has been selected out again (a bitmap left there cannot be deleted on Windows).
    // Another handle has no current objects.
    for (UINT kind : {OBJ_BITMAP, OBJ_BRUSH, OBJ_PEN, OBJ_FONT}) {
        const auto selected = FindLive(GetCurrentObject(static_cast<HDC>(handle), kind));
        if (selected != live.end())
            Fault(what + " with " + Describe(*selected) + " still selected");
    }
    // A pen or brush is given back once no device context holds it: deleting it while selected
    // fails on Windows and leaves the object behind.
    for (const Record& holder : live)
        for (UINT kind : {OBJ_PEN, OBJ_BRUSH})
            if (name == "DeleteObject" && kWatched[holder.creator].releaser != name &&
                GetCurrentObject(static_cast<HDC>(holder.handle), kind) == handle)
                Fault(what + " while selected into " + Describe(holder));
    const int done = call();
    const auto found = FindLive(handle);
    if (found == live.end()) {
        Fault(what + ": no watched call made this handle");
    } else if (kWatched[found->creator].releaser != name) {
        Fault(what + " gives back " + Describe(*found));
    } else if (done == 0) {
        Fault(what + " failed for " + Describe(*found));
    } else {
        live.erase(found);
    }
    return done;
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
                std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return &addresses[i];
        }
    }
    return nullptr;
}

CGdiHandleLedger::CGdiHandleLedger(const std::vector<HMODULE>& modules) {
    std::lock_guard<std::mutex> lock(mutex);
    for (HMODULE module : modules)
        for (int id = 0; id < 12; ++id)
            if (void** entry = FindImportEntry(module, kWatched[id].name)) {
                real[id] = *entry; // before the entry is written: a wrapper may run at once
                DWORD protection = 0;
                VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
                *entry = const_cast<void*>(kWatched[id].hook);
                VirtualProtect(entry, sizeof *entry, protection, &protection);
            }
}

unsigned long CGdiHandleLedger::Begin(const std::string& newContext) {
    std::lock_guard<std::mutex> lock(mutex);
    context = newContext;
    return created;
}

std::string CGdiHandleLedger::Problems() const {
    std::lock_guard<std::mutex> lock(mutex);
    if (!firstFault.empty())
        return firstFault;
    std::string text;
    for (const Record& record : live)
        text += "still live: " + Describe(record) + "\n";
    return text;
}

} // namespace QuilletTest
