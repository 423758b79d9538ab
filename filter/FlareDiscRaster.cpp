#include "filter/FlareDiscRaster.h"

#include <algorithm>
#include <cmath>

// A disc of radius R is defined by three scans over offsets (dx, dy), each offset blended at
// its four mirror images (cx +- dx, cy +- dy):
//   side caps:     columns |dx| = R down to R / 2, rows |dy| upwards from where the previous
//                  column's chord ended (filled below it when the disc is filled);
//   top/bottom:    rows |dy| = R down to K, columns |dx| outwards from where the previous
//                  row's chord ended (filled inside it when filled);
//   centre block:  (filled discs only) |dx| < R / 2, |dy| <= K + 1.
// A scan visits an offset nearer than R, rims one between R and R + 1 when the disc has an
// edge, and stops at the first offset beyond (without an edge, at the first one outside).
//
// Why this gives the bytes of running the scans in full, offset by offset:
// - Every blend of an offset lands on one of its four mirror images; an offset none of whose
//   images lies on the canvas changes nothing. The offsets that can land on the canvas form
//   one interval of |dx| and one of |dy| (OffsetRange), so the scans are clipped to them.
// - A scan's only state is where it starts (the previous column's or row's chord, a closed
//   formula of the column or row index) and where it stops. Distances grow with the scanned
//   index (the square root rounded to single precision is monotonic), so a scan that starts
//   inside the clip interval stops at the same offset it would have stopped at, and one whose
//   stop lies before the interval would stop at the interval's first offset too.
// - Unfilled, the chord grows as the scan moves inwards, so once it passes the clip interval no
//   further column or row of that scan shows anything; and a column or row whose offset at the
//   near end of the clip interval is already beyond the scan's stop shows nothing either
//   (LastReaching), so the scans begin at the first one that can.
// - Distinct offsets (|dx|, |dy|) have disjoint mirror images, so each pixel receives the
//   blends of one offset, from the zones in their order; within one offset the blends are in
//   the order of the full scan, except among the four mirror images, where the images that
//   coincide (on the axes) receive the very same blend.
//
// Why comparing dx^2 + dy^2 with two thresholds gives the same scans: the distance is
// sqrt(dx^2 + dy^2) in double rounded to single, a monotonic function of the integer
// dx^2 + dy^2 (exact in double for any radius the renderer meets), so "trunc(distance) < R" and
// "distance - R > 1" each switch once, from false to true, as it grows; each threshold is found
// once per disc by a search on that very function. Rimmed offsets still take their distance
// for the keep factor.

