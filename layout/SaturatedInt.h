#pragma once
// Float-to-int conversions that cannot overflow: a margin typed as "1e39" or a paper reported
// as 0 mm makes infinite or absurd values, and converting those to int is undefined. Values in
// range truncate toward zero, as a plain conversion does.
#include <climits>
#include <cmath>

namespace Orvanel::Layout {

inline int SaturatedInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// A sum or difference of ints kept in int range instead of wrapping.
inline int SaturatedSum(long long value) {
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// A double stored into a float field: beyond float range it becomes an infinity of the same
// sign rather than an undefined conversion.
inline float NarrowedFloat(double value) {
    constexpr double kFloatMax = 3.4028234663852886e38;
    if (value > kFloatMax) {
        return INFINITY;
    }
    if (value < -kFloatMax) {
        return -INFINITY;
    }
    return static_cast<float>(value);
}

} // namespace Orvanel::Layout
