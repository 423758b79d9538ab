#include "filter/MotionBlurFilter.h"

#include "host/OrvanelBitmap.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUILLET_MOTION_BLUR_SSE2 1
#else
#define QUILLET_MOTION_BLUR_SSE2 0
#endif

namespace Orvanel::Filter {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kPerDegree = 0.005555555555555556; // 1/180
constexpr double kSqrtTwoPi = 2.5066282746310002;

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T> using MallocArray = std::unique_ptr<T[], FreeDeleter>;

template <class T> MallocArray<T> Allocate(std::size_t count) {
    if (count == 0 || count > SIZE_MAX / sizeof(T))
        return nullptr;
    return MallocArray<T>(static_cast<T*>(std::malloc(count * sizeof(T))));
}

// The Gaussian samples of a kernel. Tap j of every kernel of this sigma, before normalisation,
// is RawTap(j) whatever the kernel's width, which is what lets the width search run in one
// pass instead of rebuilding a kernel per candidate width.
class GaussianSamples {
public:
    explicit GaussianSamples(double sigma)
        : exponentScale_(-1.0 / ((sigma * 18.0) * sigma)), height_(1.0 / (sigma * kSqrtTwoPi)) {}

    // Three samples per tap, added in order to a tap that starts at zero. i stays below
    // 3 x (kMaxTaps + 3), so its square is exact in a double.
    double RawTap(std::int64_t j) const {
        double tap = 0.0;
        for (std::int64_t i = 3 * j; i < 3 * j + 3; ++i) {
            const double square = static_cast<double>(i) * static_cast<double>(i);
            tap += std::exp(square * exponentScale_) * height_;
        }
        return tap;
    }

private:
    double exponentScale_;
    double height_;
};

// How the pass stays exact while skipping most of the floating-point work.
//
// Per pixel, channel and tap the blur is acc = (int)(byte * tap + acc), formed in double. Let
// p = byte * tap as rounded. If acc is a non-negative integer, acc + floor(p) + 1 <= 2^20 and
// p - floor(p) <= 1 - 2^-32, then the exact sum acc + p lies between acc + floor(p) and
// acc + floor(p) + 1 - 2^-32, both representable (doubles below 2^20 are spaced 2^-33 or
// finer), so the rounded sum lies between them too and the truncation gives exactly
// acc + floor(p). The tap's effect then no longer depends on acc: it is floor(p), a function of
// the byte alone, kept in a 256-entry table. Taps for which some byte value breaks the
// fraction condition (or p reaches 256) are marked exact and run the double arithmetic as
// written, in their place in the tap order. A tap whose 255 * tap is at most 1 - 2^-32 adds 0
// for every byte and is dropped. The accumulator bound holds because every step adds at most
// its tap's largest contribution; when their sum could pass 2^20 - 256 (only for kernels far
// from summing to 1) every tap runs as written.
constexpr int kAccumulatorLimit = 1 << 20;
constexpr double kNearOne = 1.0 - 1.0 / 4294967296.0; // 1 - 2^-32

// Once no tap runs as written, a pixel's channel is just the sum of its taps' table entries, an
// integer sum in any order. The pass then runs tap by tap over whole rows, adding into 16-bit
// accumulators (the bound above stays far below 65536 for these kernels), and most taps do
// without the table: when an integer m makes (byte * m) >> 16 equal the tap's table entry for
// all 256 byte values, checked entry by entry when the pass is set up, the tap is eight
// unsigned 16-bit multiplies per SSE2 instruction. Any other tap reads its table.
constexpr std::int64_t kSummedAccumulatorLimit = 65535;

struct Pass {
    const unsigned char* source;
    std::ptrdiff_t stride;
    int width;
    int height;
    unsigned char* output;
    // The taps that can change an accumulator, in kernel order.
    int active;
    const int* du;                      // column offset of each active tap
    const int* dv;                      // row offset
    const std::ptrdiff_t* offset;       // bytes from the pixel to the tap's source pixel
    const unsigned char* table;         // 256 entries per active tap: its contribution per byte
    const double* weight;               // the tap itself, for exact taps
    const unsigned char* exact;         // 1: run the double arithmetic for this tap
    const std::uint16_t* multiplier;    // summed pass: the tap's m, valid where hasMultiplier
    const unsigned char* hasMultiplier; // summed pass: 0 means read the table
    // Taps run in kernel order per pixel (some tap runs as written, or the sum could pass
    // 16 bits) rather than summed tap by tap.
    bool ordered;
    // Offsets move monotonically with the tap index, so the taps that stay inside the image
    // for a pixel are a prefix of the active list: its length per column and per row.
    const int* columnPrefix;
    const int* rowPrefix;
    std::uint16_t* scratch; // summed pass: 4 x width accumulators per band
};

inline unsigned char Clamp(int value) {
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

inline int ExactStep(unsigned char byte, double tap, int acc) {
    return static_cast<int>(byte * tap + acc);
}

void BlurRowsOrdered(const Pass& pass, int firstRow, int endRow) {
    const std::size_t outRowBytes = 4 * static_cast<std::size_t>(pass.width);
    for (int y = firstRow; y < endRow; ++y) {
        const unsigned char* row = pass.source + y * pass.stride;
        unsigned char* out = pass.output + static_cast<std::size_t>(y) * outRowBytes;
        const int rowPrefix = pass.rowPrefix[y];
        for (int x = 0; x < pass.width; ++x, out += 4) {
            const unsigned char* pixel = row + 4 * static_cast<std::ptrdiff_t>(x);
            const int count = std::min(rowPrefix, pass.columnPrefix[x]);
            int acc0 = 0, acc1 = 0, acc2 = 0;
            const unsigned char* table = pass.table;
            for (int i = 0; i < count; ++i, table += 256) {
                const unsigned char* p = pixel + pass.offset[i];
                if (pass.exact[i]) {
                    const double tap = pass.weight[i];
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

void BlurRowsSummed(const Pass& pass, int firstRow, int endRow, std::uint16_t* acc) {
    const int width = pass.width;
    const std::size_t outRowBytes = 4 * static_cast<std::size_t>(width);
    for (int y = firstRow; y < endRow; ++y) {
        std::fill(acc, acc + 4 * static_cast<std::size_t>(width), std::uint16_t{0});
        const int taps = pass.rowPrefix[y];
        for (int i = 0; i < taps; ++i) {
            // Pixels x whose tap i lands inside the row: 0 <= x + du < width.
            const int du = pass.du[i];
            const int first = std::max(0, -du);
            const int end = std::min(width, width - du);
            const unsigned char* source = pass.source + (y + pass.dv[i]) * pass.stride +
                                          4 * static_cast<std::ptrdiff_t>(first + du);
            std::uint16_t* sum = acc + 4 * static_cast<std::size_t>(first);
            if (pass.hasMultiplier[i]) {
                AddMultiplied(source, sum, 4 * (end - first), pass.multiplier[i]);
            } else {
                const unsigned char* table = pass.table + 256 * static_cast<std::size_t>(i);
                for (int x = first; x < end; ++x, source += 4, sum += 4) {
                    sum[0] = static_cast<std::uint16_t>(sum[0] + table[source[0]]);
                    sum[1] = static_cast<std::uint16_t>(sum[1] + table[source[1]]);
                    sum[2] = static_cast<std::uint16_t>(sum[2] + table[source[2]]);
                }
            }
        }
        unsigned char* out = pass.output + static_cast<std::size_t>(y) * outRowBytes;
        for (std::size_t j = 0; j < outRowBytes; j += 4) {
            out[j] = Clamp(acc[j]);
            out[j + 1] = Clamp(acc[j + 1]);
            out[j + 2] = Clamp(acc[j + 2]);
            out[j + 3] = 0;
        }
    }
}

void BlurBand(const Pass& pass, int firstRow, int endRow, unsigned band) {
    if (pass.ordered)
        BlurRowsOrdered(pass, firstRow, endRow);
    else
        BlurRowsSummed(pass, firstRow, endRow,
                       pass.scratch + 4 * static_cast<std::size_t>(pass.width) * band);
}

// Rows are independent, so they are shared out in bands; every pixel is computed by the same
// code whichever thread runs it. Small jobs stay on the caller's thread, where starting a
// thread would cost more than it saves.
unsigned BandCount(int width, int height, int active) {
    const std::int64_t work =
        static_cast<std::int64_t>(width) * height * (static_cast<std::int64_t>(active) + 4);
    if (work < (1 << 18))
        return 1;
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
    return std::min(cores, static_cast<unsigned>(height));
}

// A band whose thread cannot start runs on the caller's thread.
void RunPass(const Pass& pass, unsigned bands) {
    auto bandStart = [&](unsigned band) {
        return static_cast<int>(static_cast<std::int64_t>(pass.height) * band / bands);
    };
    std::vector<std::thread> workers;
    std::vector<unsigned> leftOver;
    try {
        workers.reserve(bands);
        leftOver.reserve(bands);
    } catch (...) {
        bands = 1;
    }
    for (unsigned band = 1; band < bands; ++band) {
        try {
            workers.emplace_back(BlurBand, std::cref(pass), bandStart(band), bandStart(band + 1),
                                 band);
        } catch (...) {
            leftOver.push_back(band);
        }
    }
    BlurBand(pass, 0, bandStart(1), 0);
    for (unsigned band : leftOver)
        BlurBand(pass, bandStart(band), bandStart(band + 1), band);
    for (std::thread& worker : workers)
        worker.join();
}

// The m for which (byte * m) >> 16 reproduces a tap's table for every byte value, if any.
bool FindMultiplier(const unsigned char* table, std::uint16_t& multiplier) {
    // (b * m) >> 16 == e  <=>  e * 65536 <= b * m < (e + 1) * 65536; intersect over b.
    std::int64_t low = 0, high = 65535;
    for (std::int64_t b = 1; b < 256; ++b) {
        const std::int64_t e = table[b];
        low = std::max(low, (e * 65536 + b - 1) / b);
        high = std::min(high, ((e + 1) * 65536 - 1) / b);
    }
    if (low > high || table[0] != 0)
        return false;
    for (std::uint32_t b = 0; b < 256; ++b) {
        if (((b * static_cast<std::uint32_t>(low)) >> 16) != table[b])
            return false;
    }
    multiplier = static_cast<std::uint16_t>(low);
    return true;
}

// Length of the prefix of offsets[0..count) for which start + offset stays in [0, limit).
// Relies on that set being a prefix, which monotone offsets starting at 0 guarantee.
int InsidePrefix(const int* offsets, int count, int start, int limit) {
    int lo = 0, hi = count;
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

bool CMotionBlurFilter::PackedBufferBytes(unsigned int width, unsigned int height,
                                          std::size_t& bytes) {
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
    if (rowBytes / 4 != width || (height != 0 && rowBytes > SIZE_MAX / height))
        return false;
    bytes = rowBytes * height;
    return true;
}

int CMotionBlurFilter::MakeKernel(int width, double sigma, double*& kernel) {
    kernel = nullptr;
    const int taps = width > 0 ? width : 3;
    if (taps > kMaxTaps)
        return 0;
    MallocArray<double> made = Allocate<double>(static_cast<std::size_t>(taps));
    if (!made)
        return 0;
    const GaussianSamples samples(sigma);
    for (int j = 0; j < taps; ++j)
        made[j] = samples.RawTap(j);
    double sum = 0.0;
    for (int j = 0; j < taps; ++j)
        sum += made[j];
    const double scale = 1.0 / sum;
    for (int j = 0; j < taps; ++j)
        made[j] *= scale;
    kernel = made.release();
    return taps;
}

// The width search, as the host's image code runs it, widens the kernel two taps at a time,
// rebuilding it each time, until its last tap times 255 is no longer above zero, then takes
// the width before. Tap j before normalisation is the same in every kernel and the running
// sum of taps is formed in the same order, so one pass over j meets exactly the doubles that
// search compares: same width, at linear cost.
int CMotionBlurFilter::AdaptiveKernelWidth(double sigma) {
    const GaussianSamples samples(sigma);
    double sum = 0.0;
    sum += samples.RawTap(0);
    sum += samples.RawTap(1);
    for (int width = 3; width <= kMaxTaps + 2; width += 2) {
        const double last = samples.RawTap(width - 1);
        sum += last;
        if (!(last * (1.0 / sum) * 255.0 > 0.0))
            return width == 3 ? 3 : width - 2;
        sum += samples.RawTap(width);
    }
    return 0;
}

bool CMotionBlurFilter::ApplyKernel(const unsigned char* source, std::ptrdiff_t stride, int width,
                                    int height, const double* kernel, int taps, const double& angle,
                                    unsigned char* output) {
    // An offset is at most a tap index, so pixel coordinates plus offsets stay in int range.
    const int maxSide = INT_MAX - kMaxTaps;
    if (source == nullptr || output == nullptr || kernel == nullptr || taps < 1 ||
        taps > kMaxTaps || width < 1 || height < 1 || width > maxSide || height > maxSide ||
        stride < 4 * static_cast<std::ptrdiff_t>(width) || stride > PTRDIFF_MAX / height)
        return false;
    std::size_t outBytes = 0;
    if (!PackedBufferBytes(static_cast<unsigned>(width), static_cast<unsigned>(height), outBytes))
        return false;
    for (int k = 0; k < taps; ++k) {
        if (!(kernel[k] >= 0.0 && kernel[k] <= 2.0))
            return false;
    }

    // Direction. These products are 32-bit in the host's arithmetic; 64 bits give the same values
    // for every kernel up to 46340 taps, the widest for which the 32-bit forms do not overflow.
    const double theta = angle * kPi * kPerDegree;
    if (!std::isfinite(theta))
        return false;
    const std::int64_t p = static_cast<int>(std::sin(theta) * taps);
    const std::int64_t q = static_cast<int>(std::cos(theta) * taps);
    const double norm = std::sqrt(static_cast<double>(q * q + p * p));
    if (norm == 0.0)
        return false;

    // The offset table, truncated as the pixel loop uses it. Offsets grow monotonically from 0,
    // so once one leaves the image every later one does: those taps can never count.
    MallocArray<int> du = Allocate<int>(static_cast<std::size_t>(taps));
    MallocArray<int> dv = Allocate<int>(static_cast<std::size_t>(taps));
    if (!du || !dv)
        return false;
    int reach = 0;
    for (; reach < taps; ++reach) {
        du[reach] = static_cast<int>(static_cast<double>(p * reach) / norm);
        dv[reach] = static_cast<int>(static_cast<double>(q * reach) / norm);
        if (std::abs(du[reach]) >= width || std::abs(dv[reach]) >= height)
            break;
    }

    // Active taps (see kNearOne above): tables, exact marks and the accumulator bound.
    int active = 0;
    for (int k = 0; k < reach; ++k)
        active += kernel[k] * 255.0 > kNearOne ? 1 : 0;
    const int slots = std::max(active, 1);
    MallocArray<int> index = Allocate<int>(static_cast<std::size_t>(reach));
    MallocArray<unsigned char> table =
        Allocate<unsigned char>(256 * static_cast<std::size_t>(slots));
    MallocArray<unsigned char> exact = Allocate<unsigned char>(static_cast<std::size_t>(reach));
    if (!index || !table || !exact)
        return false;
    std::int64_t accumulatorBound = 0;
    bool anyExact = false;
    active = 0;
    for (int k = 0; k < reach; ++k) {
        const double tap = kernel[k];
        if (!(tap * 255.0 > kNearOne))
            continue;
        unsigned char* entries = table.get() + 256 * static_cast<std::size_t>(active);
        bool mustRunExact = false;
        for (int byte = 0; byte < 256; ++byte) {
            const double product = byte * tap;
            const double whole = std::floor(product);
            if (product >= 256.0 || product - whole > kNearOne) {
                mustRunExact = true;
                break;
            }
            entries[byte] = static_cast<unsigned char>(whole);
        }
        accumulatorBound +=
            mustRunExact ? static_cast<std::int64_t>(tap * 255.0) + 1 : entries[255];
        exact[active] = mustRunExact ? 1 : 0;
        anyExact = anyExact || mustRunExact;
        index[active++] = k;
    }
    if (accumulatorBound + 256 > kAccumulatorLimit) {
        // Far from a normalised kernel: every tap as written, none dropped.
        active = reach;
        for (int k = 0; k < reach; ++k) {
            index[k] = k;
            exact[k] = 1;
        }
        anyExact = true;
    }

    const bool ordered = anyExact || accumulatorBound > kSummedAccumulatorLimit;

    const std::size_t used = static_cast<std::size_t>(std::max(active, 1));
    MallocArray<std::ptrdiff_t> offset = Allocate<std::ptrdiff_t>(used);
    MallocArray<double> weight = Allocate<double>(used);
    MallocArray<int> activeDu = Allocate<int>(used);
    MallocArray<int> activeDv = Allocate<int>(used);
    MallocArray<std::uint16_t> multiplier = Allocate<std::uint16_t>(used);
    MallocArray<unsigned char> hasMultiplier = Allocate<unsigned char>(used);
    MallocArray<int> columnPrefix = Allocate<int>(static_cast<std::size_t>(width));
    MallocArray<int> rowPrefix = Allocate<int>(static_cast<std::size_t>(height));
    const unsigned bands = BandCount(width, height, active);
    MallocArray<std::uint16_t> scratch;
    if (!ordered)
        scratch = Allocate<std::uint16_t>(4 * static_cast<std::size_t>(width) * bands);
    if (!offset || !weight || !activeDu || !activeDv || !multiplier || !hasMultiplier ||
        !columnPrefix || !rowPrefix || (!ordered && !scratch))
        return false;
    for (int i = 0; i < active; ++i) {
        const int k = index[i];
        activeDu[i] = du[k];
        activeDv[i] = dv[k];
        offset[i] = dv[k] * stride + 4 * static_cast<std::ptrdiff_t>(du[k]);
        weight[i] = kernel[k];
        hasMultiplier[i] =
            !ordered &&
            FindMultiplier(table.get() + 256 * static_cast<std::size_t>(i), multiplier[i]);
    }
    for (int x = 0; x < width; ++x)
        columnPrefix[x] = InsidePrefix(activeDu.get(), active, x, width);
    for (int y = 0; y < height; ++y)
        rowPrefix[y] = InsidePrefix(activeDv.get(), active, y, height);

    Pass pass{};
    pass.source = source;
    pass.stride = stride;
    pass.width = width;
    pass.height = height;
    pass.output = output;
    pass.active = active;
    pass.du = activeDu.get();
    pass.dv = activeDv.get();
    pass.offset = offset.get();
    pass.table = table.get();
    pass.weight = weight.get();
    pass.exact = exact.get();
    pass.multiplier = multiplier.get();
    pass.hasMultiplier = hasMultiplier.get();
    pass.ordered = ordered;
    pass.columnPrefix = columnPrefix.get();
    pass.rowPrefix = rowPrefix.get();
    pass.scratch = scratch.get();
    RunPass(pass, bands);
    return true;
}

bool CMotionBlurFilter::MotionBlur(COrvanelBitmap* bitmap, const double& radius,
                                   const double& sigma, const double& angle) {
    const double r = radius;
    const double s = sigma;
    const double a = angle;
    // An infinite sigma makes every tap 0/0; NaN and 0 do nothing, as in the host's arithmetic.
    if (!std::isfinite(s) || s == 0.0)
        return false;
    int requested = 0;
    if (r > 0.0) {
        const double fromRadius = 2.0 * std::ceil(r) + 1.0;
        if (!(fromRadius <= kMaxTaps))
            return false;
        requested = static_cast<int>(fromRadius);
    } else {
        requested = AdaptiveKernelWidth(s);
        if (requested == 0)
            return false;
    }
    double* made = nullptr;
    const int taps = MakeKernel(requested, s, made);
    const MallocArray<double> kernel(made);
    if (taps < 3)
        return false;
    // A sigma so small that 1/(18 sigma^2) or 1/sigma overflows gives NaN taps.
    for (int k = 0; k < taps; ++k) {
        if (!std::isfinite(kernel[k]))
            return false;
    }
    if (bitmap == nullptr)
        return false;
    const unsigned char* source = bitmap->GetPtBitmap();
    if (source == nullptr)
        return true;
    const unsigned int width = bitmap->GetBitmapWidth();
    const unsigned int height = bitmap->GetBitmapHeight();
    const long stride = bitmap->GetWidthSize();
    if (width == 0 || height == 0)
        return true;
    std::size_t bytes = 0;
    if (!PackedBufferBytes(width, height, bytes) || width > INT_MAX || height > INT_MAX)
        return false;
    const std::unique_ptr<unsigned char[]> output(new (std::nothrow) unsigned char[bytes]());
    if (!output)
        return false;
    if (!ApplyKernel(source, stride, static_cast<int>(width), static_cast<int>(height),
                     kernel.get(), taps, a, output.get()))
        return false;
    bitmap->SetBitmap(output.get(), width, height, false, true);
    return true;
}

} // namespace Orvanel::Filter
