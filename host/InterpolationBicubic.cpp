#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"
#include "parallel/RowBands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define HALVORY_BICUBIC_SSE2 1
#endif

// Separable resampling in fixed point: every pixel goes through the same integer arithmetic,
// so the Windows DLL and the native build give identical bytes whatever the thread count (the
// plain C++ fallback too). Weights carry 14 fractional bits and sum to exactly 1 << 14 for
// every output sample, which keeps a constant picture exactly constant.
//
// Each destination row is made in two steps. First the vertical taps combine whole source
// rows into one intermediate row, source width, int16 with 6 fractional bits (255 plus the
// kernel's overshoot still fits). Then the horizontal taps turn that row into the destination
// row. Going vertical first, all pixels of a row share one weight, so whole vectors of pixels
// are filtered without rearranging channels; the intermediate row is written with adjacent
// pixels interleaved channel by channel, which is exactly what pmaddwd wants for the
// horizontal taps. The row stays in cache between the two steps and nothing else is kept.
//
// All four bytes of a pixel are resampled alike, so whatever the caller keeps in the fourth
// byte is scaled with the colours (zero stays zero).

namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kMidBits = 6;
constexpr int kVertShift = kWeightBits - kMidBits;
constexpr int kHorzShift = kWeightBits + kMidBits;

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
// samples (zero weights fill the shorter windows) and every window lies inside the source,
// so the inner loops need neither bounds checks nor edge cases.
struct Axis {
    int taps = 0;
    std::vector<int> first;            // first source index, per output sample
    std::vector<std::int16_t> weights; // taps weights per output sample
};

// With align 2 every window starts on an even index and has an even length, the source
// being read as if padded with zeros to an even count; the horizontal step reads the
// intermediate row two pixels at a time.
Axis BuildAxis(int srcCount, int dstCount, int align) {
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
        taps = std::max(taps, firsts[d] % align + counts[d]);
        packed.insert(packed.end(), quantised.begin() + b, quantised.begin() + e + 1);
    }
    const int padded = (srcCount + align - 1) / align * align;
    taps = std::min(padded, (taps + align - 1) / align * align);

    Axis axis;
    axis.taps = taps;
    axis.first.resize(dstCount);
    axis.weights.assign(static_cast<std::size_t>(dstCount) * taps, 0);
    std::size_t read = 0;
    for (int d = 0; d < dstCount; ++d) {
        const int start = std::min(firsts[d] - firsts[d] % align, padded - taps);
        std::copy_n(packed.begin() + read, counts[d],
                    axis.weights.begin() + static_cast<std::size_t>(d) * taps +
                        (firsts[d] - start));
        read += counts[d];
        axis.first[d] = start;
    }
    return axis;
}

// Eight int16 lanes: a pair of weights repeated, as pmaddwd takes them.
struct alignas(16) Lanes {
    std::int16_t lane[8];
};

void FillPairs(const std::int16_t* weights, int taps, Lanes* pairs) {
    for (int t = 0; t < taps; t += 2) {
        const std::int16_t second = t + 1 < taps ? weights[t + 1] : 0;
        for (int lane = 0; lane < 8; lane += 2) {
            pairs[t / 2].lane[lane] = weights[t];
            pairs[t / 2].lane[lane + 1] = second;
        }
    }
}

struct Plan {
    const std::uint8_t* src = nullptr;
    std::size_t srcStride = 0; // bytes
    int srcWidth = 0;
    std::uint8_t* dst = nullptr;
    std::size_t dstStride = 0; // bytes
    int dstWidth = 0;
    Axis horz, vert;
    std::vector<Lanes> horzPairs; // horz.taps / 2 per destination pixel
    // int16 per intermediate row: the source width rounded up to four pixels.
    std::size_t midLength = 0;
};

#if defined(HALVORY_BICUBIC_SSE2)

__m128i Load(const Lanes& lanes) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.lane));
}

// Four pixels from p, or at the end of a row only the remaining ones (the rest zero).
template <bool kPartial> __m128i LoadPixels(const std::uint8_t* p, int remaining) {
    if (!kPartial)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    std::int32_t pixels[4] = {};
    std::memcpy(pixels, p, 4 * static_cast<std::size_t>(remaining));
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
}

