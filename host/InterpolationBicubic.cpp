#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define HALVORY_BICUBIC_SSE2 1
#endif

// Separable resampling in fixed point: every pixel goes through the same integer arithmetic,
// so the Windows DLL and the native build give identical bytes whatever the thread count.
// Weights carry 14 fractional bits and sum to exactly 1 << 14 for every output sample, which
// keeps a constant picture exactly constant. The horizontal pass (done first, because it
// shrinks the wide rows at once) keeps 6 fractional bits in int16; 255 plus the kernel's
// overshoot still fits. All four bytes of a pixel are resampled alike, so whatever the caller
// keeps in the fourth byte is scaled with the colours (zero stays zero).

namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kMidBits = 6;
constexpr int kHorzShift = kWeightBits - kMidBits;
constexpr int kVertShift = kWeightBits + kMidBits;

// Keys' cubic convolution kernel with a = -0.5.
double Keys(double x) {
    const double a = -0.5;
    x = std::fabs(x);
    if (x < 1.0)
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    if (x < 2.0)
        return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
    return 0.0;
}

// The taps of one axis. Every output sample reads the same number of consecutive source
// samples (zero weights fill the shorter windows), and every window lies inside the source,
// so the inner loops need neither bounds checks nor edge cases.
struct Axis {
    int taps = 0;
    std::vector<int> first;            // first source index, per output sample
    std::vector<std::int16_t> weights; // taps weights per output sample
};

// tapMultiple pads the windows (while the source is wide enough) so that the vector loop
// has whole groups to work on.
Axis BuildAxis(int srcCount, int dstCount, int tapMultiple) {
    const double step = static_cast<double>(srcCount) / dstCount;
    // Shrinking widens the kernel to cover every source pixel; that is what stops aliasing.
    const double stretch = step > 1.0 ? step : 1.0;
    const double support = 2.0 * stretch;

    std::vector<int> firsts(dstCount), counts(dstCount);
    std::vector<std::int16_t> packed;
    std::vector<double> sums;
    std::vector<int> quantised;
    int taps = 1;
    for (int d = 0; d < dstCount; ++d) {
        const double center = (d + 0.5) * step - 0.5;
        const int lo = static_cast<int>(std::floor(center - support));
        const int hi = static_cast<int>(std::ceil(center + support));
        const int clampedLo = std::clamp(lo, 0, srcCount - 1);
        const int clampedHi = std::clamp(hi, 0, srcCount - 1);
        // Taps past an edge repeat the edge pixel, so their weight is folded onto it.
        sums.assign(clampedHi - clampedLo + 1, 0.0);
        double total = 0.0;
        for (int i = lo; i <= hi; ++i) {
            const double w = Keys((i - center) / stretch);
            sums[std::clamp(i, 0, srcCount - 1) - clampedLo] += w;
            total += w;
        }
        const int n = static_cast<int>(sums.size());
        quantised.assign(n, 0);
        int sum = 0, largest = 0;
        for (int j = 0; j < n; ++j) {
            quantised[j] = static_cast<int>(std::floor(sums[j] / total * kWeightOne + 0.5));
            sum += quantised[j];
            if (sums[j] > sums[largest])
                largest = j;
        }
        // Rounding error goes to the heaviest tap, so the weights sum to exactly one.
        quantised[largest] += kWeightOne - sum;
        int b = 0, e = n - 1;
        while (quantised[b] == 0)
            ++b;
        while (quantised[e] == 0)
            --e;
        firsts[d] = clampedLo + b;
        counts[d] = e - b + 1;
        taps = std::max(taps, counts[d]);
        packed.insert(packed.end(), quantised.begin() + b, quantised.begin() + e + 1);
    }
    // A window never holds more than srcCount taps: it is a range of source indices.
    taps = std::min(srcCount, (taps + tapMultiple - 1) / tapMultiple * tapMultiple);

    Axis axis;
    axis.taps = taps;
    axis.first.resize(dstCount);
    axis.weights.assign(static_cast<std::size_t>(dstCount) * taps, 0);
    std::size_t read = 0;
    for (int d = 0; d < dstCount; ++d) {
        const int start = std::min(firsts[d], srcCount - taps);
        std::copy_n(packed.begin() + read, counts[d],
                    axis.weights.begin() + static_cast<std::size_t>(d) * taps +
                        (firsts[d] - start));
        read += counts[d];
        axis.first[d] = start;
    }
    return axis;
}

// Eight int16 lanes, the layout pmaddwd wants its weights in.
struct alignas(16) Lanes {
    std::int16_t lane[8];
};

