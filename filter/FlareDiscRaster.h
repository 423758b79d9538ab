#pragma once
#include "color/HSBColor.h"
#include "filter/FlareBlend.h"
#include "filter/FlareCanvas.h"

namespace Orvanel::Filter {

// Draws the lens flare's discs: outline bands one to two pixels wide or filled discs, with an
// optional soft rim, rasterised in three zones whose offsets are each blended at the four
// mirrored pixels (some pixels more than once: the axes, and where zones overlap). Only the
// offsets that land on the canvas are visited, so a disc costs what it shows, however large.
// FlareDiscRaster.cpp says why that gives the very bytes of visiting them all.
class CFlareDiscRaster {
public:
    explicit CFlareDiscRaster(const CFlareCanvas& canvas) : canvas_(canvas) {}

    // Whether any offset of a disc of this radius around (centreX, centreY) could land on the
    // canvas: Draw's own first test, so that callers can skip working out a colour.
    bool MayShow(int centreX, int centreY, int radius) const;

    void Draw(int centreX, int centreY, int radius, Color::ColorValue color, float keep, bool edge,
              bool fill);

private:
    // The offsets |dx| or |dy| whose mirrored pixels can land on the canvas along one axis, for
    // a centre at `centre` and canvas cells [first, end): one interval [*low, *high], clipped
    // to [0, limit]; false when it is empty.
    static bool OffsetRange(long long centre, long long first, long long end, int limit, int* low,
                            int* high);

    // The disc's zones; the disc's values are in the members below.
    void SideCaps();
    void TopAndBottomCaps();
    void CentreBlock();
    // The farthest offset along a scan that an unfilled disc's scan can still reach, given the
    // nearest offset of the clip interval across it; -1 when none.
    int LastReaching(int nearest) const;
    // Visits or rims offset (x, dy) of the scan at distance column x >= 0; false where the scan
    // of this column or row ends.
    bool Scan(int x, int dy);
    // Blends the four mirrored pixels of offset (x, dy) with `blend`.
    void Plot(int x, int dy, const CFlareBlend& blend);

    const CFlareCanvas& canvas_;
    // The disc being drawn.
    long long centreX_ = 0;
    long long centreY_ = 0;
    int radius_ = 0;
    Color::ColorValue color_ = 0;
    float keep_ = 0.0f;
    bool edge_ = false;
    bool fill_ = false;
    CFlareBlend inside_{0, 0.0f};
    // dx^2 + dy^2 below which an offset is inside, and below which it is at most R + 1 away.
    long long insideBelow_ = 0;
    long long rimBelow_ = 0;
    int lastCapRow_ = 0; // K
    int xLow_ = 0, xHigh_ = 0, yLow_ = 0, yHigh_ = 0;
};

} // namespace Orvanel::Filter