// Four pixels of the intermediate row from the source rows (one per vertical tap). Two rows
// are interleaved bytewise so that pmaddwd applies two taps to every channel at once.
template <bool kPartial>
void VerticalChunk(const std::uint8_t* const* rows, const Lanes* pairs, int taps,
                   std::size_t offset, int remaining, std::int16_t* mid) {
    const __m128i zero = _mm_setzero_si128();
    __m128i p0 = zero, p1 = zero, p2 = zero, p3 = zero;
    auto add = [&](__m128i a, __m128i b, __m128i w) {
        const __m128i lo = _mm_unpacklo_epi8(a, b);
        const __m128i hi = _mm_unpackhi_epi8(a, b);
        p0 = _mm_add_epi32(p0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
        p1 = _mm_add_epi32(p1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
        p2 = _mm_add_epi32(p2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
        p3 = _mm_add_epi32(p3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
    };
    int t = 0;
    for (; t + 2 <= taps; t += 2)
        add(LoadPixels<kPartial>(rows[t] + offset, remaining),
            LoadPixels<kPartial>(rows[t + 1] + offset, remaining), Load(pairs[t / 2]));
    if (t < taps) // the last pair's second weight is zero
        add(LoadPixels<kPartial>(rows[t] + offset, remaining), zero, Load(pairs[t / 2]));

    const __m128i half = _mm_set1_epi32(1 << (kVertShift - 1));
    p0 = _mm_srai_epi32(_mm_add_epi32(p0, half), kVertShift);
    p1 = _mm_srai_epi32(_mm_add_epi32(p1, half), kVertShift);
    p2 = _mm_srai_epi32(_mm_add_epi32(p2, half), kVertShift);
    p3 = _mm_srai_epi32(_mm_add_epi32(p3, half), kVertShift);
    // Pixel pairs, channel by channel: a0 b0 a1 b1 a2 b2 a3 b3.
    _mm_store_si128(reinterpret_cast<__m128i*>(mid),
                    _mm_packs_epi32(_mm_unpacklo_epi32(p0, p1), _mm_unpackhi_epi32(p0, p1)));
    _mm_store_si128(reinterpret_cast<__m128i*>(mid + 8),
                    _mm_packs_epi32(_mm_unpacklo_epi32(p2, p3), _mm_unpackhi_epi32(p2, p3)));
}

// The source rows (one per vertical tap) to the intermediate row. A strong shrink reads some
// forty rows side by side, more streams than the hardware prefetcher follows, so the rows the
// next destination row adds to its window (ahead) are fetched while this one is computed.
void VerticalStep(const Plan& plan, const std::uint8_t* const* rows, const Lanes* pairs,
                  std::int16_t* mid, const std::uint8_t* const* ahead, int aheadCount) {
    const int taps = plan.vert.taps;
    int x = 0;
    for (; x + 4 <= plan.srcWidth; x += 4, mid += 16) {
        const std::size_t offset = 4 * static_cast<std::size_t>(x);
        if (x % 16 == 0) // once per cache line
            for (int r = 0; r < aheadCount; ++r)
                _mm_prefetch(reinterpret_cast<const char*>(ahead[r] + offset), _MM_HINT_T0);
        VerticalChunk<false>(rows, pairs, taps, offset, 4, mid);
    }
    if (x < plan.srcWidth)
        VerticalChunk<true>(rows, pairs, taps, 4 * static_cast<std::size_t>(x), plan.srcWidth - x,
                            mid);
}

// The intermediate row to one destination row: each vector holds a pixel pair, so one
// pmaddwd applies two taps to all four channels.
void HorizontalStep(const Plan& plan, const std::int16_t* mid, std::uint8_t* out) {
    const int pairCount = plan.horz.taps / 2;
    const __m128i half = _mm_set1_epi32(1 << (kHorzShift - 1));
    for (int x = 0; x < plan.dstWidth; ++x) {
        const __m128i* v = reinterpret_cast<const __m128i*>(
            mid + 4 * static_cast<std::size_t>(plan.horz.first[x]));
        const Lanes* w = plan.horzPairs.data() + static_cast<std::size_t>(x) * pairCount;
        __m128i acc0 = _mm_setzero_si128(), acc1 = acc0;
        int p = 0;
        for (; p + 2 <= pairCount; p += 2) {
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_load_si128(v + p), Load(w[p])));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_load_si128(v + p + 1), Load(w[p + 1])));
        }
        if (p < pairCount)
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_load_si128(v + p), Load(w[p])));
        __m128i sum = _mm_add_epi32(_mm_add_epi32(acc0, acc1), half);
        sum = _mm_srai_epi32(sum, kHorzShift);
        sum = _mm_packs_epi32(sum, sum);
        const std::int32_t pixel = _mm_cvtsi128_si32(_mm_packus_epi16(sum, sum));
        std::memcpy(out + 4 * static_cast<std::size_t>(x), &pixel, 4);
    }
}

#else // Plain C++ with exactly the same integer arithmetic, for targets without SSE2.

