#pragma once
#include <windows.h>

namespace QuilletTest {

// Replaces one entry of this program's import address table for the lifetime of the object.
// The framework code linked into a test program calls system functions through these entries,
// so a test can count such calls (or make one fail) without touching the system itself.
template <typename Function> class ImportPatch {
public:
    ImportPatch(Function& entry, Function replacement) : entry_(entry), original_(entry) {
        Write(replacement);
    }
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

} // namespace QuilletTest
