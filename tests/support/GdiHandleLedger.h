#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace QuilletTest {

// Keeps account of the GDI objects and device contexts that chosen modules (a DLL under test,
// and the host library that makes bitmaps for it) create and release, from its construction to
// the end of the process. Their import entries for these calls are replaced by wrappers, so
// the rest of the process (the test itself, the system's controls) is left out. Each handle is
// kept with the call that made it and the context of the moment until its release.
// A fault: releasing a handle that no watched call made, by another function than the one that
// matches its creator, unsuccessfully, a device context with a watched object still selected,
// or a pen or brush still selected into a watched context. One ledger per process.
class CGdiHandleLedger {
public:
    explicit CGdiHandleLedger(const std::vector<HMODULE>& modules);
    // Written into each creation record, to say when it happened ("About box, round 7").
    void SetContext(const std::string& context);
    // Handles made by watched calls so far.
    unsigned long Created() const;
    // Empty when nothing is live; otherwise the live handles, oldest first, one a line: what
    // made each, and when.
    std::string Leaks() const;
    // Empty, or the first fault.
    std::string FirstFault() const;
};

} // namespace QuilletTest