std::int16_t SaturateInt16(std::int32_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

// Here the intermediate row is simply pixel after pixel.
void VerticalStep(const Plan& plan, const std::uint8_t* const* rows, const Lanes* pairs,
                  std::int16_t* mid, const std::uint8_t* const*, int) {
    const int taps = plan.vert.taps;
    for (std::size_t i = 0; i < 4 * static_cast<std::size_t>(plan.srcWidth); ++i) {
        std::int32_t acc = 0;
        for (int t = 0; t < taps; ++t)
            acc += rows[t][i] * pairs[t / 2].lane[t % 2];
        mid[i] = SaturateInt16((acc + (1 << (kVertShift - 1))) >> kVertShift);
    }
}

void HorizontalStep(const Plan& plan, const std::int16_t* mid, std::uint8_t* out) {
    const int taps = plan.horz.taps;
    for (int x = 0; x < plan.dstWidth; ++x) {
        const std::int16_t* p = mid + 4 * static_cast<std::size_t>(plan.horz.first[x]);
        const std::int16_t* w = plan.horz.weights.data() + static_cast<std::size_t>(x) * taps;
        for (int c = 0; c < 4; ++c) {
            std::int32_t acc = 0;
            for (int t = 0; t < taps; ++t)
                acc += p[4 * t + c] * w[t];
            const std::int16_t v = SaturateInt16((acc + (1 << (kHorzShift - 1))) >> kHorzShift);
            out[4 * x + c] = static_cast<std::uint8_t>(std::clamp<int>(v, 0, 255));
        }
    }
}

#endif

// Destination rows [yBegin, yEnd), each independent of the others.
void ResampleRows(const Plan& plan, int yBegin, int yEnd) {
    const int taps = plan.vert.taps;
    // 16-byte aligned storage for the intermediate row (zero beyond the source width).
    std::vector<Lanes> mid(plan.midLength / 8);
    std::vector<const std::uint8_t*> rows(taps), ahead(taps);
    std::vector<Lanes> pairs((taps + 1) / 2);
    for (int y = yBegin; y < yEnd; ++y) {
        const std::int16_t* weights = plan.vert.weights.data() + static_cast<std::size_t>(y) * taps;
        FillPairs(weights, taps, pairs.data());
        for (int t = 0; t < taps; ++t)
            rows[t] = plan.src + static_cast<std::size_t>(plan.vert.first[y] + t) * plan.srcStride;
        int aheadCount = 0;
        if (y + 1 < yEnd) {
            const int next = plan.vert.first[y + 1];
            for (int r = std::max(next, plan.vert.first[y] + taps); r < next + taps; ++r)
                ahead[aheadCount++] = plan.src + static_cast<std::size_t>(r) * plan.srcStride;
        }
        VerticalStep(plan, rows.data(), pairs.data(), mid.data()->lane, ahead.data(), aheadCount);
        HorizontalStep(plan, mid.data()->lane,
                       plan.dst + static_cast<std::size_t>(y) * plan.dstStride);
    }
}

// bands 0: as many as the work deserves.
void Resample(COrvanelBitmap* source, COrvanelBitmap* destination, unsigned bands) {
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
    plan.srcWidth = srcWidth;
    plan.dst = dst.GetPtBitmap();
    plan.dstStride = static_cast<std::size_t>(dst.GetWidthSize());
    plan.dstWidth = dstWidth;
    plan.vert = BuildAxis(srcHeight, dstHeight, 1);
    plan.horz = BuildAxis(srcWidth, dstWidth, 2);
    const int pairCount = plan.horz.taps / 2;
    plan.horzPairs.resize(static_cast<std::size_t>(dstWidth) * pairCount);
    for (int x = 0; x < dstWidth; ++x)
        FillPairs(plan.horz.weights.data() + static_cast<std::size_t>(x) * plan.horz.taps,
                  plan.horz.taps, plan.horzPairs.data() + static_cast<std::size_t>(x) * pairCount);
    plan.midLength = (static_cast<std::size_t>(srcWidth) + 3) / 4 * 16;

    // Threads only pay off once there is real work; each handles a band of output rows.
    const double work = (static_cast<double>(srcWidth) * plan.vert.taps +
                         static_cast<double>(dstWidth) * plan.horz.taps) *
                        dstHeight;
    if (bands == 0)
        bands = Orvanel::Parallel::CRowBands::CountFor(work, 4.0e6, dstHeight, 16);
    Orvanel::Parallel::CRowBands(dstHeight, bands).Run([&plan](unsigned, int first, int end) {
        ResampleRows(plan, first, end);
    });
}

} // namespace

CInterpolationBicubic::CInterpolationBicubic() = default;
CInterpolationBicubic::~CInterpolationBicubic() = default;

void CInterpolationBicubic::Execute(COrvanelBitmap* source, COrvanelBitmap*& destination) {
    Resample(source, destination, 0);
}

void CInterpolationBicubic::ExecuteInBands(COrvanelBitmap* source, COrvanelBitmap*& destination,
                                           unsigned bands) {
    Resample(source, destination, std::max(bands, 1u));
}
