#include "layout/PrintedPageLayout.h"

#include "layout/SaturatedInt.h"

#include <cmath>

namespace Orvanel::Layout {

namespace {

// Printer pixels for a margin: margin x 10 x resolution / millimetres, in single precision.
float MarginDots(float marginCm, int pixels, int millimetres) {
    return marginCm * 10 * static_cast<float>(pixels) / static_cast<float>(millimetres);
}

// A copy of more pixels than this (a gigabyte at 4 bytes each) is never worth making.
constexpr long long kMaxPrintedPixels = 1LL << 28;

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
                         outHeight <= kMaxPrintedExtent &&
                         static_cast<long long>(outWidth) * outHeight <= kMaxPrintedPixels;
    return placement;
}

} // namespace Orvanel::Layout
