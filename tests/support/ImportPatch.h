#pragma once
#include <windows.h>

#include <atomic>

namespace QuilletTest {

// The import address table entry through which a loaded module calls `function`, imported by
// name from any DLL, or null.
void** FindImportEntry(HMODULE module, const char* function);

// Replaces one entry of an import address table for the lifetime of the object. The code of a
// module calls system functions through these entries, so a test can count such calls (or make
// one fail) without touching the system itself: this program's own entries (`__imp_` symbols)
// for the framework code linked into it, a loaded DLL's entries found by name.
template <typename Function> class ImportPatch {
public:
    ImportPatch(Function& entry, Function replacement) : entry_(entry), original_(entry) {
        Write(replacement);
    }
    ImportPatch(HMODULE module, const char* function, Function replacement)
        : ImportPatch(*reinterpret_cast<Function*>(FindImportEntry(module, function)),
                      replacement) {}
    ~ImportPatch() { Write(original_); }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    Function Original() const { return original_; }

private:
    void Write(Function value) {
        DWORD oldProtection = 0;
        VirtualProtect(&entry_, sizeof(entry_), PAGE_READWRITE, &oldProtection);
        entry_ = value;
        VirtualProtect(&entry_, sizeof(entry_), oldProtection, &oldProtection);
    }

    Function& entry_;
    Function original_;
};

// Counts the documents a module's print code starts (its StartDocW calls) while it lives.
struct CStartedDocuments {
    static inline std::atomic<int> count{0};
    static inline decltype(&StartDocW) real = nullptr;
    ImportPatch<decltype(&StartDocW)> patch;
    explicit CStartedDocuments(HMODULE module)
        : patch(module, "StartDocW",
                [](HDC dc, const DOCINFOW* document) { return ++count, real(dc, document); }) {
        real = patch.Original();
        count = 0;
    }
};

} // namespace QuilletTest
