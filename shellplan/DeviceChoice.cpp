#include "shellplan/DeviceChoice.h"

namespace Orvanel::ShellPlan {

std::wstring ChosenDeviceName(const std::vector<std::wstring>& names, int confirmed,
                              int selection) {
    if (confirmed != 1 || selection < 0 || static_cast<std::size_t>(selection) >= names.size()) {
        return std::wstring();
    }
    return names[static_cast<std::size_t>(selection)];
}

} // namespace Orvanel::ShellPlan
