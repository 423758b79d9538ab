#include "filter/MotionBlurPass.h"

#include "filter/MotionBlurPlan.h"
#include "parallel/RowBands.h"

#include <algorithm>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUILLET_MOTION_BLUR_SSE2 1
#else
#define QUILLET_MOTION_BLUR_SSE2 0
#endif

namespace Orvanel::Filter {
namespace {

using Step = CMotionBlurPlan::Step;

inline unsigned char Clamp(int value) {
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

inline int ExactStep(unsigned char byte, double tap, int acc) {
    return static_cast<int>(byte * tap + acc);
}

// acc[j] += (source[j] * m) >> 16 for `bytes` consecutive bytes. The fourth byte of each pixel
// goes along for the ride; its accumulator is never read.
void AddMultiplied(const unsigned char* source, std::uint16_t* acc, int bytes, std::uint16_t m) {
    int j = 0;
#if QUILLET_MOTION_BLUR_SSE2
    const __m128i factor = _mm_set1_epi16(static_cast<short>(m));
    const __m128i zero = _mm_setzero_si128();
    for (; j + 16 <= bytes; j += 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + j));
        __m128i* sum = reinterpret_cast<__m128i*>(acc + j);
        const __m128i low = _mm_mulhi_epu16(_mm_unpacklo_epi8(in, zero), factor);
        const __m128i high = _mm_mulhi_epu16(_mm_unpackhi_epi8(in, zero), factor);
        _mm_storeu_si128(sum, _mm_add_epi16(_mm_loadu_si128(sum), low));
        _mm_storeu_si128(sum + 1, _mm_add_epi16(_mm_loadu_si128(sum + 1), high));
    }
#endif
    for (; j < bytes; ++j)
        acc[j] = static_cast<std::uint16_t>(acc[j] + ((source[j] * std::uint32_t{m}) >> 16));
}

// Length of the prefix of offsets for which start + offset stays in [0, limit). Relies on that
// set being a prefix, which monotone offsets starting at 0 guarantee.
int InsidePrefix(const std::vector<int>& offsets, int start, int limit) {
    int lo = 0, hi = static_cast<int>(offsets.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int at = start + offsets[mid];
        if (at >= 0 && at < limit)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

} // namespace

CMotionBlurPass::CMotionBlurPass(const CMotionBlurPlan& plan, const unsigned char* source,
                                 std::ptrdiff_t stride, int width, int height,
                                 unsigned char* output)
    : plan_(plan), source_(source), stride_(stride), width_(width), height_(height),
      output_(output) {
    const std::size_t taps = plan.KeptTaps();
    byteOffset_.resize(taps);
    for (std::size_t i = 0; i < taps; ++i)
        byteOffset_[i] =
            plan.rowOffset[i] * stride + 4 * static_cast<std::ptrdiff_t>(plan.columnOffset[i]);
    columnReach_.resize(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        columnReach_[x] = InsidePrefix(plan.columnOffset, x, width);
    rowReach_.resize(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rowReach_[y] = InsidePrefix(plan.rowOffset, y, height);
}

void CMotionBlurPass::Run(unsigned bands) const {
    using Orvanel::Parallel::CRowBands;
    if (bands == 0) {
        const double work =
            static_cast<double>(width_) * height_ * (static_cast<double>(plan_.KeptTaps()) + 4);
        bands = CRowBands::CountFor(work, 1 << 18, height_, 8);
    }
    const CRowBands split(height_, bands);
    if (!plan_.summed) {
        split.Run([this](unsigned, int first, int end) { RowsInKernelOrder(first, end); });
        return;
    }
    // One row of accumulators per band.
    const std::size_t rowLength = 4 * static_cast<std::size_t>(width_);
    std::vector<std::uint16_t> scratch(rowLength * split.Count());
    split.Run([this, &scratch, rowLength](unsigned band, int first, int end) {
        RowsSummed(first, end, scratch.data() + rowLength * band);
    });
}

// Each pixel runs its taps in kernel order, as the blur is defined: Exact steps depend on the
// accumulator they meet.
void CMotionBlurPass::RowsInKernelOrder(int firstRow, int endRow) const {
    // Held in locals: every output byte written could alias the vectors' pointers otherwise.
    const Step* steps = plan_.step.data();
    const double* weights = plan_.weight.data();
    const unsigned char* tables = plan_.table.data();
    const std::ptrdiff_t* byteOffset = byteOffset_.data();
    const int* columnReach = columnReach_.data();
    const std::size_t outRowBytes = 4 * static_cast<std::size_t>(width_);
    for (int y = firstRow; y < endRow; ++y) {
        const unsigned char* row = source_ + y * stride_;
        unsigned char* out = output_ + static_cast<std::size_t>(y) * outRowBytes;
        const int rowReach = rowReach_[y];
        for (int x = 0; x < width_; ++x, out += 4) {
            const unsigned char* pixel = row + 4 * static_cast<std::ptrdiff_t>(x);
            const int count = std::min(rowReach, columnReach[x]);
            int acc0 = 0, acc1 = 0, acc2 = 0;
            const unsigned char* table = tables;
            for (int i = 0; i < count; ++i, table += 256) {
                const unsigned char* p = pixel + byteOffset[i];
                if (steps[i] == Step::Exact) {
                    const double tap = weights[i];
                    acc0 = ExactStep(p[0], tap, acc0);
                    acc1 = ExactStep(p[1], tap, acc1);
                    acc2 = ExactStep(p[2], tap, acc2);
                } else {
                    acc0 += table[p[0]];
                    acc1 += table[p[1]];
                    acc2 += table[p[2]];
                }
            }
            out[0] = Clamp(acc0);
            out[1] = Clamp(acc1);
            out[2] = Clamp(acc2);
            out[3] = 0;
        }
    }
}

// The taps run one after the other over whole rows (the plan allows any order), each into a row
// of 16-bit accumulators, mostly eight multiplies per SSE2 instruction.
void CMotionBlurPass::RowsSummed(int firstRow, int endRow, std::uint16_t* acc) const {
    const std::size_t outRowBytes = 4 * static_cast<std::size_t>(width_);
    for (int y = firstRow; y < endRow; ++y) {
        std::fill(acc, acc + outRowBytes, std::uint16_t{0});
        const int taps = rowReach_[y];
        for (int i = 0; i < taps; ++i) {
            // Pixels x whose tap i lands inside the row: 0 <= x + du < width.
            const int du = plan_.columnOffset[i];
            const int first = std::max(0, -du);
            const int end = std::min(width_, width_ - du);
            const unsigned char* source = source_ + (y + plan_.rowOffset[i]) * stride_ +
                                          4 * static_cast<std::ptrdiff_t>(first + du);
            std::uint16_t* sum = acc + 4 * static_cast<std::size_t>(first);
            if (plan_.step[i] == Step::Multiplied) {
                AddMultiplied(source, sum, 4 * (end - first), plan_.multiplier[i]);
            } else {
                const unsigned char* table = &plan_.table[256 * static_cast<std::size_t>(i)];
                for (int x = first; x < end; ++x, source += 4, sum += 4) {
                    sum[0] = static_cast<std::uint16_t>(sum[0] + table[source[0]]);
                    sum[1] = static_cast<std::uint16_t>(sum[1] + table[source[1]]);
                    sum[2] = static_cast<std::uint16_t>(sum[2] + table[source[2]]);
                }
            }
        }
        unsigned char* out = output_ + static_cast<std::size_t>(y) * outRowBytes;
        for (std::size_t j = 0; j < outRowBytes; j += 4) {
            out[j] = Clamp(acc[j]);
            out[j + 1] = Clamp(acc[j + 1]);
            out[j + 2] = Clamp(acc[j + 2]);
            out[j + 3] = 0;
        }
    }
}

} // namespace Orvanel::Filter
