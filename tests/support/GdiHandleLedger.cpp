#include "support/GdiHandleLedger.h"

#include "support/ModuleImportPatch.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

namespace QuilletTest {

namespace {

// The watched functions. Creators are listed with the function that must release what they
// make; a library that starts calling one more creator is covered once it is added here (until
// then, releasing what it made shows up as a fault: a handle that no counted call created).
enum Fn : int {
    kCreateSolidBrush,
    kCreateHatchBrush,
    kCreatePen,
    kCreateFontIndirectW,
    kCreateRectRgn,
    kCreateBitmap,
    kCreateCompatibleBitmap,
    kCreateDIBSection,
    kCreateDIBitmap,
    kCreateCompatibleDC,
    kCreateDCW,
    kGetDC,
    kGetWindowDC,
    kBeginPaint,
    kCreateWindowExW,
    kDeleteObject,
    kDeleteDC,
    kReleaseDC,
    kEndPaint,
    kSelectObject,
    kFunctionCount
};

// What the system functions were before the patches; the wrappers pass every call on to them.
std::array<void*, kFunctionCount> realFunction{};
CGdiHandleLedger::State* current = nullptr;

template <typename F> F Real(Fn id) { return reinterpret_cast<F>(realFunction[id]); }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

// "Quillet.dll+0x1a2b (0x2654c1a2b)" for the call instruction before a return address: the
// offset finds the line with addr2line whatever base the module was loaded at.
std::string DescribeCaller(const void* returnAddress) {
    const void* address = static_cast<const char*>(returnAddress) - 1;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module)) {
        return Format("%p", address);
    }
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\') != nullptr ? std::strrchr(path, '\\') + 1 : path;
    const auto offset = static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                        reinterpret_cast<const char*>(module));
    return Format("%s+0x%llx (%p)", name, offset, address);
}

} // namespace

struct CGdiHandleLedger::State {
    struct Creation {
        Fn function;
        std::string caller;
        std::string context;
        unsigned long serial;
    };
    // What one kind of object (bitmap, brush, pen, font) a device context holds: the object it
    // had of its own before the first selection, and the one selected now.
    struct Selection {
        HGDIOBJ own = nullptr;
        HGDIOBJ now = nullptr;
    };

    mutable std::mutex mutex;
    std::vector<std::unique_ptr<CModuleImportPatch>> patches;
    std::set<std::pair<HMODULE, std::string>> watched;
    std::array<int, kFunctionCount> calls{};
    std::string context;
    unsigned long serial = 0;
    std::multimap<const void*, Creation> live;
    std::map<HWND, Creation> windows;
    std::map<HDC, std::map<DWORD, Selection>> selections;
    std::string firstFault;

    void Count(Fn id) {
        std::lock_guard<std::mutex> lock(mutex);
        ++calls[id];
    }

    Creation Record(Fn id, const void* caller) {
        return Creation{id, DescribeCaller(caller), context, ++serial};
    }

    void Created(Fn id, const void* handle, const void* caller) {
        std::lock_guard<std::mutex> lock(mutex);
        ++calls[id];
        if (handle == nullptr) {
            return;
        }
        if (id == kCreateWindowExW) {
            ForgetDestroyedWindows();
            windows[static_cast<HWND>(const_cast<void*>(handle))] = Record(id, caller);
        } else {
            live.emplace(handle, Record(id, caller));
        }
    }

    // Windows go with their parents, never through a watched call: a window is live for as long
    // as the system knows it.
    void ForgetDestroyedWindows() {
        for (auto window = windows.begin(); window != windows.end();) {
            window = IsWindow(window->first) ? std::next(window) : windows.erase(window);
        }
    }

    void Fault(const std::string& what) {
        if (firstFault.empty()) {
            firstFault = what + " [" + context + "]";
        }
    }

    std::string Describe(const void* handle, const Creation& creation) const;
    void Released(Fn id, const void* handle, bool succeeded, const void* caller);
    void CheckSelectionsGivenBack(HDC dc, const char* releaser, const void* caller);
    void Selected(HDC dc, HGDIOBJ object, HGDIOBJ previous);
};

