#include "layout/PrintedPageLayout.h"

#include "layout/SaturatedInt.h"

#include <algorithm>
#include <cmath>

namespace Orvanel::Layout {

namespace {

// Printer pixels for a margin: margin x 10 x resolution / millimetres, in single precision.
float MarginDots(float marginCm, int pixels, int millimetres) {
    return marginCm * 10 * static_cast<float>(pixels) / static_cast<float>(millimetres);
}

} // namespace

PrintedPlacement PlaceImageOnPage(float marginLeft, float marginTop, float marginRight,
                                  float marginBottom, int pagePixelsWide, int pagePixelsHigh,
                                  int pageMmWide, int pageMmHigh, unsigned int imageWidth,
                                  unsigned int imageHeight) {
    PrintedPlacement placement{};
    if (pageMmWide <= 0 || pageMmHigh <= 0 || imageWidth == 0 || imageHeight == 0) {
        return placement;
    }
    const float leftDots = MarginDots(marginLeft, pagePixelsWide, pageMmWide);
    const float topDots = MarginDots(marginTop, pagePixelsHigh, pageMmHigh);
    const float freeWidth =
        static_cast<float>(pagePixelsWide - static_cast<long long>(SaturatedInt(leftDots))) -
        MarginDots(marginRight, pagePixelsWide, pageMmWide);
    const float freeHeight =
        static_cast<float>(pagePixelsHigh - static_cast<long long>(SaturatedInt(topDots))) -
        MarginDots(marginBottom, pagePixelsHigh, pageMmHigh);
    placement.left = SaturatedInt(leftDots);
    placement.top = SaturatedInt(topDots);
    placement.freeWidth = SaturatedInt(freeWidth);
    placement.freeHeight = SaturatedInt(freeHeight);
    if (!std::isfinite(leftDots) || !std::isfinite(topDots) || !std::isfinite(freeWidth) ||
        !std::isfinite(freeHeight) || placement.freeWidth <= 0 || placement.freeHeight <= 0) {
        return placement;
    }

    const float w = static_cast<float>(imageWidth), h = static_cast<float>(imageHeight);
    const float aw = static_cast<float>(placement.freeWidth);
    const float ah = static_cast<float>(placement.freeHeight);
    float scale = imageWidth > imageHeight ? aw / w : ah / h;
    int outWidth = SaturatedInt(w * scale), outHeight = SaturatedInt(h * scale);
    if (outHeight > placement.freeHeight) {
        scale = ah / h;
        outWidth = SaturatedInt(w * scale);
        outHeight = SaturatedInt(h * scale);
    } else if (outWidth > placement.freeWidth) {
        scale = aw / w;
        outWidth = SaturatedInt(w * scale);
        outHeight = SaturatedInt(h * scale);
    }
    placement.width = outWidth;
    placement.height = outHeight;
    placement.drawable = outWidth > 0 && outHeight > 0 && outWidth <= kMaxPrintedExtent &&
                         outHeight <= kMaxPrintedExtent;
    return placement;
}

CopySize BoundedCopySize(int width, int height, long long maxPixels) {
    if (static_cast<long long>(width) * height <= maxPixels) {
        return {width, height};
    }
    const bool wide = width >= height;
    const long long longer = wide ? width : height, shorter = wide ? height : width;
    const auto shorterFor = [&](long long side) { return std::max(1LL, side * shorter / longer); };
    // The copy grows with its longer side; a side of 1 (a copy of 1 x 1) always fits.
    long long low = 1, high = longer;
    while (low < high) {
        const long long side = (low + high + 1) / 2;
        if (side * shorterFor(side) <= maxPixels) {
            low = side;
        } else {
            high = side - 1;
        }
    }
    const int a = static_cast<int>(low), b = static_cast<int>(shorterFor(low));
    return wide ? CopySize{a, b} : CopySize{b, a};
}

} // namespace Orvanel::Layout
