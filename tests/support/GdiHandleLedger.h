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
    // From now on `context` ("About box, round 7") is written into each creation record, to say
    // when it happened. Gives the number of handles watched calls have made so far.
    unsigned long Begin(const std::string& context);
    // Empty when every handle made so far went back as it should; otherwise the first fault, or
    // else the live handles, oldest first, one a line: what made each, and when.
    std::string Problems() const;
};

} // namespace QuilletTest