namespace {

const char* const kNames[kFunctionCount] = {"CreateSolidBrush",
                                            "CreateHatchBrush",
                                            "CreatePen",
                                            "CreateFontIndirectW",
                                            "CreateRectRgn",
                                            "CreateBitmap",
                                            "CreateCompatibleBitmap",
                                            "CreateDIBSection",
                                            "CreateDIBitmap",
                                            "CreateCompatibleDC",
                                            "CreateDCW",
                                            "GetDC",
                                            "GetWindowDC",
                                            "BeginPaint",
                                            "CreateWindowExW",
                                            "DeleteObject",
                                            "DeleteDC",
                                            "ReleaseDC",
                                            "EndPaint",
                                            "SelectObject"};

// The one function that gives back what `creator` made.
Fn ReleaserOf(Fn creator) {
    switch (creator) {
    case kCreateCompatibleDC:
    case kCreateDCW:
        return kDeleteDC;
    case kGetDC:
    case kGetWindowDC:
        return kReleaseDC;
    case kBeginPaint:
        return kEndPaint;
    default:
        return kDeleteObject;
    }
}

// A wrapper for each creator: the real call, then the record of what it made.
template <Fn id, typename F> struct Creator;
template <Fn id, typename R, typename... A> struct Creator<id, R (*)(A...)> {
    static R WINAPI Hook(A... arguments) {
        R handle = Real<R(WINAPI*)(A...)>(id)(arguments...);
        current->Created(id, reinterpret_cast<const void*>(handle), __builtin_return_address(0));
        return handle;
    }
};

BOOL WINAPI DeleteObjectHook(HGDIOBJ object) {
    const BOOL done = Real<decltype(&DeleteObject)>(kDeleteObject)(object);
    current->Released(kDeleteObject, object, done != FALSE, __builtin_return_address(0));
    return done;
}

BOOL WINAPI DeleteDCHook(HDC dc) {
    const BOOL done = Real<decltype(&DeleteDC)>(kDeleteDC)(dc);
    current->Released(kDeleteDC, dc, done != FALSE, __builtin_return_address(0));
    return done;
}

int WINAPI ReleaseDCHook(HWND window, HDC dc) {
    const int done = Real<decltype(&ReleaseDC)>(kReleaseDC)(window, dc);
    current->Released(kReleaseDC, dc, done == 1, __builtin_return_address(0));
    return done;
}

BOOL WINAPI EndPaintHook(HWND window, const PAINTSTRUCT* paint) {
    const HDC dc = paint != nullptr ? paint->hdc : nullptr;
    const BOOL done = Real<decltype(&EndPaint)>(kEndPaint)(window, paint);
    current->Released(kEndPaint, dc, done != FALSE, __builtin_return_address(0));
    return done;
}

HGDIOBJ WINAPI SelectObjectHook(HDC dc, HGDIOBJ object) {
    const HGDIOBJ previous = Real<decltype(&SelectObject)>(kSelectObject)(dc, object);
    current->Count(kSelectObject);
    current->Selected(dc, object, previous);
    return previous;
}

struct Watch {
    const char* dll;
    Fn id;
    const void* hook;
};

template <Fn id, typename F> const void* CreatorHook() {
    return reinterpret_cast<const void*>(&Creator<id, F>::Hook);
}

const Watch kWatches[] = {
    {"gdi32.dll", kCreateSolidBrush, CreatorHook<kCreateSolidBrush, decltype(&CreateSolidBrush)>()},
    {"gdi32.dll", kCreateHatchBrush, CreatorHook<kCreateHatchBrush, decltype(&CreateHatchBrush)>()},
    {"gdi32.dll", kCreatePen, CreatorHook<kCreatePen, decltype(&CreatePen)>()},
    {"gdi32.dll", kCreateFontIndirectW,
     CreatorHook<kCreateFontIndirectW, decltype(&CreateFontIndirectW)>()},
    {"gdi32.dll", kCreateRectRgn, CreatorHook<kCreateRectRgn, decltype(&CreateRectRgn)>()},
    {"gdi32.dll", kCreateBitmap, CreatorHook<kCreateBitmap, decltype(&CreateBitmap)>()},
    {"gdi32.dll", kCreateCompatibleBitmap,
     CreatorHook<kCreateCompatibleBitmap, decltype(&CreateCompatibleBitmap)>()},
    {"gdi32.dll", kCreateDIBSection, CreatorHook<kCreateDIBSection, decltype(&CreateDIBSection)>()},
    {"gdi32.dll", kCreateDIBitmap, CreatorHook<kCreateDIBitmap, decltype(&CreateDIBitmap)>()},
    {"gdi32.dll", kCreateCompatibleDC,
     CreatorHook<kCreateCompatibleDC, decltype(&CreateCompatibleDC)>()},
    {"gdi32.dll", kCreateDCW, CreatorHook<kCreateDCW, decltype(&CreateDCW)>()},
    {"user32.dll", kGetDC, CreatorHook<kGetDC, decltype(&GetDC)>()},
    {"user32.dll", kGetWindowDC, CreatorHook<kGetWindowDC, decltype(&GetWindowDC)>()},
    {"user32.dll", kBeginPaint, CreatorHook<kBeginPaint, decltype(&BeginPaint)>()},
    {"user32.dll", kCreateWindowExW, CreatorHook<kCreateWindowExW, decltype(&CreateWindowExW)>()},
    {"gdi32.dll", kDeleteObject, reinterpret_cast<const void*>(&DeleteObjectHook)},
    {"gdi32.dll", kDeleteDC, reinterpret_cast<const void*>(&DeleteDCHook)},
    {"user32.dll", kReleaseDC, reinterpret_cast<const void*>(&ReleaseDCHook)},
    {"user32.dll", kEndPaint, reinterpret_cast<const void*>(&EndPaintHook)},
    {"gdi32.dll", kSelectObject, reinterpret_cast<const void*>(&SelectObjectHook)},
};

} // namespace

