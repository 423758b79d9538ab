#pragma once
#include "support/ImportPatch.h"

#include <ole2.h>

// The framework's calls into OLE are counted by replacing the test program's own import
// entries (the framework is linked into this program). Wine's OleUninitialize ignores an
// unbalanced call, which would hide the fault that Windows shows; the counts do not.
extern "C" {
extern decltype(&OleInitialize) __imp_OleInitialize;
extern decltype(&OleUninitialize) __imp_OleUninitialize;
}

namespace QuilletTest {

struct OleCounters {
    static inline int initializeCalls = 0;
    static inline int uninitializeCalls = 0;
    static inline HRESULT initializeResult = S_OK;

    static HRESULT WINAPI Initialize(LPVOID) {
        ++initializeCalls;
        return initializeResult;
    }
    static void WINAPI Uninitialize() { ++uninitializeCalls; }
};

struct OleHook {
    ImportPatch<decltype(&OleInitialize)> initialize;
    ImportPatch<decltype(&OleUninitialize)> uninitialize;
    explicit OleHook(HRESULT result)
        : initialize(__imp_OleInitialize, &OleCounters::Initialize),
          uninitialize(__imp_OleUninitialize, &OleCounters::Uninitialize) {
        OleCounters::initializeCalls = 0;
        OleCounters::uninitializeCalls = 0;
        OleCounters::initializeResult = result;
    }
};

} // namespace QuilletTest
