#include "print/DefaultPrinter.h"

#include <winspool.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace Orvanel::Print {

namespace {

// The name's length in characters, terminator included; 0 when there is no default printer
// (the size query then fails with another error than "buffer too small").
DWORD DefaultPrinterNameLength() {
    DWORD length = 0;
    if (GetDefaultPrinterW(nullptr, &length) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return 0;
    }
    return length;
}

// Fills `buffer` of `length` characters; false when the name did not come back whole.
bool FetchDefaultPrinterName(wchar_t* buffer, DWORD length) {
    DWORD size = length;
    if (!GetDefaultPrinterW(buffer, &size) || size == 0 || size > length) {
        return false;
    }
    buffer[length - 1] = L'\0';
    return buffer[0] != L'\0';
}

} // namespace

std::wstring DefaultPrinterName() {
    const DWORD length = DefaultPrinterNameLength();
    if (length == 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(length);
    if (!FetchDefaultPrinterName(buffer.data(), length)) {
        return std::wstring();
    }
    return std::wstring(buffer.data());
}

int GetDefaultPrinterOrientation(wchar_t*& name, int& orientation) {
    name = nullptr;
    const DWORD length = DefaultPrinterNameLength();
    if (length == 0) {
        return 1; // no default printer: never open one under an empty name
    }
    name = new (std::nothrow) wchar_t[length];
    if (name == nullptr) {
        return -1;
    }
    if (!FetchDefaultPrinterName(name, length)) {
        return 1;
    }
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name, &printer, nullptr)) {
        return 1;
    }
    const LONG size = DocumentPropertiesW(nullptr, printer, name, nullptr, nullptr, 0);
    if (size < static_cast<LONG>(sizeof(DEVMODEW))) {
        ClosePrinter(printer);
        return 1;
    }
    DEVMODEW* settings = static_cast<DEVMODEW*>(std::malloc(static_cast<std::size_t>(size)));
    if (settings == nullptr) {
        ClosePrinter(printer);
        return 1;
    }
    const LONG read = DocumentPropertiesW(nullptr, printer, name, settings, nullptr, DM_OUT_BUFFER);
    if (read != IDOK) {
        std::free(settings);
        ClosePrinter(printer);
        return 1;
    }
    orientation = static_cast<int>(settings->dmOrientation);
    std::free(settings);
    ClosePrinter(printer);
    return 0;
}

} // namespace Orvanel::Print