std::string CGdiHandleLedger::State::Describe(const void* handle, const Creation& creation) const {
    return Format("%p made by %s called at %s during %s", handle, kNames[creation.function],
                  creation.caller.c_str(), creation.context.c_str());
}

void CGdiHandleLedger::State::Released(Fn id, const void* handle, bool succeeded,
                                       const void* caller) {
    std::lock_guard<std::mutex> lock(mutex);
    ++calls[id];
    const std::string where = DescribeCaller(caller);
    auto range = live.equal_range(handle);
    if (range.first == range.second) {
        Fault(Format("%s(%p) at %s: no counted call created this handle", kNames[id], handle,
                     where.c_str()));
        return;
    }
    auto found = range.first;
    const Fn creator = found->second.function;
    if (ReleaserOf(creator) != id) {
        Fault(Format("%s at %s gives back %s, which only %s releases", kNames[id], where.c_str(),
                     Describe(handle, found->second).c_str(), kNames[ReleaserOf(creator)]));
    }
    if (id == kDeleteObject) {
        // An object still selected into a device context is not deleted on Windows.
        for (const auto& [dc, kinds] : selections) {
            for (const auto& [kind, selection] : kinds) {
                if (selection.now == handle && selection.own != handle) {
                    Fault(Format("DeleteObject at %s: %s is still selected into DC %p",
                                 where.c_str(), Describe(handle, found->second).c_str(),
                                 static_cast<const void*>(dc)));
                }
            }
        }
    } else {
        CheckSelectionsGivenBack(static_cast<HDC>(const_cast<void*>(handle)), kNames[id], caller);
    }
    if (!succeeded) {
        Fault(Format("%s at %s failed for %s", kNames[id], where.c_str(),
                     Describe(handle, found->second).c_str()));
        return;
    }
    live.erase(found);
}

