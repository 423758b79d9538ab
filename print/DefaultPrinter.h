#pragma once
// The default printer as the spooler reports it: its name and its paper orientation. Both
// print dialogs start from it.
#include <windows.h>

#include <string>

namespace Orvanel::Print {

// The default printer's name; empty when the machine has none. The query is imported by
// name: ordinals of the spooler's exports differ between its implementations.
std::wstring DefaultPrinterName();

// Hands the default printer's name back through `name` (new[], the caller delete[]s it, also
// on failure) and its paper orientation (1 portrait). 0 on success; 1 when there is no default
// printer or it cannot be opened or its settings cannot be read; -1 when the name buffer
// cannot be allocated.
int GetDefaultPrinterOrientation(wchar_t*& name, int& orientation);

} // namespace Orvanel::Print