namespace Orvanel::Filter {

namespace {

float Distance(int dx, int dy) {
    const double squared = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
    return static_cast<float>(std::sqrt(squared));
}

// The chord of a scan: trunc(sqrt(R^2 - n^2)), the root rounded to single precision first.
int HalfChord(int radius, int n) {
    const double squared = static_cast<double>(radius) * radius - static_cast<double>(n) * n;
    return static_cast<int>(static_cast<float>(std::sqrt(squared)));
}

// The smallest dx^2 + dy^2 whose distance passes `test`, for a test that holds from some
// distance on. `guess` is where the exact roots would put it; rounding to single precision
// moves it only for radii in the thousands, by a few units, so the search gallops away from
// the guess and then bisects.
template <typename Test> long long FirstSquare(long long guess, Test test) {
    const auto passes = [&test](long long squared) {
        return test(static_cast<float>(std::sqrt(static_cast<double>(squared))));
    };
    long long below, at; // passes(at), !passes(below)
    long long step = 1;
    if (passes(guess)) {
        at = guess;
        while (passes(guess - step) && guess - step > 0)
            step *= 2;
        below = std::max(guess - step, 0LL);
        if (passes(below))
            return below;
    } else {
        below = guess;
        while (!passes(guess + step))
            step *= 2;
        at = guess + step;
    }
    while (at - below > 1) {
        const long long middle = below + (at - below) / 2;
        (passes(middle) ? at : below) = middle;
    }
    return at;
}

// isqrt(n) for n >= 0: the largest x with x * x <= n.
long long FloorRoot(long long n) {
    long long x = static_cast<long long>(std::sqrt(static_cast<double>(n)));
    while (x * x > n)
        --x;
    while ((x + 1) * (x + 1) <= n)
        ++x;
    return x;
}

} // namespace

bool CFlareDiscRaster::OffsetRange(long long centre, long long first, long long end, int limit,
                                   int* low, int* high) {
    long long lo, hi;
    if (centre < first) {
        lo = first - centre;
        hi = end - 1 - centre;
    } else if (centre >= end) {
        lo = centre - (end - 1);
        hi = centre - first;
    } else {
        lo = 0;
        hi = std::max(centre - first, end - 1 - centre);
    }
    if (first >= end || lo > limit)
        return false;
    *low = static_cast<int>(lo);
    *high = static_cast<int>(std::min<long long>(hi, limit));
    return true;
}

bool CFlareDiscRaster::MayShow(int centreX, int centreY, int radius) const {
    int lo, hi;
    return radius > 0 && !canvas_.Empty() &&
           OffsetRange(centreX, 0, canvas_.Width(), radius, &lo, &hi) &&
           OffsetRange(centreY, 0, canvas_.Height(), radius, &lo, &hi);
}

void CFlareDiscRaster::Draw(int centreX, int centreY, int radius, Color::ColorValue color,
                            float keep, bool edge, bool fill) {
    if (radius <= 0 || canvas_.Empty())
        return;
    // No scan reaches an offset beyond R.
    if (!OffsetRange(centreX, 0, canvas_.Width(), radius, &xLow_, &xHigh_) ||
        !OffsetRange(centreY, 0, canvas_.Height(), radius, &yLow_, &yHigh_))
        return;
    centreX_ = centreX;
    centreY_ = centreY;
    radius_ = radius;
    color_ = color;
    keep_ = keep;
    edge_ = edge;
    fill_ = fill;
    inside_ = CFlareBlend(color, keep > 1.0f ? 1.0f : keep);
    // An offset is inside when trunc(distance) < R, and rimmed up to distance - R = 1.
    const long long square = static_cast<long long>(radius) * radius;
    insideBelow_ = FirstSquare(square, [radius](float d) { return static_cast<int>(d) >= radius; });
    rimBelow_ = FirstSquare(square + 2LL * radius + 2,
                            [radius](float d) { return d - static_cast<float>(radius) > 1.0f; });
    // Rows of the top and bottom caps run down to K; only at R = 1 is K negative (-1).
    const int yEnd = 1 - radius / 2;
    lastCapRow_ = static_cast<int>(
                      std::sqrt(static_cast<double>(square) - static_cast<double>(yEnd) * yEnd)) -
                  1;
    SideCaps();
    TopAndBottomCaps();
    if (fill)
        CentreBlock();
}

void CFlareDiscRaster::Plot(int x, int dy, const CFlareBlend& blend) {
    const long long left = centreX_ - x, right = centreX_ + x;
    const long long rows[2] = {centreY_ + dy, centreY_ - dy};
    for (long long y : rows) {
        if (!canvas_.HasRow(y))
            continue;
        unsigned char* row = canvas_.Row(y);
        if (canvas_.HasColumn(left))
            blend.Apply(row + 4 * left);
        if (canvas_.HasColumn(right))
            blend.Apply(row + 4 * right);
    }
}

bool CFlareDiscRaster::Scan(int x, int dy) {
    const long long squared = static_cast<long long>(x) * x + static_cast<long long>(dy) * dy;
    if (squared < insideBelow_) {
        Plot(x, dy, inside_);
        return true;
    }
    // Without an edge every later offset of the scan lies outside too.
    if (!edge_ || squared >= rimBelow_)
        return false;
    const float e = Distance(x, dy) - static_cast<float>(radius_);
    float k = (1.0f - keep_) * e + keep_;
    if (k > 1.0f)
        k = 1.0f;
    Plot(x, dy, CFlareBlend(color_, k));
    return true;
}

int CFlareDiscRaster::LastReaching(int nearest) const {
    // An unfilled disc's scans all start at or beyond the clip interval's nearest offset, and
    // from there they stop before any offset at least this far away.
    const long long rest =
        (edge_ ? rimBelow_ : insideBelow_) - 1 - static_cast<long long>(nearest) * nearest;
    return rest < 0 ? -1 : static_cast<int>(std::min<long long>(FloorRoot(rest), radius_));
}

void CFlareDiscRaster::SideCaps() {
    const int r = radius_;
    const int last = std::max(r / 2, xLow_);
    // Unfilled, columns whose scan would start beyond the disc show nothing.
    const int first = fill_ ? std::min(r, xHigh_) : std::min(LastReaching(yLow_), xHigh_);
    for (int x = first; x >= last; --x) {
        const int start = x == r ? 0 : HalfChord(r, x + 1);
        if (fill_) {
            const int fillEnd = std::min(start - 1, yHigh_);
            for (int y = yLow_; y <= fillEnd; ++y)
                Plot(x, y, inside_);
        } else if (start > yHigh_) {
            break;
        }
        const int end = std::min(r - 1, yHigh_);
        for (int y = std::max(start, yLow_); y <= end; ++y)
            if (!Scan(x, y))
                break;
    }
}

void CFlareDiscRaster::TopAndBottomCaps() {
    const int r = radius_;
    const int k = lastCapRow_;
    // Row -1 (R = 1) mirrors row 1.
    const int last = k >= 0 ? std::max(k, yLow_) : k;
    const int first = fill_ ? std::min(r, yHigh_) : std::min(LastReaching(xLow_), yHigh_);
    for (int row = first; row >= last; --row) {
        const int y = row < 0 ? -row : row;
        if (y < yLow_ || y > yHigh_)
            continue;
        const int start = row == r ? 0 : HalfChord(r, row + 1);
        if (fill_) {
            const int fillEnd = std::min(start, xHigh_);
            for (int x = xLow_; x <= fillEnd; ++x)
                Plot(x, row, inside_);
        } else if (start > xHigh_) {
            break;
        }
        const int end = std::min(r - 1, xHigh_);
        for (int x = std::max(start, xLow_); x <= end; ++x)
            if (!Scan(x, row))
                break;
    }
}

void CFlareDiscRaster::CentreBlock() {
    const int xEnd = std::min(radius_ / 2 - 1, xHigh_);
    const int yLast = std::min(lastCapRow_ + 1, yHigh_);
    for (int y = yLow_; y <= yLast; ++y)
        for (int x = xLow_; x <= xEnd; ++x)
            Plot(x, y, inside_);
}

} // namespace Orvanel::Filter