// A device context goes back with the objects it had of its own: whatever a caller selected
// into it has been selected out again.
void CGdiHandleLedger::State::CheckSelectionsGivenBack(HDC dc, const char* releaser,
                                                       const void* caller) {
    auto found = selections.find(dc);
    if (found == selections.end()) {
        return;
    }
    for (const auto& [kind, selection] : found->second) {
        if (selection.now != selection.own) {
            const auto made = live.find(selection.now);
            const std::string object = made != live.end()
                                           ? Describe(selection.now, made->second)
                                           : Format("%p", static_cast<const void*>(selection.now));
            Fault(Format("%s(%p) at %s with %s still selected", releaser,
                         static_cast<const void*>(dc), DescribeCaller(caller).c_str(),
                         object.c_str()));
        }
    }
    selections.erase(found);
}

void CGdiHandleLedger::State::Selected(HDC dc, HGDIOBJ object, HGDIOBJ previous) {
    const DWORD kind = GetObjectType(object);
    // Selecting a region answers with its complexity, not with a handle.
    if (previous == nullptr || previous == HGDI_ERROR || kind == OBJ_REGION || kind == 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    // Device contexts that the system lends (a control's colour message) are its own business.
    if (live.find(dc) == live.end()) {
        return;
    }
    Selection& selection = selections[dc][kind];
    if (selection.own == nullptr) {
        selection.own = previous;
    }
    selection.now = object;
}

CGdiHandleLedger::CGdiHandleLedger(const std::vector<HMODULE>& modules)
    : state_(std::make_unique<State>()) {
    if (current != nullptr) {
        state_->firstFault = "a second ledger was started while the first one was live";
        return;
    }
    // The wrappers may be called as soon as an entry is written: what they pass the calls on to
    // and where they record them are known before.
    current = state_.get();
    for (HMODULE module : modules) {
        for (const Watch& watch : kWatches) {
            void** entry = FindImportEntry(module, watch.dll, kNames[watch.id]);
            if (entry == nullptr) {
                continue;
            }
            if (realFunction[watch.id] == nullptr) {
                realFunction[watch.id] = *entry;
            }
            state_->watched.emplace(module, kNames[watch.id]);
            state_->patches.push_back(std::make_unique<CModuleImportPatch>(
                module, watch.dll, kNames[watch.id], watch.hook));
        }
    }
}

CGdiHandleLedger::~CGdiHandleLedger() {
    if (current == state_.get()) {
        state_->patches.clear();
        current = nullptr;
    }
}

bool CGdiHandleLedger::Watches(HMODULE module, const char* function) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->watched.count({module, function}) != 0;
}

int CGdiHandleLedger::Calls(const char* function) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    for (int id = 0; id < kFunctionCount; ++id) {
        if (std::strcmp(kNames[id], function) == 0) {
            return state_->calls[id];
        }
    }
    return -1;
}

void CGdiHandleLedger::SetContext(const std::string& context) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->context = context;
}

std::size_t CGdiHandleLedger::Live() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->ForgetDestroyedWindows();
    return state_->live.size() + state_->windows.size();
}

std::string CGdiHandleLedger::Leaks() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->ForgetDestroyedWindows();
    // Oldest first: the first leak is usually the cause of the others.
    std::map<unsigned long, std::pair<const void*, const State::Creation*>> bySerial;
    for (const auto& [handle, creation] : state_->live) {
        bySerial[creation.serial] = {handle, &creation};
    }
    for (const auto& [window, creation] : state_->windows) {
        bySerial[creation.serial] = {window, &creation};
    }
    std::string text;
    int shown = 0;
    for (const auto& [serial, leak] : bySerial) {
        if (++shown > 3) {
            text += "\n...";
            break;
        }
        text += (text.empty() ? "" : "\n") + state_->Describe(leak.first, *leak.second);
    }
    return text;
}

std::string CGdiHandleLedger::FirstFault() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->firstFault;
}

} // namespace QuilletTest
