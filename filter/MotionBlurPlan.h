#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Orvanel::Filter {

// What each tap of a motion blur kernel adds to a pixel, worked out once per pass. The blur's
// arithmetic is a double multiply-add and a truncation per pixel, channel and tap; the plan
// finds, tap by tap, where a byte-indexed table or a 16-bit multiply gives the very same bytes,
// and which taps can be left out or must keep the arithmetic as written. MotionBlurPlan.cpp
// holds the reasoning beside the code that relies on it.
class CMotionBlurPlan {
public:
    // How a kept tap changes an accumulator acc when it reads byte b.
    enum class Step : unsigned char {
        Exact,      // acc = (int)(b * tap + acc), in double, as the blur is defined
        Table,      // acc += table[b]
        Multiplied, // acc += (b * multiplier) >> 16, equal to table[b] for every b
    };

    // Plans `taps` taps, each in [0, 2], along `angle` degrees for a width x height picture.
    // Returns false, leaving the plan empty, when an argument is out of range: no kernel, taps
    // outside 1..CMotionBlurFilter::kMaxTaps, a tap outside [0, 2] or not a number, a side below
    // 1, an infinite angle, or a direction of length zero (possible with fewer than 3 taps only).
    // Throws std::bad_alloc when memory runs out.
    bool Make(const double* kernel, int taps, double angle, int width, int height);

    // The kept taps, in kernel order: every tap that can change an accumulator and can land
    // inside the picture. Tap i reads the pixel columnOffset[i] columns and rowOffset[i] rows on.
    std::vector<int> columnOffset;
    std::vector<int> rowOffset;
    std::vector<double> weight;            // the tap itself, for Exact steps
    std::vector<Step> step;                // Multiplied only in a summed plan
    std::vector<std::uint16_t> multiplier; // for Multiplied steps
    std::vector<unsigned char> table;      // 256 entries per kept tap, for all but Exact steps

    // The most that the table entries of all kept taps can add up to; meaningful when no step
    // is Exact.
    std::int64_t largestSum = 0;
    // The taps may be added in any order into 16-bit accumulators: no step is Exact and
    // largestSum fits 16 bits. Otherwise they run per pixel in kernel order.
    bool summed = false;

    std::size_t KeptTaps() const { return step.size(); }
};

} // namespace Orvanel::Filter
