#pragma once
// Which device name the OpenCL chooser hands back.
#include <string>
#include <vector>

namespace Orvanel::ShellPlan {

// The name at `selection` when the user confirmed (1); otherwise, and when the selection is
// no item of the list (the combo box's -1 for "none", or anything past the end), the empty
// string.
std::wstring ChosenDeviceName(const std::vector<std::wstring>& names, int confirmed, int selection);

} // namespace Orvanel::ShellPlan
