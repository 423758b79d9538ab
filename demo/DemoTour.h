#pragma once
#include <string>

namespace QuilletDemo {

class CDemoWindow;

// Opens every dialog built so far from the demo window, writes a screenshot of each to
// <folder>/<ExportName>.png and closes it. Returns the number of dialogs that failed.
int RunTour(CDemoWindow& window, const std::wstring& folder);

} // namespace QuilletDemo
