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
// Why skipping offsets gives the same bytes:
// - Every blend of an offset lands on one of its four mirror images; an offset none of whose
//   images lies on the canvas changes nothing. The offsets that can land on the canvas form
//   one interval of |dx| and one of |dy| (OffsetRange), so the scans are clipped to them.
// - A scan's only state is where it starts (the previous column's or row's chord, a closed
//   formula of the column or row index) and where it stops. Distances grow with the scanned
//   index (the square root rounded to single precision is monotonic), so a scan that starts
//   inside the clip interval stops at the same offset it would have stopped at, and one whose
//   stop lies before the interval would stop at the interval's first offset too.
// - The chord grows as the scan moves inwards, so once an unfilled disc's chord passes the
//   clip interval no further column or row of that scan can show anything.
// - The blends that remain are those of the full scan, in the same order.

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
           OffsetRange(centreX, 0, canvas_.Width(), radius + 1, &lo, &hi) &&
           OffsetRange(centreY, canvas_.FirstRow(), canvas_.EndRow(), radius + 1, &lo, &hi);
}

void CFlareDiscRaster::Draw(int centreX, int centreY, int radius, Color::ColorValue color,
                            float keep, bool edge, bool fill) {
    if (radius <= 0 || canvas_.Empty())
        return;
    // No scan reaches an offset beyond R.
    if (!OffsetRange(centreX, 0, canvas_.Width(), radius, &xLow_, &xHigh_) ||
        !OffsetRange(centreY, canvas_.FirstRow(), canvas_.EndRow(), radius, &yLow_, &yHigh_))
        return;
    centreX_ = centreX;
    centreY_ = centreY;
    radius_ = radius;
    color_ = color;
    keep_ = keep;
    edge_ = edge;
    fill_ = fill;
    inside_ = CFlareBlend(color, keep > 1.0f ? 1.0f : keep);
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
    const float d = Distance(x, dy);
    if (static_cast<int>(d) < radius_) {
        Plot(x, dy, inside_);
        return true;
    }
    // Without an edge every later offset of the scan lies outside too.
    if (!edge_)
        return false;
    const float e = d - static_cast<float>(radius_);
    if (e > 1.0f)
        return false;
    float k = (1.0f - keep_) * e + keep_;
    if (k > 1.0f)
        k = 1.0f;
    Plot(x, dy, CFlareBlend(color_, k));
    return true;
}

void CFlareDiscRaster::SideCaps() {
    const int r = radius_;
    const int last = std::max(r / 2, xLow_);
    for (int x = std::min(r, xHigh_); x >= last; --x) {
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
    const int yEnd = 1 - r / 2;
    const int k =
        static_cast<int>(std::sqrt(static_cast<double>(r) * r - static_cast<double>(yEnd) * yEnd)) -
        1;
    // Rows run down to K; only at R = 1 is K negative (-1), and that row mirrors row 1.
    const int last = k >= 0 ? std::max(k, yLow_) : k;
    for (int row = std::min(r, yHigh_); row >= last; --row) {
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
    const int r = radius_;
    const int yEnd = 1 - r / 2;
    const int k =
        static_cast<int>(std::sqrt(static_cast<double>(r) * r - static_cast<double>(yEnd) * yEnd)) -
        1;
    const int xEnd = std::min(-yEnd, xHigh_);
    const int yLast = std::min(k + 1, yHigh_);
    for (int y = yLow_; y <= yLast; ++y)
        for (int x = xLow_; x <= xEnd; ++x)
            Plot(x, y, inside_);
}

} // namespace Orvanel::Filter
