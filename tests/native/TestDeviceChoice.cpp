// The OpenCL chooser's answer: the confirmed item of the host's list, and never an index
// outside it (the combo box says -1 when no item is selected).
#include "shellplan/DeviceChoice.h"

#include <doctest/doctest.h>

using Orvanel::ShellPlan::ChosenDeviceName;

TEST_CASE("the confirmed item, or the empty string") {
    const std::vector<std::wstring> names{L"A", L"B", L"B"};
    CHECK(ChosenDeviceName(names, 1, 0) == L"A");
    CHECK(ChosenDeviceName(names, 1, 2) == L"B");
    CHECK(ChosenDeviceName(names, 0, 1).empty()); // cancelled
    for (int outside : {-1, 3, 1 << 30, -(1 << 30)}) {
        CAPTURE(outside);
        CHECK(ChosenDeviceName(names, 1, outside).empty());
    }
    CHECK(ChosenDeviceName({}, 1, -1).empty()); // OK on an empty list
    CHECK(ChosenDeviceName({}, 1, 0).empty());
}
