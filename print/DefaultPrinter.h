#pragma once
// The default printer as the spooler and its driver report it. Both print dialogs start from it.
#include <windows.h>

#include <cstddef>
#include <string>

namespace Orvanel::Print {

// A printer's settings as its driver reports them, in memory from malloc or, when that fails,
// from the process heap, and given back the same way.
class CPrinterSettings {
public:
    CPrinterSettings() = default;
    ~CPrinterSettings() { Free(); }
    CPrinterSettings(const CPrinterSettings&) = delete;
    CPrinterSettings& operator=(const CPrinterSettings&) = delete;

    // Replaces the buffer by one of `size` bytes; false when no memory is left.
    bool Allocate(std::size_t size);
    DEVMODEW* get() const { return static_cast<DEVMODEW*>(data_); }

private:
    void Free();

    void* data_ = nullptr;
    bool fromHeap_ = false;
};

// What the print dialogs need of the default printer.
struct CDefaultPrinter {
    CDefaultPrinter() = default;
    // Deletes the device context unless a caller took it.
    ~CDefaultPrinter();
    CDefaultPrinter(const CDefaultPrinter&) = delete;
    CDefaultPrinter& operator=(const CDefaultPrinter&) = delete;

    std::wstring name;
    int orientation = 0; // the paper's: 1 portrait
    int paperWidth = 0;  // millimetres
    int paperHeight = 0; // millimetres
    CPrinterSettings settings;
    HDC deviceContext = nullptr; // on the printer, made with its own settings
};

// The default printer's name; empty when the machine has none. The query is imported by
// name: ordinals of the spooler's exports differ between its implementations.
std::wstring DefaultPrinterName();

// Reads the default printer: its name, its settings with the paper's orientation, and a device
// context on it with the paper's size. 0 when all of it was read; 1 when there is no default
// printer, or it cannot be opened, or its settings cannot be read, or no device context can be
// made for it. A printer whose driver cannot describe its settings is not used.
int GetDefaultPrinterOrientation(CDefaultPrinter& printer);

} // namespace Orvanel::Print
