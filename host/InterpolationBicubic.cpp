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
    std::vector<std::int32_t> pairs;   // the same weights two by two (low half first)
};

Axis BuildAxis(int srcCount, int dstCount) {
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

    Axis axis;
    axis.taps = taps; // never more than srcCount: every window is a range of source indices
    axis.first.resize(dstCount);
    axis.weights.assign(static_cast<std::size_t>(dstCount) * taps, 0);
    const int pairCount = (taps + 1) / 2;
    axis.pairs.assign(static_cast<std::size_t>(dstCount) * pairCount, 0);
    std::size_t read = 0;
    for (int d = 0; d < dstCount; ++d) {
        const int start = std::min(firsts[d], srcCount - taps);
        std::int16_t* w = axis.weights.data() + static_cast<std::size_t>(d) * taps;
        std::copy_n(packed.begin() + read, counts[d], w + (firsts[d] - start));
        read += counts[d];
        axis.first[d] = start;
        for (int p = 0; p < pairCount; ++p) {
            const std::uint16_t low = static_cast<std::uint16_t>(w[2 * p]);
            const std::uint16_t high =
                2 * p + 1 < taps ? static_cast<std::uint16_t>(w[2 * p + 1]) : 0;
            axis.pairs[static_cast<std::size_t>(d) * pairCount + p] =
                static_cast<std::int32_t>(low | (static_cast<std::uint32_t>(high) << 16));
        }
    }
    return axis;
}

// Eight int16 lanes: a weight pair repeated for the four channels of two pixels.
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
    std::vector<Lanes> horzPairs; // the horizontal pairs, ready for pmaddwd
};

#if defined(HALVORY_BICUBIC_SSE2)

__m128i Weights(const Lanes& lanes) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.lane));
}

// One source row to one intermediate row. Pixels are interleaved two by two so that pmaddwd
// multiplies and adds two taps for all four channels at once.
void HorizontalRow(const Plan& plan, const std::uint8_t* row, std::int16_t* out) {
    const int taps = plan.horz.taps;
    const int pairCount = (taps + 1) / 2;
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32(1 << (kHorzShift - 1));
    for (int x = 0; x < plan.dstWidth; ++x) {
        const std::uint8_t* p = row + 4 * static_cast<std::size_t>(plan.horz.first[x]);
        const Lanes* w = plan.horzPairs.data() + static_cast<std::size_t>(x) * pairCount;
        __m128i acc0 = zero, acc1 = zero;
        int t = 0;
        for (; t + 4 <= taps; t += 4, p += 16, w += 2) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            v = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 1, 2, 0)); // p0 p2 p1 p3
            v = _mm_unpacklo_epi8(v, _mm_srli_si128(v, 8));    // p0/p1 then p2/p3, bytewise
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), Weights(w[0])));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), Weights(w[1])));
        }
        if (t + 2 <= taps) {
            __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            v = _mm_unpacklo_epi8(v, _mm_srli_si128(v, 4));
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), Weights(w[0])));
            t += 2;
            p += 8;
            ++w;
        }
        if (t < taps) { // the last pair's second weight is zero
            std::int32_t last;
            std::memcpy(&last, p, 4);
            __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(last), zero);
            v = _mm_unpacklo_epi16(v, zero);
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(v, Weights(w[0])));
        }
        __m128i sum = _mm_add_epi32(_mm_add_epi32(acc0, acc1), round);
        sum = _mm_srai_epi32(sum, kHorzShift);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * static_cast<std::size_t>(x)),
                         _mm_packs_epi32(sum, sum));
    }
}

// Intermediate rows (one per vertical tap) to one destination row, two pixels per step.
void VerticalRow(const Plan& plan, int y, const std::int16_t* const* rows, Lanes* w,
                 std::uint8_t* out) {
    const int taps = plan.vert.taps;
    const int pairCount = (taps + 1) / 2;
    const std::int32_t* pairs = plan.vert.pairs.data() + static_cast<std::size_t>(y) * pairCount;
    for (int p = 0; p < pairCount; ++p)
        _mm_store_si128(reinterpret_cast<__m128i*>(w[p].lane), _mm_set1_epi32(pairs[p]));

    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32(1 << (kVertShift - 1));
    const std::size_t lanes = 4 * static_cast<std::size_t>(plan.dstWidth);
    for (std::size_t i = 0; i < lanes; i += 8) {
        __m128i acc0 = zero, acc1 = zero;
        int t = 0;
        for (; t + 2 <= taps; t += 2) {
            const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(rows[t] + i));
            const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(rows[t + 1] + i));
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), Weights(w[t / 2])));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), Weights(w[t / 2])));
        }
        if (t < taps) {
            const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(rows[t] + i));
            acc0 =
                _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(a, zero), Weights(w[t / 2])));
            acc1 =
                _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(a, zero), Weights(w[t / 2])));
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
    std::vector<std::int16_t> ring(static_cast<std::size_t>(taps) * plan.midStride + 8, 0);
    // Vertical loads want 16-byte alignment; the extra 8 int16 leave room to get it.
    std::int16_t* base = ring.data();
    while (reinterpret_cast<std::uintptr_t>(base) % 16 != 0)
        ++base;
    std::vector<int> held(taps, -1);
    std::vector<const std::int16_t*> rows(taps);
    std::vector<Lanes> weights((taps + 1) / 2);
    for (int y = yBegin; y < yEnd; ++y) {
        const int first = plan.vert.first[y];
        for (int t = 0; t < taps; ++t) {
            const int source = first + t;
            const int slot = source % taps;
            std::int16_t* mid = base + static_cast<std::size_t>(slot) * plan.midStride;
            if (held[slot] != source) {
                HorizontalRow(plan, plan.src + static_cast<std::size_t>(source) * plan.srcStride,
                              mid);
                held[slot] = source;
            }
            rows[t] = mid;
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
    plan.horz = BuildAxis(srcWidth, dstWidth);
    plan.vert = BuildAxis(srcHeight, dstHeight);
#if defined(HALVORY_BICUBIC_SSE2)
    plan.horzPairs.resize(plan.horz.pairs.size());
    for (std::size_t i = 0; i < plan.horzPairs.size(); ++i) {
        const std::int32_t pair = plan.horz.pairs[i];
        for (int lane = 0; lane < 8; lane += 2) {
            plan.horzPairs[i].lane[lane] = static_cast<std::int16_t>(pair & 0xffff);
            plan.horzPairs[i].lane[lane + 1] = static_cast<std::int16_t>(pair >> 16);
        }
    }
#endif

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
