#pragma once
#include <windows.h>

namespace QuilletTest {

// The import address table entry through which a loaded module calls `function` of `dll`
// (names compared without regard to case), or null when the module does not import it by
// name. Found by walking the module's PE import descriptors in memory.
void** FindImportEntry(HMODULE module, const char* dll, const char* function);

// Replaces one entry of a loaded module's import address table for the lifetime of the object:
// every call that the module makes to that function then reaches `replacement`, while the rest
// of the process keeps calling the system. A DLL's own calls can so be counted from a test.
class CModuleImportPatch {
public:
    CModuleImportPatch(HMODULE module, const char* dll, const char* function,
                       const void* replacement);
    ~CModuleImportPatch();
    CModuleImportPatch(const CModuleImportPatch&) = delete;
    CModuleImportPatch& operator=(const CModuleImportPatch&) = delete;

    // False when the module does not import the function: nothing was replaced.
    bool Applied() const { return entry_ != nullptr; }
    // What the entry held before: the function to pass the calls on to.
    void* Original() const { return original_; }

private:
    void** entry_;
    void* original_ = nullptr;
};

} // namespace QuilletTest