struct Plan {
    const std::uint8_t* src = nullptr;
    std::size_t srcStride = 0; // bytes
    std::uint8_t* dst = nullptr;
    std::size_t dstStride = 0; // bytes
    int dstWidth = 0;
    std::size_t midStride = 0; // int16 per intermediate row, a multiple of 8
    Axis horz, vert;
    // Horizontal weights four taps to a vector, each in the low half of a 32-bit lane:
    // w0 0 w1 0 w2 0 w3 0. Per output pixel (horz.taps + 3) / 4 vectors.
    std::vector<Lanes> horzLanes;
};

#if defined(HALVORY_BICUBIC_SSE2)

constexpr int kHorzTapMultiple = 4;

__m128i Load(const Lanes& lanes) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.lane));
}

// Up to four consecutive pixels; lanes past count are zero.
__m128i LoadPixels(const std::uint8_t* p, int count) {
    if (count >= 4)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    std::int32_t third = 0;
    if (count == 3)
        std::memcpy(&third, p + 8, 4);
    if (count >= 2)
        return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                  _mm_cvtsi32_si128(third));
    std::int32_t first;
    std::memcpy(&first, p, 4);
    return _mm_cvtsi32_si128(first);
}

// Four pixels times four weights, without shuffling the pixels: masking and shifting the
// 16-bit lanes splits channels 0/2 from 1/3, and the weight placed in the low or the high
// half of each 32-bit lane picks channel 0 or 2 (1 or 3) for pmaddwd. acc[c] collects channel
// c of the four pixels in its four lanes.
struct Accumulator {
    __m128i acc[4];

    Accumulator() {
        for (__m128i& a : acc)
            a = _mm_setzero_si128();
    }

    void Add(__m128i pixels, __m128i low, __m128i high) {
        const __m128i even = _mm_and_si128(pixels, _mm_set1_epi16(0xff));
        const __m128i odd = _mm_srli_epi16(pixels, 8);
        acc[0] = _mm_add_epi32(acc[0], _mm_madd_epi16(even, low));
        acc[1] = _mm_add_epi32(acc[1], _mm_madd_epi16(odd, low));
        acc[2] = _mm_add_epi32(acc[2], _mm_madd_epi16(even, high));
        acc[3] = _mm_add_epi32(acc[3], _mm_madd_epi16(odd, high));
    }

    // Sums the lanes of each channel and stores the pixel's four int16 results.
    void Store(std::int16_t* out) const {
        const __m128i s01 =
            _mm_add_epi32(_mm_unpacklo_epi32(acc[0], acc[1]), _mm_unpackhi_epi32(acc[0], acc[1]));
        const __m128i s23 =
            _mm_add_epi32(_mm_unpacklo_epi32(acc[2], acc[3]), _mm_unpackhi_epi32(acc[2], acc[3]));
        __m128i sum = _mm_add_epi32(_mm_unpacklo_epi64(s01, s23), _mm_unpackhi_epi64(s01, s23));
        sum = _mm_add_epi32(sum, _mm_set1_epi32(1 << (kHorzShift - 1)));
        sum = _mm_srai_epi32(sum, kHorzShift);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(sum, sum));
    }
};

// One or two source rows to intermediate rows; two at a time share the weight loads.
template <bool kTwoRows>
void HorizontalRows(const Plan& plan, const std::uint8_t* rowA, std::int16_t* outA,
                    const std::uint8_t* rowB, std::int16_t* outB) {
    const int taps = plan.horz.taps;
    const int groups = (taps + 3) / 4;
    for (int x = 0; x < plan.dstWidth; ++x) {
        std::size_t offset = 4 * static_cast<std::size_t>(plan.horz.first[x]);
        const Lanes* w = plan.horzLanes.data() + static_cast<std::size_t>(x) * groups;
        Accumulator a, b;
        for (int t = 0; t < taps; t += 4, offset += 16, ++w) {
            const __m128i low = Load(*w);
            const __m128i high = _mm_slli_epi32(low, 16);
            const int count = taps - t;
            a.Add(LoadPixels(rowA + offset, count), low, high);
            if (kTwoRows)
                b.Add(LoadPixels(rowB + offset, count), low, high);
        }
        a.Store(outA + 4 * static_cast<std::size_t>(x));
        if (kTwoRows)
            b.Store(outB + 4 * static_cast<std::size_t>(x));
    }
}

