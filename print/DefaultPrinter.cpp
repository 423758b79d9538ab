#include "print/DefaultPrinter.h"

#include <winspool.h>

#include <cstdlib>
#include <vector>

namespace Orvanel::Print {

bool CPrinterSettings::Allocate(std::size_t size) {
    Free();
    data_ = std::malloc(size);
    if (data_ == nullptr) {
        data_ = HeapAlloc(GetProcessHeap(), 0, size);
        fromHeap_ = data_ != nullptr;
    }
    return data_ != nullptr;
}

void CPrinterSettings::Free() {
    if (fromHeap_) {
        HeapFree(GetProcessHeap(), 0, data_);
    } else {
        std::free(data_);
    }
    data_ = nullptr;
    fromHeap_ = false;
}

CDefaultPrinter::~CDefaultPrinter() {
    if (deviceContext != nullptr) {
        DeleteDC(deviceContext);
    }
}

std::wstring DefaultPrinterName() {
    // The size query fails with "buffer too small" when there is a default printer.
    DWORD length = 0;
    if (GetDefaultPrinterW(nullptr, &length) || GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
        length == 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(length);
    DWORD size = length;
    if (!GetDefaultPrinterW(buffer.data(), &size) || size == 0 || size > length) {
        return std::wstring();
    }
    buffer[length - 1] = L'\0';
    return std::wstring(buffer.data());
}

int GetDefaultPrinterOrientation(CDefaultPrinter& printer) {
    printer.name = DefaultPrinterName();
    if (printer.name.empty()) {
        return 1; // no default printer: never open one under an empty name
    }
    HANDLE handle = nullptr;
    if (!OpenPrinterW(printer.name.data(), &handle, nullptr)) {
        return 1;
    }
    const LONG size =
        DocumentPropertiesW(nullptr, handle, printer.name.data(), nullptr, nullptr, 0);
    const bool read = size >= static_cast<LONG>(sizeof(DEVMODEW)) &&
                      printer.settings.Allocate(static_cast<std::size_t>(size)) &&
                      DocumentPropertiesW(nullptr, handle, printer.name.data(),
                                          printer.settings.get(), nullptr, DM_OUT_BUFFER) == IDOK;
    ClosePrinter(handle);
    if (!read) {
        return 1;
    }
    printer.orientation = static_cast<int>(printer.settings.get()->dmOrientation);
    printer.deviceContext = CreateDCW(nullptr, printer.name.c_str(), nullptr, nullptr);
    if (printer.deviceContext == nullptr) {
        return 1;
    }
    printer.paperWidth = GetDeviceCaps(printer.deviceContext, HORZSIZE);
    printer.paperHeight = GetDeviceCaps(printer.deviceContext, VERTSIZE);
    return 0;
}

} // namespace Orvanel::Print
