#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace QuilletTest {

// Keeps account of the GDI objects, device contexts and windows that chosen modules (a DLL
// under test, and the host library that makes bitmaps on its behalf) create and release.
// Their gdi32 and user32 import entries are replaced by counting wrappers for the lifetime of
// the ledger, so the rest of the process (the test itself, the system's controls) is left out.
// Every created handle is kept with the function that made it, the caller's address and the
// context of the moment, until the matching release; a release that does not match (an
// unknown handle, the wrong function, a failed call, an object still selected into a device
// context) is a fault. One ledger at a time.
class CGdiHandleLedger {
public:
    explicit CGdiHandleLedger(const std::vector<HMODULE>& modules);
    ~CGdiHandleLedger();
    CGdiHandleLedger(const CGdiHandleLedger&) = delete;
    CGdiHandleLedger& operator=(const CGdiHandleLedger&) = delete;

    // Whether the module's calls of `function` are counted (the module imports it by name).
    bool Watches(HMODULE module, const char* function) const;
    // Calls of `function` by the watched modules since the ledger started.
    int Calls(const char* function) const;
    // Written into each creation record, to say when it happened ("About box, round 7").
    void SetContext(const std::string& context);

    // Handles created and not yet released, plus windows created and still there.
    std::size_t Live() const;
    // Empty when nothing is live; otherwise the earliest live handles, one a line: what made
    // each, from where, when.
    std::string Leaks() const;
    // Empty, or the first release that broke the rules.
    std::string FirstFault() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace QuilletTest