// Intermediate rows (one per vertical tap) to one destination row, two pixels per step.
// Rows are interleaved two by two so that pmaddwd applies two taps at once.
void VerticalRow(const Plan& plan, int y, const std::int16_t* const* rows, Lanes* w,
                 std::uint8_t* out) {
    const int taps = plan.vert.taps;
    const std::int16_t* weights = plan.vert.weights.data() + static_cast<std::size_t>(y) * taps;
    for (int t = 0; t < taps; t += 2) {
        const std::int16_t second = t + 1 < taps ? weights[t + 1] : 0;
        for (int lane = 0; lane < 8; lane += 2) {
            w[t / 2].lane[lane] = weights[t];
            w[t / 2].lane[lane + 1] = second;
        }
    }

    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32(1 << (kVertShift - 1));
    const std::size_t lanes = 4 * static_cast<std::size_t>(plan.dstWidth);
    for (std::size_t i = 0; i < lanes; i += 8) {
        __m128i acc0 = zero, acc1 = zero;
        for (int t = 0; t < taps; t += 2) {
            const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(rows[t] + i));
            const __m128i b =
                t + 1 < taps ? _mm_load_si128(reinterpret_cast<const __m128i*>(rows[t + 1] + i))
                             : zero;
            const __m128i pair = Load(w[t / 2]);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), pair));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), pair));
        }
        acc0 = _mm_srai_epi32(_mm_add_epi32(acc0, round), kVertShift);
        acc1 = _mm_srai_epi32(_mm_add_epi32(acc1, round), kVertShift);
        const __m128i words = _mm_packs_epi32(acc0, acc1);
        const __m128i bytes = _mm_packus_epi16(words, words);
        if (i + 8 <= lanes) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), bytes);
        } else {
            const std::int32_t pixel = _mm_cvtsi128_si32(bytes);
            std::memcpy(out + i, &pixel, 4);
        }
    }
}

#else // Plain C++ with exactly the same integer arithmetic, for targets without SSE2.

constexpr int kHorzTapMultiple = 1;

std::int16_t SaturateInt16(std::int32_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

void HorizontalRow(const Plan& plan, const std::uint8_t* row, std::int16_t* out) {
    const int taps = plan.horz.taps;
    for (int x = 0; x < plan.dstWidth; ++x) {
        const std::uint8_t* p = row + 4 * static_cast<std::size_t>(plan.horz.first[x]);
        const std::int16_t* w = plan.horz.weights.data() + static_cast<std::size_t>(x) * taps;
        for (int c = 0; c < 4; ++c) {
            std::int32_t acc = 0;
            for (int t = 0; t < taps; ++t)
                acc += p[4 * t + c] * w[t];
            out[4 * x + c] = SaturateInt16((acc + (1 << (kHorzShift - 1))) >> kHorzShift);
        }
    }
}

template <bool kTwoRows>
void HorizontalRows(const Plan& plan, const std::uint8_t* rowA, std::int16_t* outA,
                    const std::uint8_t* rowB, std::int16_t* outB) {
    HorizontalRow(plan, rowA, outA);
    if (kTwoRows)
        HorizontalRow(plan, rowB, outB);
}

void VerticalRow(const Plan& plan, int y, const std::int16_t* const* rows, Lanes*,
                 std::uint8_t* out) {
    const int taps = plan.vert.taps;
    const std::int16_t* w = plan.vert.weights.data() + static_cast<std::size_t>(y) * taps;
    const std::size_t lanes = 4 * static_cast<std::size_t>(plan.dstWidth);
    for (std::size_t i = 0; i < lanes; ++i) {
        std::int32_t acc = 0;
        for (int t = 0; t < taps; ++t)
            acc += rows[t][i] * w[t];
        const std::int16_t v = SaturateInt16((acc + (1 << (kVertShift - 1))) >> kVertShift);
        out[i] = static_cast<std::uint8_t>(std::clamp<int>(v, 0, 255));
    }
}

#endif

// Destination rows [yBegin, yEnd). Intermediate rows live in a ring as tall as the vertical
// kernel: output rows advance monotonically through the source, so each source row is
// filtered once and stays in cache while the rows that need it are written.
void ResampleRows(const Plan& plan, int yBegin, int yEnd) {
    const int taps = plan.vert.taps;
    // Vertical loads want 16-byte alignment; the extra 8 int16 leave room to get it.
    std::vector<std::int16_t> ring(static_cast<std::size_t>(taps) * plan.midStride + 8, 0);
    std::int16_t* base = ring.data();
    while (reinterpret_cast<std::uintptr_t>(base) % 16 != 0)
        ++base;
    std::vector<int> held(taps, -1);
    std::vector<const std::int16_t*> rows(taps);
    std::vector<Lanes> weights((taps + 1) / 2);
    auto slotOf = [&](int source) {
        return base + static_cast<std::size_t>(source % taps) * plan.midStride;
    };
    auto sourceRow = [&](int source) {
        return plan.src + static_cast<std::size_t>(source) * plan.srcStride;
    };
    for (int y = yBegin; y < yEnd; ++y) {
        const int first = plan.vert.first[y];
        for (int t = 0; t < taps; ++t) {
            const int source = first + t;
            if (held[source % taps] != source) {
                const int next = source + 1;
                if (t + 1 < taps && held[next % taps] != next) {
                    HorizontalRows<true>(plan, sourceRow(source), slotOf(source), sourceRow(next),
                                         slotOf(next));
                    held[next % taps] = next;
                } else {
                    HorizontalRows<false>(plan, sourceRow(source), slotOf(source), nullptr,
                                          nullptr);
                }
                held[source % taps] = source;
            }
            rows[t] = slotOf(source);
        }
        VerticalRow(plan, y, rows.data(), weights.data(),
                    plan.dst + static_cast<std::size_t>(y) * plan.dstStride);
    }
}

} // namespace

