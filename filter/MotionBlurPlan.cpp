#include "filter/MotionBlurPlan.h"

#include "filter/MotionBlurFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Orvanel::Filter {
namespace {

// Why a table can stand in for the arithmetic.
//
// Per pixel, channel and tap the blur computes acc = (int)(b * tap + acc) in double, acc
// starting at 0, and at the end clamps acc to 0..255. Taps lie in [0, 2], so no product is
// negative and acc never decreases; with at most kMaxTaps taps it stays below 2^20 x 510, far
// inside int.
//
// Let p be b * tap as rounded, n = floor(p) and f = p - n, with p < 256 and f <= kNearOne. For a
// whole number acc >= 0:
//  - if acc + p < 256, the exact sum lies in [acc + n, acc + n + 1 - 2^-45]. Both ends are
//    doubles (below 256 doubles are 2^-45 apart or closer), so the rounded sum lies between
//    them as well and truncates to acc + n;
//  - otherwise acc + n >= 256, and the rounded sum is at least 256 too.
// So, run with a table or as written, a channel's accumulators agree step by step up to the
// first step where acc + p reaches 256; there both land at 256 or above, and as acc never
// decreases, the clamped byte is 255 either way. A tap whose 256 products all meet both
// conditions may add table[b] = n instead of running the arithmetic. One product too close
// under a whole number and the sum can round up (from the accumulator 128 on, 2^-46 under is
// enough), so such a tap, or one with a product of 256 or more that a table byte cannot hold,
// runs as written, in its place in the kernel order.
constexpr double kNearOne = 1.0 - 1.0 / 35184372088832.0; // 1 - 2^-45

// Without an Exact step a pixel's channel is the clamped sum of its taps' table entries, in any
// order: the pass may then add whole rows tap by tap into 16-bit accumulators, which cannot
// wrap while the largest possible sum stays within 16 bits.
constexpr std::int64_t kLargestSixteenBitSum = 65535;

// The m for which (b * m) >> 16 reproduces a tap's table for every byte value, if any. Byte 0
// gives 0 for every m, as its table entry is.
bool FindMultiplier(const unsigned char* table, std::uint16_t& multiplier) {
    // (b * m) >> 16 == e  <=>  e * 65536 <= b * m < (e + 1) * 65536: each byte allows one
    // interval of m, and any m in all of them will do.
    std::int64_t low = 0, high = 65535;
    for (std::int64_t b = 1; b < 256; ++b) {
        const std::int64_t e = table[b];
        low = std::max(low, (e * 65536 + b - 1) / b);
        high = std::min(high, ((e + 1) * 65536 - 1) / b);
    }
    if (low > high)
        return false;
    multiplier = static_cast<std::uint16_t>(low);
    return true;
}

} // namespace

bool CMotionBlurPlan::Make(const double* kernel, int taps, double angle, int width, int height) {
    *this = CMotionBlurPlan();
    if (kernel == nullptr || taps < 1 || taps > CMotionBlurFilter::kMaxTaps || width < 1 ||
        height < 1)
        return false;
    for (int k = 0; k < taps; ++k) {
        if (!(kernel[k] >= 0.0 && kernel[k] <= 2.0))
            return false;
    }

    // Direction. These products are 32-bit in the host's arithmetic; 64 bits give the same values
    // for every kernel up to 46340 taps, the widest for which the 32-bit forms do not overflow.
    const double theta = CMotionBlurFilter::Radians(angle);
    if (!std::isfinite(theta))
        return false;
    const std::int64_t p = static_cast<int>(std::sin(theta) * taps);
    const std::int64_t q = static_cast<int>(std::cos(theta) * taps);
    const double norm = std::sqrt(static_cast<double>(q * q + p * p));
    if (norm == 0.0)
        return false;

    bool anyExact = false;
    for (int k = 0; k < taps; ++k) {
        const int du = static_cast<int>(static_cast<double>(p * k) / norm);
        const int dv = static_cast<int>(static_cast<double>(q * k) / norm);
        // Offsets grow from 0 with the tap index, so once one leaves the picture every later one
        // does: those taps can never count.
        if (std::abs(du) >= width || std::abs(dv) >= height)
            break;
        const double tap = kernel[k];
        // Every product is at most 255 * tap: at most kNearOne, the tap adds 0 to every byte.
        if (!(tap * 255.0 > kNearOne))
            continue;
        Step how = Step::Table;
        unsigned char entries[256];
        for (int b = 0; b < 256; ++b) {
            const double product = b * tap;
            const double whole = std::floor(product);
            if (product >= 256.0 || product - whole > kNearOne) {
                how = Step::Exact;
                break;
            }
            entries[b] = static_cast<unsigned char>(whole);
        }
        columnOffset.push_back(du);
        rowOffset.push_back(dv);
        weight.push_back(tap);
        step.push_back(how);
        multiplier.push_back(0);
        if (how == Step::Exact) {
            anyExact = true;
            table.resize(table.size() + 256);
        } else {
            table.insert(table.end(), entries, entries + 256);
            largestSum += entries[255]; // products grow with the byte
        }
    }

    summed = !anyExact && largestSum <= kLargestSixteenBitSum;
    for (std::size_t i = 0; summed && i < KeptTaps(); ++i) {
        if (FindMultiplier(&table[256 * i], multiplier[i]))
            step[i] = Step::Multiplied;
    }
    return true;
}

} // namespace Orvanel::Filter