CInterpolationBicubic::CInterpolationBicubic() = default;
CInterpolationBicubic::~CInterpolationBicubic() = default;

void CInterpolationBicubic::Execute(COrvanelBitmap* source, COrvanelBitmap*& destination) {
    if (source == nullptr || destination == nullptr || source == destination)
        return;
    const COrvanelBitmap& src = *source;
    COrvanelBitmap& dst = *destination;
    if (src.GetPtBitmap() == nullptr || dst.GetPtBitmap() == nullptr)
        return;
    const int srcWidth = static_cast<int>(src.GetBitmapWidth());
    const int srcHeight = static_cast<int>(src.GetBitmapHeight());
    const int dstWidth = static_cast<int>(dst.GetBitmapWidth());
    const int dstHeight = static_cast<int>(dst.GetBitmapHeight());
    if (srcWidth == dstWidth && srcHeight == dstHeight) {
        std::memcpy(dst.GetPtBitmap(), src.GetPtBitmap(),
                    static_cast<std::size_t>(src.GetWidthSize()) * srcHeight);
        return;
    }

    Plan plan;
    plan.src = src.GetPtBitmap();
    plan.srcStride = static_cast<std::size_t>(src.GetWidthSize());
    plan.dst = dst.GetPtBitmap();
    plan.dstStride = static_cast<std::size_t>(dst.GetWidthSize());
    plan.dstWidth = dstWidth;
    plan.midStride = (4 * static_cast<std::size_t>(dstWidth) + 7) / 8 * 8;
    plan.horz = BuildAxis(srcWidth, dstWidth, kHorzTapMultiple);
    plan.vert = BuildAxis(srcHeight, dstHeight, 1);
    const int taps = plan.horz.taps;
    const int groups = (taps + 3) / 4;
    plan.horzLanes.assign(static_cast<std::size_t>(dstWidth) * groups, Lanes{});
    for (int x = 0; x < dstWidth; ++x)
        for (int t = 0; t < taps; ++t)
            plan.horzLanes[static_cast<std::size_t>(x) * groups + t / 4].lane[2 * (t % 4)] =
                plan.horz.weights[static_cast<std::size_t>(x) * taps + t];

    // Threads only pay off once there is real work; each handles a band of output rows.
    const double work = (static_cast<double>(srcHeight) * plan.horz.taps +
                         static_cast<double>(dstHeight) * plan.vert.taps) *
                        dstWidth;
    const unsigned int cores = std::max(1u, std::thread::hardware_concurrency());
    const int threadCount = static_cast<int>(
        std::min<double>({static_cast<double>(std::min(cores, 16u)), std::max(1.0, work / 4.0e6),
                          static_cast<double>(dstHeight)}));
    std::vector<std::thread> threads;
    auto band = [&](int i) {
        return static_cast<int>(static_cast<long long>(dstHeight) * i / threadCount);
    };
    for (int i = 1; i < threadCount; ++i) {
        try {
            threads.emplace_back(ResampleRows, std::cref(plan), band(i), band(i + 1));
        } catch (...) { // no thread to be had: do that band here
            ResampleRows(plan, band(i), band(i + 1));
        }
    }
    ResampleRows(plan, band(0), band(1));
    for (std::thread& thread : threads)
        thread.join();
}
